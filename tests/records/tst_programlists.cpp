#include "TestEnv.h"
#include "controls/HCCombo.h"
#include "records/ProgramLists.h"

#include <QtTest>

namespace {

QStringList entries(const HCCombo& c)
{
    QStringList out;
    for (int i = 0; i < c.ListCount(); ++i)
        out << QStringLiteral("%1|%2|%3").arg(c.List(i), c.List2(i)).arg(c.ItemData(i));
    return out;
}

} // namespace

class ProgramListsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void statements();
    void programs_data();
    void programs();
    void users_data();
    void users();
    void emptyProgramTable();

private:
    TestEnv m_env;
    TestDb m_db;
};

void ProgramListsTest::initTestCase()
{
    QVERIFY2(m_db.ok(), qPrintable(m_db.error()));
    QVERIFY(m_env.createDatabase(QStringLiteral("as_lists")));
    QVERIFY(m_env.connect(QStringLiteral("as_lists")));
    QVERIFY2(m_db.exec(QStringLiteral("USE as_lists;"
                                      "INSERT INTO part (code, name, groupid, hidden, sortord) VALUES"
                                      " (10, '누리셈', 2, 0, 2), (5, '세무사랑', 0, 0, 1), (7, '회계관리', "
                                      "2, 0, 2), (3, '숨은프로그램', 0, 1, 0);"
                                      "INSERT INTO user (id, name, groupcode, hidden) VALUES"
                                      " ('kim', '김철수', 1, 0), ('lee', '이영희', 1, 0), ('park', '박민수', "
                                      "2, 0), ('choi', '최', 0, 0),"
                                      " ('ghost', '숨은사람', 1, 1), ('z1', 'apple', 1, 0), ('a1', 'Banana', "
                                      "1, 0), ('7', '칠번', 0, 0);")),
             qPrintable(m_db.error()));
}

void ProgramListsTest::statements()
{
    QCOMPARE(
        ProgramListSql(),
        QStringLiteral("SELECT code, name, note, groupid FROM part WHERE hidden = 0 order by sortord, code"));
    QCOMPARE(
        UserListSql({}),
        QStringLiteral("SELECT id, name FROM user WHERE hidden=0 ORDER BY groupcode DESC, binary name, id"));
    QCOMPARE(UserListSql(QStringLiteral("groupcode = 1")),
             QStringLiteral("SELECT id, name FROM user WHERE hidden=0 AND groupcode = 1 ORDER BY groupcode "
                            "DESC, binary name, id"));
}

void ProgramListsTest::programs_data()
{
    QTest::addColumn<bool>("placeholder");
    QTest::addColumn<bool>("group");
    QTest::addColumn<QStringList>("expected");
    const QStringList programs{"세무사랑||5", "회계관리||7", "누리셈||10"};
    QTest::newRow("placeholder and group")
        << true << true << QStringList{"[프로그램]||0", "누리셈II외4종||0"} + programs;
    QTest::newRow("placeholder only") << true << false << QStringList{"[프로그램]||0"} + programs;
    QTest::newRow("group only") << false << true << QStringList{"누리셈II외4종||0"} + programs;
    QTest::newRow("programs only") << false << false << programs;
}

void ProgramListsTest::programs()
{
    QFETCH(bool, placeholder);
    QFETCH(bool, group);
    QFETCH(QStringList, expected);
    HCCombo c;
    c.AddItem(QStringLiteral("left over"));
    FillProgramCombo(&c, placeholder, group);
    QCOMPARE(entries(c), expected);
    QCOMPARE(c.ListIndex(), -1);
}

void ProgramListsTest::users_data()
{
    QTest::addColumn<bool>("withAll");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QStringList>("expected");
    // Read as park (group 2); Banana, apple, 김철수, 이영희 (group 1, by bytes); 최, 칠번 (group 0);
    // each put on top, so the list runs the other way.
    const QStringList all{"칠번|7|7",   "최|choi|0",   "이영희|lee|0", "김철수|kim|0",
                          "apple|z1|0", "Banana|a1|0", "박민수|park|0"};
    QTest::newRow("everyone") << false << QString() << all;
    QTest::newRow("everyone under [전체]") << true << QString() << QStringList{"[전체]|1|1"} + all;
    QTest::newRow("group 1 under [전체]")
        << true << "groupcode = 1"
        << QStringList{"[전체]|1|1", "이영희|lee|0", "김철수|kim|0", "apple|z1|0", "Banana|a1|0"};
    QTest::newRow("nobody") << true << "groupcode = 9" << QStringList{"[전체]|1|1"};
}

void ProgramListsTest::users()
{
    QFETCH(bool, withAll);
    QFETCH(QString, condition);
    QFETCH(QStringList, expected);
    HCCombo c;
    c.AddItem(QStringLiteral("left over"));
    FillUserCombo(&c, withAll, condition);
    QCOMPARE(entries(c), expected);
    QCOMPARE(c.ListIndex(), -1);
}

void ProgramListsTest::emptyProgramTable()
{
    QVERIFY(m_db.exec(QStringLiteral("DELETE FROM as_lists.part")));
    HCCombo c;
    FillProgramCombo(&c, true, true);
    QCOMPARE(entries(c), (QStringList{"[프로그램]||0", "누리셈II외4종||0"}));
    FillProgramCombo(&c, false, false);
    QCOMPARE(c.ListCount(), 0);
}

QTEST_MAIN(ProgramListsTest)
#include "tst_programlists.moc"
