#include "MsgRecorder.h"
#include "TestEnv.h"
#include "db/Query.h"
#include "editor/RecordStatements.h"
#include "records/CompanyStatements.h"
#include "records/ExcelImportSql.h"
#include "records/ListSearch.h"
#include "records/MainCommands.h"
#include "records/TextIndex.h"

#include <QProcess>
#include <QtTest>

namespace {

const QString kDb = QStringLiteral("t_textindex");
const QString kOldDb = QStringLiteral("t_textupgrade");

// `bytes` CP949 bytes of Hangul that no search below looks for, then `tail`.
QString filled(int bytes, const QString& tail)
{
    const QString syllables = QStringLiteral("가나다라마바사아자차카타파하");
    QString text;
    for (int i = 0; text.size() * 2 < bytes - tail.size() * 2 - 1; ++i)
        text += syllables[(i * 5) % syllables.size()];
    return text + tail;
}

ListFilters textFilter(int which, const QString& text)
{
    ListFilters f;
    f.findMemo[which] = text;
    return f;
}

QList<QByteArray> rowsOf(ListReader read, const ListFilters& f)
{
    RecordSetPtr rs;
    read(rs, f);
    QList<QByteArray> rows;
    for (; rs && !rs->Eof(); rs->MoveNext()) {
        QByteArray row;
        for (int i = 0; i < rs->FieldCount(); ++i)
            row += rs->FieldBytes(i) + '|';
        rows << row;
    }
    CloseRecordset(rs);
    return rows;
}

// The records the list shows for `f`, through the index; the reference lists the same.
QString listed(const ListFilters& f)
{
    const QList<QByteArray> rows = rowsOf(OpenListRecordset, f);
    if (rows != rowsOf(OpenListReference, f))
        return QStringLiteral("differs from the reference");
    QStringList seqs;
    for (const QByteArray& row : rows)
        seqs << QString::fromLatin1(row.left(row.indexOf('|')));
    return seqs.join(QLatin1Char(','));
}

RecordValues longestRecord(const QString& word)
{
    RecordValues v;
    v.programCode = 1;
    v.formName = filled(kFormNameBytes, QStringLiteral("화면") + word);
    v.title = filled(kTitleBytes, QStringLiteral("제목") + word);
    v.errText = filled(kLongTextBytes, QStringLiteral("요청") + word);
    v.solution = filled(kLongTextBytes, QStringLiteral("해결") + word);
    v.askId = QStringLiteral("kim");
    v.qusDate = QStringLiteral("2026-12-01 10:00");
    v.status = QStringLiteral("요청대기");
    return v;
}

} // namespace

// The server keeps the text index under every statement the program sends, at the
// longest texts the columns hold; an upgrade builds it for a database that has records.
class TextIndexTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyStatementKeepsTheIndex();
    void upgradeBuildsTheIndexOfAnExistingDatabase();

private:
    TestEnv m_env;
};

void TextIndexTest::initTestCase()
{
    QVERIFY(m_env.createDatabase(kDb));
    TestDb db;
    QVERIFY2(db.exec(QStringLiteral("USE %1; INSERT INTO user (id, name) VALUES ('kim', '김철수');"
                                    " INSERT INTO part (code, name, chargeid) VALUES (1, '누리셈II', 'kim')")
                         .arg(kDb)),
             qPrintable(db.error()));
    QVERIFY(m_env.connect(kDb));
}

