#include "MsgRecorder.h"
#include "common/AppPaths.h"
#include "common/Cp949.h"
#include "common/ProfileIni.h"
#include "grid/FormIni.h"
#include "grid/SpreadGrid.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

// Window settings files: what is written, what is read back, and the rules for
// values that must not be applied.
class FormIniTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void positionOnlyWhenAboveZero_data();
    void positionOnlyWhenAboveZero();
    void sizeAndWindowState_data();
    void sizeAndWindowState();
    void onlyListedColumnsChange();
    void fontSizeAndRowHeight_data();
    void fontSizeAndRowHeight();
    void valuesAreReadNineCharactersAtMost();
    void arrayMemberUsesIndexedKey();
    void saveFormIniRoundTrip();
    void saveFormIniSkipsHiddenAndMinimised();
    void columnWidthRoundTrip();
    void generalValuesAndDeletion();
    void writeFailureIsReported();

private:
    struct Window
    {
        QWidget form;
        SpreadGrid* grid;
        explicit Window(int cols = 12)
        {
            form.setObjectName(QStringLiteral("FrmMain"));
            grid = new SpreadGrid(&form);
            grid->setObjectName(QStringLiteral("spList"));
            grid->SetMaxCols(cols);
            grid->SetMaxRows(3);
            (new QVBoxLayout(&form))->addWidget(grid);
            form.move(100, 50);
            form.resize(400, 300);
        }
    };
    QString path() const { return m_dir.path() + QStringLiteral("/FormIni/FrmMain.ini"); }
    void writeIni(const QString& text);

    QTemporaryDir m_dir;
};

void FormIniTest::init()
{
    QVERIFY(m_dir.isValid());
    SetAppDirForTesting(m_dir.path());
    QDir(m_dir.path() + QStringLiteral("/FormIni")).removeRecursively();
}

void FormIniTest::writeIni(const QString& text)
{
    QVERIFY(QDir().mkpath(m_dir.path() + QStringLiteral("/FormIni")));
    QFile file(path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(cp949::encode(QString(text).replace(QLatin1Char('\n'), QStringLiteral("\r\n"))));
}

void FormIniTest::positionOnlyWhenAboveZero_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("stored at the edge") << "0"
                                        << "0" << QPoint(100, 50);
    QTest::newRow("one pixel in") << "15"
                                  << "30" << QPoint(1, 2);
    QTest::newRow("negative") << "-150"
                              << "3000" << QPoint(100, 200);
    QTest::newRow("not numeric") << "abc"
                                 << "" << QPoint(100, 50);
    QTest::newRow("blanks around") << "  1500 "
                                   << "1500" << QPoint(100, 100);
}

void FormIniTest::positionOnlyWhenAboveZero()
{
    QFETCH(QString, left);
    QFETCH(QString, top);
    QFETCH(QPoint, expected);
    writeIni(QStringLiteral("[FormPosition]\nLeft=%1\nTop=%2\n").arg(left, top));
    Window w;
    LoadFormIni(&w.form, true, QString());
    QCOMPARE(w.form.pos(), expected);
}

void FormIniTest::sizeAndWindowState_data()
{
    QTest::addColumn<bool>("posOnly");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("expectedWidth");
    QTest::addColumn<bool>("maximised");
    QTest::newRow("normal") << false << "9000"
                            << "0" << 600 << false;
    QTest::newRow("minimised is not applied") << false << "9000"
                                              << "1" << 600 << false;
    QTest::newRow("maximised") << false << "9000"
                               << "2" << 600 << true;
    QTest::newRow("position only") << true << "9000"
                                   << "2" << 400 << false;
    QTest::newRow("not numeric") << false << "wide"
                                 << "max" << 400 << false;
}

void FormIniTest::sizeAndWindowState()
{
    QFETCH(bool, posOnly);
    QFETCH(QString, width);
    QFETCH(QString, state);
    QFETCH(int, expectedWidth);
    QFETCH(bool, maximised);
    writeIni(QStringLiteral("[FormPosition]\nWidth=%1\nHeight=6000\nWindowState=%2\n").arg(width, state));
    Window w;
    LoadFormIni(&w.form, posOnly, QString());
    QCOMPARE(w.form.width(), expectedWidth);
    QCOMPARE(w.form.height(), posOnly ? 300 : 400);
    QCOMPARE(w.form.isMaximized(), maximised);
    QVERIFY(!w.form.isMinimized());
    if (!posOnly) {
        writeIni(QStringLiteral("[FormPosition]\nHeight=4500\n"));
        LoadFormIni(&w.form, false, QString());
        QCOMPARE(w.form.height(), 300);
    }
}

