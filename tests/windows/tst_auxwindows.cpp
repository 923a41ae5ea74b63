#include "MsgRecorder.h"
#include "common/AppPaths.h"
#include "common/Globals.h"
#include "windows/FloatMsgLauncher.h"
#include "windows/FloatMsgText.h"
#include "windows/FrmExtend.h"
#include "windows/FrmZoom_Image.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// A stand-in program that records how it was called: its argument count and first argument.
void writeRecordingProgram(const QString& path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nprintf '%s|%s\\n' \"$#\" \"$1\" >> \"$(dirname \"$0\")/calls.txt\"\n");
    f.close();
    QVERIFY(f.setPermissions(f.permissions() | QFileDevice::ExeOwner));
}

QStringList recordedCalls(const QString& dir)
{
    QFile f(dir + QStringLiteral("/calls.txt"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class AuxWindowsTest : public QObject
{
    Q_OBJECT

private slots:
    void parameterSplitsAtLastMarker_data();
    void parameterSplitsAtLastMarker();
    void launcherStartsProgramEveryTime();
    void missingProgramIsReportedOnce();
    void showFloatMsgLooksBesideTheClient();
    void extendWritesBackOnlyThroughOk_data();
    void extendWritesBackOnlyThroughOk();
    void extendModalReturnsText();
    void zoomSwitchesBetweenCentredAndStretched();
    void zoomClosing();
    void zoomLargePictureOpensStretched();
};

void AuxWindowsTest::parameterSplitsAtLastMarker_data()
{
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("time");
    QTest::newRow("save") << FloatMsgParameter(QStringLiteral("자료가 저장되었습니다."), 500)
                          << QStringLiteral("자료가 저장되었습니다.") << 500;
    QTest::newRow("marker in message")
        << FloatMsgParameter(QStringLiteral("a/Tb"), 700) << QStringLiteral("a/Tb") << 700;
    QTest::newRow("no time") << QStringLiteral(" hello") << QStringLiteral("hello") << kFloatMsgDefaultTime;
    QTest::newRow("time not a number")
        << QStringLiteral(" x/Tabc") << QStringLiteral("x") << kFloatMsgDefaultTime;
    QTest::newRow("zero time") << QStringLiteral(" x/T0") << QStringLiteral("x") << kFloatMsgMinTime;
    QTest::newRow("endless time") << QStringLiteral(" x/T99999999") << QStringLiteral("x")
                                  << kFloatMsgMaxTime;
    QTest::newRow("only one blank dropped") << QStringLiteral("  x/T500") << QStringLiteral(" x") << 500;
    QTest::newRow("empty") << QString() << QString() << kFloatMsgDefaultTime;
}

void AuxWindowsTest::parameterSplitsAtLastMarker()
{
    QFETCH(QString, parameter);
    QFETCH(QString, message);
    QFETCH(int, time);
    const FloatMsgText text = ParseFloatMsgParameter(parameter);
    QCOMPARE(text.message, message);
    QCOMPARE(text.displayTime, time);
}

void AuxWindowsTest::launcherStartsProgramEveryTime()
{
    QTemporaryDir dir;
    writeRecordingProgram(dir.filePath(QStringLiteral("FloatMsg")));
    MsgRecorder msgs;
    FloatMsgLauncher launcher(dir.filePath(QStringLiteral("FloatMsg")));
    QCOMPARE(launcher.state(), FloatMsgLauncher::NotLookedFor);

    launcher.show(QStringLiteral("자료가 저장되었습니다."), 500);
    QCOMPARE(launcher.state(), FloatMsgLauncher::Found);
    launcher.show(QStringLiteral("검색 /T 결과"), 500);
    QTRY_COMPARE(recordedCalls(dir.path()).size(), 2);
    QStringList calls = recordedCalls(dir.path());
    calls.sort(); // the two programs run side by side
    QCOMPARE(calls, (QStringList{QStringLiteral("1| 검색 /T 결과/T500"),
                                 QStringLiteral("1| 자료가 저장되었습니다./T500")}));
    QCOMPARE(msgs.count(), 0);
}

void AuxWindowsTest::missingProgramIsReportedOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("FloatMsg"));
    MsgRecorder msgs;
    FloatMsgLauncher launcher(path);

    launcher.show(QStringLiteral("자료가 저장되었습니다."), 500);
    QCOMPARE(launcher.state(), FloatMsgLauncher::Missing);
    QCOMPARE(msgs.texts(),
             QStringList{QStringLiteral("플로팅 메시지박스 파일을 찾을 수 없습니다.\r\n") + path});
    QCOMPARE(msgs.last().title, gAppTitle);
    QCOMPARE(msgs.last().buttons, MsgButtons::Ok);
    QCOMPARE(msgs.last().icon, MsgIcon::None);

    // A program that turns up later is not looked for again during this run.
    writeRecordingProgram(path);
    launcher.show(QStringLiteral("자료가 수정되었습니다."), 500);
    launcher.show(QStringLiteral("자료를 삭제하였습니다."), 500);
    QCOMPARE(msgs.count(), 1);
    QTest::qWait(300);
    QVERIFY(recordedCalls(dir.path()).isEmpty());
}

void AuxWindowsTest::showFloatMsgLooksBesideTheClient()
{
    QTemporaryDir dir;
    writeRecordingProgram(dir.filePath(QStringLiteral("FloatMsg")));
    SetAppDirForTesting(dir.path());
    MsgRecorder msgs;
    ShowFloatMsg(QStringLiteral("검색된 결과가 없습니다."), 500, 1, 0xFFFF00);
    QTRY_COMPARE(recordedCalls(dir.path()), QStringList{QStringLiteral("1| 검색된 결과가 없습니다./T500")});
    QCOMPARE(FloatMsg().state(), FloatMsgLauncher::Found);
    QCOMPARE(msgs.count(), 0);
    SetAppDirForTesting({});
}

void AuxWindowsTest::extendWritesBackOnlyThroughOk_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("action"); // ok, f2, close, esc, clear+ok
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("result");
    QTest::newRow("request text, OK") << "0" << false << "ok" << true << "old text typed";
    QTest::newRow("solution, F2") << "1" << false << "f2" << true << "old text typed";
    QTest::newRow("main window request text") << "2" << true << "ok" << false << "";
    QTest::newRow("main window solution") << "3" << true << "f2" << false << "";
    QTest::newRow("disabled field writes unchanged text") << "1" << true << "ok" << true << "old text";
    QTest::newRow("Esc discards") << "0" << false << "esc" << false << "";
    QTest::newRow("close discards") << "1" << false << "close" << false << "";
    QTest::newRow("clear") << "0" << false << "clear+ok" << true << "";
    QTest::newRow("clear on read-only") << "0" << true << "clear+ok" << true << "old text";
}