void TextIndexTest::everyStatementKeepsTheIndex()
{
    MsgRecorder msgs;
    auto exec = [](const QString& sql) { return ExecSQL(sql) > 0; };
    auto search = [](int which, const QString& text) { return listed(textFilter(which, text)); };

    // The editor: a new record and its first company, at the columns' full lengths.
    QVERIFY(exec(InsertRecordSql(longestRecord(QStringLiteral("첫째")))));
    const long seq = GetInsertId();
    const QString company = filled(kComNameBytes, QStringLiteral("똠상사"));
    QVERIFY(exec(InsertFirstCompanySql(QStringLiteral("kim"), company, QStringLiteral("2026-12-01"), seq)));
    const QString s = QString::number(seq);
    QVERIFY(FindTextCandidates(textFilter(1, QStringLiteral("요청첫째"))).has_value());
    QCOMPARE(search(0, QStringLiteral("화면첫째")), s);
    QCOMPARE(search(1, QStringLiteral("제목첫째")), s);
    QCOMPARE(search(1, QStringLiteral("요청첫째")), s);
    QCOMPARE(search(1, QStringLiteral("해결첫째")), s);
    QCOMPARE(search(2, QStringLiteral("똠상사")), s);

    // The editor's changes: texts, screenshots, the company's name.
    QVERIFY(exec(UpdateRecordSql(longestRecord(QStringLiteral("둘째")), seq)));
    QCOMPARE(search(1, QStringLiteral("요청둘째")), s);
    QCOMPARE(search(1, QStringLiteral("요청첫째")), QString());
    ShotTags shots;
    shots[0] = QStringLiteral("\\\\host\\사내문서\\7_AS스샷\\1.jpg");
    QVERIFY(exec(UpdateShotPathsSql(shots, seq)));
    const long cseq = GetValue(QStringLiteral("SELECT MIN(seq) FROM ascomp")).toLong();
    QVERIFY(exec(UpdateCompanyNameSql(QStringLiteral("새이름상사"), cseq)));
    QCOMPARE(search(2, QStringLiteral("새이름")), s);

    // The companies window: a second company, renamed.
    QVERIFY(exec(InsertCompanySql(QStringLiteral("kim"), QStringLiteral("추가물산"),
                                  QStringLiteral("2026-12-01"), QStringLiteral("메모"), seq)));
    QCOMPARE(search(2, QStringLiteral("추가물산")), s);
    const long cseq2 = GetInsertId();
    QVERIFY(exec(UpdateCompanySql(QStringLiteral("바뀐물산"), QStringLiteral("메모"), cseq2)));
    QCOMPARE(search(2, QStringLiteral("바뀐물산")), s);

    // The Excel import: records in one statement, then their companies.
    QList<ImportRecordRow> rows;
    for (int i = 0; i < 3; ++i)
        rows << ImportRecordRow{1, QStringLiteral("가져온화면%1").arg(i), QStringLiteral("가져온제목"),
                                filled(kLongTextBytes, QStringLiteral("가져온요청%1").arg(i))};
    QVERIFY(exec(ListInsertSql(rows, QStringLiteral("kim"), QStringLiteral("2026-12-02 09:00:00"))));
    const long first = GetInsertId();
    QVERIFY(exec(CompanyInsertSql(first, 3, QStringLiteral("kim"), QStringLiteral("2026-12-02"))));
    QCOMPARE(search(1, QStringLiteral("가져온요청1")), QString::number(first + 1));
    QCOMPARE(search(0, QStringLiteral("가져온화면2")), QString::number(first + 2));

    // The nightly merge moves the triggers' grams into the bitmaps; the searches stay.
    TestDb db;
    QVERIFY2(db.exec(QStringLiteral("USE %1; CALL astext_merge()").arg(kDb)), qPrintable(db.error()));
    QCOMPARE(db.value(QStringLiteral("SELECT COUNT(*) FROM astext_new")), QStringLiteral("0"));
    QCOMPARE(search(1, QStringLiteral("가져온요청1")), QString::number(first + 1));
    QCOMPARE(search(2, QStringLiteral("바뀐물산")), s);

    // The main window's deletions: the record is gone from every search.
    QVERIFY(exec(DeleteCompanySql(cseq2)));
    QCOMPARE(search(2, QStringLiteral("바뀐물산")), QString());
    QVERIFY(exec(DeleteRecordCompaniesSql(seq)));
    QVERIFY(exec(DeleteRecordSql(seq)));
    QCOMPARE(search(1, QStringLiteral("요청둘째")), QString());

    QCOMPARE(db.value(QStringLiteral("SELECT COUNT(*) FROM astext_miss")), QStringLiteral("0"));
    QCOMPARE(msgs.texts().join(QLatin1Char('\n')), QString());
}

