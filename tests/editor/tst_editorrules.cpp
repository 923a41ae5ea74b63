#include "editor/EditorRights.h"
#include "editor/ShotNames.h"

#include <QtTest>

// The editor's rules that need no window: file names, the slot a new picture takes,
// and what a user may change.
class EditorRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void fileNames_data();
    void fileNames();
    void portableNames_data();
    void portableNames();
    void targetSlot_data();
    void targetSlot();
    void rights_data();
    void rights();
};

void EditorRulesTest::fileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    const QString share = QStringLiteral("\\\\demoshare\\사내문서\\7_AS스샷\\");
    QTest::newRow("blanks and colon go")
        << StoredShotPath(QStringLiteral("demoshare"), 12, QStringLiteral(" 매출 관리:1 "), 5)
        << share + QStringLiteral("12_매출관리1_5.jpg");
    QTest::newRow("every removed character")
        << CleanFileName(QStringLiteral("a b/c:d*e?f<g>h|i")) << QStringLiteral("abcdefghi");
    QTest::newRow("backslash and quote stay")
        << CleanFileName(QStringLiteral("a\\b\"c")) << QStringLiteral("a\\b\"c");
    QTest::newRow("apostrophe doubled")
        << StoredShotName(7, QStringLiteral("O'Brien 화면"), 0) << QStringLiteral("7_O''Brien화면_0.jpg");
    QTest::newRow("empty screen name") << StoredShotName(7, QString(), 9) << QStringLiteral("7__9.jpg");
    const QDateTime at(QDate(2026, 12, 8), QTime(9, 5, 3));
    QTest::newRow("capture") << CaptureFilePath(QStringLiteral("/app/스샷"), QStringLiteral("매출 관리"), at)
                             << QStringLiteral("/app/스샷/매출 관리_2026-1208090503_scr.jpg");
    QTest::newRow("capture without screen name")
        << CaptureFilePath(QStringLiteral("/app/스샷"), QString(), at)
        << QStringLiteral("/app/스샷/_2026-1208090503_scr.jpg");
}

void EditorRulesTest::fileNames()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(name, expected);
}

void EditorRulesTest::portableNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("portable");
    QTest::newRow("plain") << StoredShotName(1, QStringLiteral("똠%_;--"), 0) << true;
    QTest::newRow("backslash") << StoredShotName(1, QStringLiteral("a\\b"), 0) << false;
    QTest::newRow("double quote") << StoredShotName(1, QStringLiteral("a\"b"), 0) << false;
    QTest::newRow("control character") << StoredShotName(1, QStringLiteral("a\tb"), 0) << false;
}

void EditorRulesTest::portableNames()
{
    QFETCH(QString, name);
    QFETCH(bool, portable);
    QCOMPARE(IsPortableFileName(name), portable);
}

void EditorRulesTest::targetSlot_data()
{
    QTest::addColumn<QString>("filled"); // one character per slot: x filled, . empty
    QTest::addColumn<int>("half");
    QTest::addColumn<int>("slot");
    QTest::newRow("empty question half") << ".........." << 0 << 0;
    QTest::newRow("gap is filled first") << "x.x......." << 0 << 1;
    QTest::newRow("only the last free") << "xxxx......" << 0 << 4;
    QTest::newRow("full half replaces its last") << "xxxxx....." << 0 << 4;
    QTest::newRow("answer half") << "xxxxx....." << 1 << 5;
    QTest::newRow("answer half full") << ".....xxxxx" << 1 << 9;
    QTest::newRow("answer gap") << ".....x.xxx" << 1 << 6;
}

void EditorRulesTest::targetSlot()
{
    QFETCH(QString, filled);
    QFETCH(int, half);
    QFETCH(int, slot);
    ShotTags tags;
    for (int i = 0; i < kShotSlots; ++i)
        if (filled[i] == QLatin1Char('x'))
            tags[i] = QStringLiteral("/p/%1.jpg").arg(i);
    QCOMPARE(TargetSlot(tags, half), slot);
}

void EditorRulesTest::rights_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("ask");
    QTest::addColumn<QString>("ans");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("allowed"); // question, answer, status as 1/0
    const QString waiting = QStringLiteral("요청대기");
    const QString planned = QStringLiteral("단기예정(1~2주이내)");
    QTest::newRow("asker and answerer") << "kim"
                                        << "kim"
                                        << "kim" << planned << "111";
    QTest::newRow("asker, waiting") << "kim"
                                    << "kim"
                                    << "lee" << waiting << "101";
    QTest::newRow("asker, planned") << "kim"
                                    << "kim"
                                    << "lee" << planned << "100";
    QTest::newRow("answerer") << "lee"
                              << "kim"
                              << "lee" << planned << "011";
    QTest::newRow("third user, waiting") << "park"
                                         << "kim"
                                         << "lee" << waiting << "001";
    QTest::newRow("third user, planned") << "park"
                                         << "kim"
                                         << "lee" << planned << "000";
    QTest::newRow("record without asker") << "park"
                                          << ""
                                          << "lee" << planned << "000";
}

void EditorRulesTest::rights()
{
    QFETCH(QString, user);
    QFETCH(QString, ask);
    QFETCH(QString, ans);
    QFETCH(QString, status);
    QFETCH(QString, allowed);
    const EditorRights r = RightsFor(user, ask, ans, status);
    QCOMPARE(QString::fromLatin1("%1%2%3").arg(int(r.questionSide)).arg(int(r.answerSide)).arg(int(r.status)),
             allowed);
}

QTEST_GUILESS_MAIN(EditorRulesTest)
#include "tst_editorrules.moc"