void FormIniTest::onlyListedColumnsChange()
{
    writeIni(QStringLiteral("[spList_ColsWidth]\n3=20\n7=4.5\n13=30\n"));
    Window w(12);
    LoadFormIni(&w.form, false, QString());
    for (int col = 1; col <= 12; ++col)
        QCOMPARE(w.grid->ColWidth(col), col == 3 ? 20.0 : col == 7 ? 4.5 : 9.0);
    QCOMPARE(w.grid->MaxCols(), 12);
}

void FormIniTest::fontSizeAndRowHeight_data()
{
    QTest::addColumn<QString>("fontSize");
    QTest::addColumn<QString>("rowHeight");
    QTest::addColumn<double>("expectedFont"); // 0: the designed size
    QTest::addColumn<double>("expectedHeight");
    QTest::newRow("designed") << "0"
                              << "0" << 0.0 << 0.0;
    QTest::newRow("stored") << "12"
                            << "20" << 12.0 << 20.0;
    QTest::newRow("number first") << "14pt"
                                  << "18.5" << 14.0 << 18.5;
    QTest::newRow("nonsense") << "abc"
                              << "-3" << 0.0 << 0.0;
    QTest::newRow("missing") << ""
                             << "" << 0.0 << 0.0;
}

void FormIniTest::fontSizeAndRowHeight()
{
    QFETCH(QString, fontSize);
    QFETCH(QString, rowHeight);
    QFETCH(double, expectedFont);
    QFETCH(double, expectedHeight);
    writeIni(QStringLiteral("[spList_General]\nFontSize=%1\nRowHeight=%2\n").arg(fontSize, rowHeight));
    Window w;
    const double designedFont = w.grid->FontSize(1, 1);
    const double designedHeight = w.grid->RowHeight(-1);
    const double designedHeader = w.grid->RowHeight(0);
    LoadFormIni(&w.form, false, QString());
    QCOMPARE(w.grid->FontSize(1, 1), expectedFont ? expectedFont : designedFont);
    QCOMPARE(w.grid->FontSize(1, 0), expectedFont ? expectedFont : designedFont);
    QCOMPARE(w.grid->RowHeight(-1), expectedHeight ? expectedHeight : designedHeight);
    QCOMPARE(w.grid->RowHeight(0), expectedHeight ? expectedHeight + 2 : designedHeader);
}

void FormIniTest::valuesAreReadNineCharactersAtMost()
{
    writeIni(
        QStringLiteral("[FormPosition]\nLeft=1500000000\n[spList_ColsWidth]\n1=12.3456789\n2=1234567890\n"
                       "[spList_General]\nRowHeight=0000000020\n"));
    Window w;
    LoadFormIni(&w.form, false, QString());
    QCOMPARE(w.grid->ColWidth(1), 12.345678);
    QCOMPARE(w.grid->ColWidth(2), 123456789.0);
    QCOMPARE(w.grid->RowHeight(-1), 2.0); // "000000002" is read, not 20
    QCOMPARE(profile::ReadString(path(), QStringLiteral("FormPosition"), QStringLiteral("Left"), {}, 10),
             QStringLiteral("150000000"));
}

void FormIniTest::arrayMemberUsesIndexedKey()
{
    writeIni(QStringLiteral(
        "[spList_ColsWidth]\n1=5\n[spList_2_ColsWidth]\n1=7\n[spList_2_General]\nRowHeight=30\n"));
    Window w;
    w.grid->SetIndex(2);
    LoadFormIni(&w.form, false, QString());
    QCOMPARE(w.grid->ColWidth(1), 7.0);
    QCOMPARE(w.grid->RowHeight(-1), 30.0);
    QCOMPARE(SpreadIniKey(w.grid, 2), QStringLiteral("spList_2"));
    QCOMPARE(SpreadIniKey(w.grid, -1), QStringLiteral("spList"));
    // The general section is written under the same key it is read from.
    w.form.show();
    SaveSpreadIni_Gn(&w.form, w.grid, QStringLiteral("FontSize"), QStringLiteral("11"), QString());
    QCOMPARE(profile::ReadString(path(), QStringLiteral("spList_2_General"), QStringLiteral("FontSize")),
             QStringLiteral("11"));
}