void TextIndexTest::upgradeBuildsTheIndexOfAnExistingDatabase()
{
    // A database of the old program: the five tables with records, no index.
    TestDb db;
    QVERIFY(db.createDatabase(kOldDb));
    QVERIFY2(
        db.exec(
            QStringLiteral(
                "USE %1; DROP TRIGGER astext_aslist_ai; DROP TRIGGER astext_aslist_au;"
                " DROP TRIGGER astext_ascomp_ai; DROP TRIGGER astext_ascomp_au; DROP PROCEDURE astext_put;"
                " DROP PROCEDURE astext_missed; DROP PROCEDURE astext_build; DROP PROCEDURE astext_merge;"
                " DROP EVENT astext_merge_nightly; DROP TABLE astext_gram, astext_new, astext_miss, "
                "astext_ready;"
                " INSERT INTO user (id, name) VALUES ('kim', '김철수');"
                " INSERT INTO part (code, name, chargeid) VALUES (1, '누리셈II', 'kim');"
                " INSERT INTO aslist (seq, appcode, formname, title, errtext, solution, qusdate)"
                "  SELECT seq, 1, CONCAT('Frm', seq), CONCAT('제목 ', seq), CONCAT('요청 ', seq, ' 번째 "
                "똠얌'),"
                "  REPEAT('해결', seq % 50), CONCAT('2026-11-', LPAD(1 + seq % 28, 2, '0'), ' 09:00')"
                "  FROM seq_1_to_5000;"
                " INSERT INTO ascomp (comname, ascode) SELECT CONCAT('상사', seq), seq FROM seq_1_to_5000")
                .arg(kOldDb)),
        qPrintable(db.error()));

    // An administrator runs the file with the mariadb client, twice.
    QStringList outputs;
    for (int run = 0; run < 2; ++run) {
        QProcess client;
        client.setStandardInputFile(qEnvironmentVariable("AS_SOURCE_DIR") +
                                    QStringLiteral("/data/upgrade/001-text-index.sql"));
        client.start(QStringLiteral("mariadb"),
                     {QStringLiteral("--no-defaults"),
                      QStringLiteral("--socket=") + qEnvironmentVariable("AS_TEST_DB_SOCKET"),
                      QStringLiteral("-uroot"), QStringLiteral("--default-character-set=euckr"), kOldDb});
        QVERIFY(client.waitForFinished(300000));
        QCOMPARE(client.exitCode(), 0);
        outputs << QString::fromUtf8(client.readAllStandardOutput());
    }
    QVERIFY2(outputs[0].contains(QStringLiteral("text index: 5000 of 5000 records")), qPrintable(outputs[0]));
    QVERIFY2(outputs[1].contains(QStringLiteral("built already")), qPrintable(outputs[1]));

    QVERIFY(m_env.connect(kOldDb));
    MsgRecorder msgs;
    QVERIFY(TextIndexReady());
    QVERIFY(FindTextCandidates(textFilter(0, QStringLiteral("frm4321"))).has_value());
    QCOMPARE(listed(textFilter(0, QStringLiteral("frm4321"))), QStringLiteral("4321"));
    QCOMPARE(listed(textFilter(1, QStringLiteral("요청 1234 번"))), QStringLiteral("1234"));
    QCOMPARE(listed(textFilter(2, QStringLiteral("상사4999"))), QStringLiteral("4999"));
    QCOMPARE(msgs.texts().join(QLatin1Char('\n')), QString());
}

QTEST_GUILESS_MAIN(TextIndexTest)
#include "tst_textindex.moc"