void AuxWindowsTest::extendWritesBackOnlyThroughOk()
{
    QFETCH(QString, mode);
    QFETCH(bool, readOnly);
    QFETCH(QString, action);
    QFETCH(bool, written);
    QFETCH(QString, result);

    FrmExtend w;
    w.loadText(QStringLiteral("old text"), readOnly);
    gExtendMode = mode;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto* txt = w.findChild<QPlainTextEdit*>(QStringLiteral("txtExtend"));
    QVERIFY(txt);
    txt->setFocus();
    txt->moveCursor(QTextCursor::End);
    QTest::keyClicks(txt, QStringLiteral(" typed"));

    if (action == QLatin1String("ok")) {
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("btnOk")), Qt::LeftButton);
    } else if (action == QLatin1String("f2")) {
        QTest::keyClick(txt, Qt::Key_F2);
    } else if (action == QLatin1String("esc")) {
        QTest::keyClick(txt, Qt::Key_Escape);
    } else if (action == QLatin1String("close")) {
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("btnClose")), Qt::LeftButton);
    } else {
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("btnClear")), Qt::LeftButton);
        QCOMPARE(txt->toPlainText(), readOnly ? QStringLiteral("old text") : QString());
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("btnOk")), Qt::LeftButton);
    }

    QVERIFY(!w.isVisible());
    QCOMPARE(w.writeBack().has_value(), written);
    if (written)
        QCOMPARE(*w.writeBack(), result);
    QCOMPARE(txt->toPlainText(), QString());
}