void FormIniTest::saveFormIniRoundTrip()
{
    {
        Window w;
        w.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.form));
        w.form.move(40, 60);
        w.form.resize(500, 420);
        SaveFormIni(&w.form, QString());
    }
    const auto read = [this](const char* key) {
        return profile::ReadString(path(), QStringLiteral("FormPosition"), QLatin1String(key),
                                   QStringLiteral("-"), 10);
    };
    QCOMPARE(read("Left"), QStringLiteral("600"));
    QCOMPARE(read("Top"), QStringLiteral("900"));
    QCOMPARE(read("Width"), QStringLiteral("7500"));
    QCOMPARE(read("Height"), QStringLiteral("6300"));
    QCOMPARE(read("WindowState"), QStringLiteral("0"));

    Window again;
    LoadFormIni(&again.form, false, QString());
    QCOMPARE(again.form.geometry(), QRect(40, 60, 500, 420));

    // Maximised: the state is stored, the normal position kept.
    again.form.showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(&again.form));
    SaveFormIni(&again.form, QString());
    QCOMPARE(read("WindowState"), QStringLiteral("2"));
    QCOMPARE(read("Left"), QStringLiteral("600"));
    QCOMPARE(read("Width"), QStringLiteral("7500"));

    // A suffix gives a file of its own.
    again.form.showNormal();
    SaveFormIni(&again.form, QStringLiteral("_2"));
    QVERIFY(QFile::exists(m_dir.path() + QStringLiteral("/FormIni/FrmMain_2.ini")));
}

void FormIniTest::saveFormIniSkipsHiddenAndMinimised()
{
    Window w;
    SaveFormIni(&w.form, QString());
    QVERIFY(!QFile::exists(path()));
    w.form.showMinimized();
    QVERIFY(w.form.isMinimized());
    SaveFormIni(&w.form, QString());
    QVERIFY(!QFile::exists(path()));
}

void FormIniTest::columnWidthRoundTrip()
{
    Window w;
    w.grid->SetColWidth(3, 12.25);
    SaveSpreadColWidth(&w.form, w.grid, 3, QString(), -1); // grid not shown: nothing
    QVERIFY(!QFile::exists(path()));
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    w.grid->horizontalHeader()->resizeSection(4, 100); // the user drags column 5
    SaveSpreadColWidth(&w.form, w.grid, 3, QString(), -1);
    SaveSpreadColWidth(&w.form, w.grid, 5, QString(), -1);
    QCOMPARE(profile::ReadString(path(), QStringLiteral("spList_ColsWidth"), QStringLiteral("3")),
             QStringLiteral("12.25"));
    const double dragged = w.grid->ColWidth(5);
    QCOMPARE(profile::ReadString(path(), QStringLiteral("spList_ColsWidth"), QStringLiteral("5")).toDouble(),
             std::round(dragged * 100) / 100);

    Window again;
    LoadFormIni(&again.form, false, QString());
    QCOMPARE(again.grid->ColWidth(3), 12.25);
    QCOMPARE(again.grid->columnWidth(4), 100);
}

void FormIniTest::generalValuesAndDeletion()
{
    Window w;
    SaveSpreadIni_Gn(&w.form, w.grid, QStringLiteral("RowHeight"), QStringLiteral("20"), QString());
    QFile file(path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("[spList_General]\r\nRowHeight=20\r\n"));
    file.close();

    MsgRecorder recorder;
    DelFormIni(QStringLiteral("FrmMain"));
    QVERIFY(!QFile::exists(path()));
    DelFormIni(QStringLiteral("FrmMain")); // already gone: quietly nothing
    QCOMPARE(recorder.count(), 0);
}

void FormIniTest::writeFailureIsReported()
{
    QFile blocker(m_dir.path() + QStringLiteral("/FormIni"));
    QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder belongs
    blocker.close();
    Window w;
    MsgRecorder recorder;
    SaveSpreadIni_Gn(&w.form, w.grid, QStringLiteral("FontSize"), QStringLiteral("12"), QString());
    QCOMPARE(recorder.texts(),
             QStringList{QStringLiteral(
                 "Error 75 (Path/File access error) in procedure SaveSpreadIni_Gn of Module modFormIni")});
    QFile::remove(blocker.fileName());
}

QTEST_MAIN(FormIniTest)
#include "tst_formini.moc"
