#include "../records/ListData.h"
#include "Modal.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "common/Globals.h"
#include "common/MsgBox.h"
#include "db/DbStartup.h"
#include "dialogs/KoreanLocale.h"
#include "records/FrmMain.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QFileDialog>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

// Qt's own widgets in the program speak Korean whatever the environment's locale (the
// tests run under C.UTF-8): the date pickers' calendars and the file dialog, for real on a
// real display.
class KoreanTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(QLocale::system().language(), QLocale::C);
        UseKoreanLocale();
        gAppTitle = QString::fromUtf8(kAppTitle);
        gUserId = QStringLiteral("kim");
        const QString error = OpenListDatabase(m_env, QStringLiteral("t_korean"));
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    void cleanupTestCase() { CloseDB(); }

    void calendar()
    {
        FrmMain main;
        main.Form_Load();
        QDateEdit* picker = main.dpListTerm[0];
        picker->setDate(QDate(2026, 11, 5));
        QCOMPARE(picker->text(), QStringLiteral("2026-11-05"));
        QCalendarWidget* calendar = picker->calendarWidget();
        auto* month = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
        QVERIFY(month);
        QCOMPARE(month->text(), QStringLiteral("11월"));
        QCOMPARE(calendar->firstDayOfWeek(), Qt::Sunday);
    }

    // The folder's entries with their kinds and times in Korean.
    void fileDialog()
    {
        const QString folder = m_env.path(QStringLiteral("고를곳"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/하위")));
        const QString file = folder + QStringLiteral("/메모.txt");
        QVERIFY(WriteFileBytes(file, "memo"));
        QStringList seen;
        OnNextModal([&](QWidget* modal) {
            auto* view = modal->findChild<QTreeView*>(QStringLiteral("treeView"));
            QVERIFY(qobject_cast<QFileDialog*>(modal) && view);
            QAbstractItemModel* model = view->model();
            QTRY_COMPARE(model->rowCount(view->rootIndex()), 2);
            for (int row = 0; row < 2; ++row)
                for (int col : {0, 2, 3})
                    seen << model->index(row, col, view->rootIndex()).data().toString();
            seen << model->headerData(3, Qt::Horizontal).toString();
        });
        OpenFileDialog(QStringLiteral("파일 선택"), folder, QString(), QStringLiteral("메모 (*.txt)|*.txt"));
        const QString modified = KoreanLocale().toString(
            QFileInfo(folder + QStringLiteral("/하위")).lastModified(), QLocale::ShortFormat);
        QCOMPARE(seen.mid(0, 3), (QStringList{QStringLiteral("하위"), QStringLiteral("폴더"), modified}));
        QCOMPARE(seen.at(3), QStringLiteral("메모.txt"));
        QCOMPARE(seen.at(5), KoreanLocale().toString(QFileInfo(file).lastModified(), QLocale::ShortFormat));
        QCOMPARE(seen.at(6), QStringLiteral("수정한 날짜"));
    }

private:
    TestEnv m_env;
};

QTEST_MAIN(KoreanTest)
#include "tst_korean.moc"