void AuxWindowsTest::extendModalReturnsText()
{
    gExtendMode = QStringLiteral("0");
    QTimer::singleShot(0, [] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        modal->findChild<QPlainTextEdit*>(QStringLiteral("txtExtend"))
            ->appendPlainText(QStringLiteral("둘째 줄"));
        QTest::mouseClick(modal->findChild<QPushButton*>(QStringLiteral("btnOk")), Qt::LeftButton);
    });
    const std::optional<QString> text = FrmExtend::edit(nullptr, QStringLiteral("첫째 줄"), false);
    QCOMPARE(text, std::optional<QString>(QStringLiteral("첫째 줄\n둘째 줄")));
}

void AuxWindowsTest::zoomSwitchesBetweenCentredAndStretched()
{
    QPixmap picture(200, 100);
    picture.fill(Qt::darkCyan);
    FrmZoom_Image w;
    w.setPicture(picture);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* picBig = w.findChild<QLabel*>(QStringLiteral("picBig"));
    auto* image1 = w.findChild<QLabel*>(QStringLiteral("Image1"));

    struct Step
    {
        QSize window;
        bool stretched;
        QPoint picturePos;
    };
    const Step steps[] = {
        {{400, 300}, false, {100, 100}}, {{150, 80}, true, {}},
        {{150, 200}, false, {-25, 50}}, // fits in height only: centred, overhanging
        {{300, 80}, false, {50, -10}},  // fits in width only
        {{199, 99}, true, {}},           {{200, 100}, false, {0, 0}},
        {{500, 400}, false, {150, 150}},
    };
    for (const Step& step : steps) {
        w.resize(step.window);
        QTRY_COMPARE(w.size(), step.window);
        QCOMPARE(image1->size(), step.window);
        QCOMPARE(image1->isVisible(), step.stretched);
        QCOMPARE(picBig->isVisible(), !step.stretched);
        if (step.stretched) {
            QCOMPARE(image1->pos(), QPoint(0, 0));
            QCOMPARE(image1->pixmap().cacheKey(), picBig->pixmap().cacheKey());
        } else {
            QCOMPARE(picBig->geometry(), QRect(step.picturePos, picture.size()));
        }
    }
}

void AuxWindowsTest::zoomClosing()
{
    QPixmap picture(200, 100);
    picture.fill(Qt::darkCyan);
    FrmZoom_Image w;
    w.setPicture(picture);
    w.resize(400, 300);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTRY_COMPARE(w.size(), QSize(400, 300));

    // In the centred view a double-click does nothing.
    QTest::mouseDClick(w.findChild<QLabel*>(QStringLiteral("picBig")), Qt::LeftButton);
    QVERIFY(w.isVisible());

    w.resize(100, 50);
    auto* image1 = w.findChild<QLabel*>(QStringLiteral("Image1"));
    QTRY_VERIFY(image1->isVisible());
    QTest::mouseDClick(image1, Qt::LeftButton);
    QVERIFY(!w.isVisible());

    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(!w.isVisible());
}

void AuxWindowsTest::zoomLargePictureOpensStretched()
{
    FrmZoom_Image w;
    const QSize screen = w.screen()->availableSize();
    QPixmap picture(screen + QSize(300, 200));
    picture.fill(Qt::gray);
    w.setPicture(picture);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.size(), screen);
    QVERIFY(w.findChild<QLabel*>(QStringLiteral("Image1"))->isVisible());
}

QTEST_MAIN(AuxWindowsTest)
#include "tst_auxwindows.moc"
