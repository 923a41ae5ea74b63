#include "../records/ListData.h"
#include "MsgRecorder.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "common/Cp949.h"
#include "common/Globals.h"
#include "common/SiteConfig.h"
#include "db/DbStartup.h"
#include "db/Query.h"
#include "editor/RecordSave.h"

#include <QDir>
#include <QtTest>

namespace {

const QString kDb = QStringLiteral("t_editorsave");
const QString kShareDir = QStringLiteral("share/사내문서/7_AS스샷");
const QString kHostile = QStringLiteral("it's 100% \\ _ ; -- \" 똠");
const QString kHostileTime = QStringLiteral("12-08 it's\\ 똠");
const QString kSaved = QStringLiteral(" 자료가 저장되었습니다./T500");
const QString kChanged = QStringLiteral(" 자료가 수정되었습니다./T500");
const QString kNothingChanged = QStringLiteral("수정된 내용이 없거나, 오류가 발생하였습니다.");

} // namespace

// Saving records from the editor against a real server and a real share folder: the rows
// that come back and the files on the share.
class EditorSaveTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void saveNew_data();
    void saveNew();
    void newRecordNeverTakesAnotherRecordsFileName();
    void failedCopyWritesNothing_data();
    void failedCopyWritesNothing();
    void lostServerDuringSave();
    void saveChanged_data();
    void saveChanged();
    void faultLeavesNothingHalfWritten_data();
    void faultLeavesNothingHalfWritten();
    void staleSaveIsRefused_data();
    void staleSaveIsRefused();

private:
    QString picture(const QString& name, Qt::GlobalColor colour);
    QString shareFile(const QString& name) const { return m_env.path(kShareDir + QLatin1Char('/') + name); }
    EditorRecord newRecord() const;
    // The column as stored, compared byte for byte through HEX().
    void verifyStored(const QString& table, const QString& column, long seq, const QString& expected);
    QStringList stagedLeftovers() const;
    // Record 1 of the list data as the editor holds it after loading it.
    EditorRecord loadedRecordOne(StoredRecord* loaded) const;
    // Every column of record `seq` and of its companies, for comparing before and after.
    QStringList storedRows(long seq);

    TestEnv m_env;
};

void EditorSaveTest::initTestCase()
{
    gAppTitle = QString::fromUtf8(kAppTitle);
    gUserId = QStringLiteral("kim");
    UseShareFolder(m_env.path(QStringLiteral("share")));
    QVERIFY(InstallFloatMsgStandIn(m_env.appDir()));
}

void EditorSaveTest::init()
{
    const QString error = OpenListDatabase(m_env, kDb);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QDir(m_env.path(QStringLiteral("share"))).removeRecursively();
    QVERIFY(QDir().mkpath(m_env.path(kShareDir)));
    ClearFloatMsgLog(m_env.appDir());
}

void EditorSaveTest::cleanup()
{
    CloseDB();
}

QString EditorSaveTest::picture(const QString& name, Qt::GlobalColor colour)
{
    const QString path = m_env.path(QStringLiteral("pictures/") + name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(colour);
    image.save(path, "JPEG");
    return path;
}

EditorRecord EditorSaveTest::newRecord() const
{
    EditorRecord r;
    r.values.programCode = 3;
    r.values.formName = QStringLiteral("FrmSale");
    r.values.title = QStringLiteral("제목");
    r.values.errText = QStringLiteral("내용");
    r.values.askId = QStringLiteral("kim");
    r.values.qusDate = QStringLiteral("2026-12-08 10:00");
    r.values.status = QStringLiteral("요청대기");
    return r;
}

void EditorSaveTest::verifyStored(const QString& table, const QString& column, long seq,
                                  const QString& expected)
{
    TestDb db;
    const QString key = table == QLatin1String("ascomp") ? QStringLiteral("ascode") : QStringLiteral("seq");
    const QString hex = db.value(
        QStringLiteral("SELECT HEX(%1) FROM %2.%3 WHERE %4 = %5").arg(column, kDb, table, key).arg(seq));
    QCOMPARE(cp949::decode(QByteArray::fromHex(hex.toLatin1())), expected);
}

QStringList EditorSaveTest::stagedLeftovers() const
{
    return QDir(m_env.path(kShareDir)).entryList({QStringLiteral(".shot-*")}, QDir::Files | QDir::Hidden);
}

void EditorSaveTest::saveNew_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("text");       // title, request text, solution, company and time
    QTest::addColumn<QString>("askId");      // "" for "[전체]"
    QTest::addColumn<QList<int>>("filled");  // slots holding a picture
    QTest::addColumn<int>("nextNumber");     // the server's next record number; 7 as predicted
    QTest::addColumn<QString>("registrant"); // of the company row
    QTest::newRow("no pictures") << "FrmSale"
                                 << "제목"
                                 << "kim" << QList<int>{} << 7 << "kim";
    QTest::newRow("hostile texts") << "O'Brien 화면" << kHostile << "kim" << QList<int>{} << 7 << "kim";
    QTest::newRow("pictures in both halves") << "매출 관리:1"
                                             << "제목"
                                             << "kim" << QList<int>{0, 1, 5} << 7 << "kim";
    QTest::newRow("numbers skipped, one answer picture") << "FrmSale"
                                                         << "제목"
                                                         << "kim" << QList<int>{6} << 20 << "kim";
    QTest::newRow("no asker") << "FrmSale"
                              << "제목"
                              << "" << QList<int>{0} << 7 << "hqt";
}

void EditorSaveTest::saveNew()
{
    QFETCH(QString, screen);
    QFETCH(QString, text);
    QFETCH(QString, askId);
    QFETCH(QList<int>, filled);
    QFETCH(int, nextNumber);
    QFETCH(QString, registrant);
    TestDb db;
    QVERIFY(db.exec(QStringLiteral("ALTER TABLE %1.aslist AUTO_INCREMENT = %2").arg(kDb).arg(nextNumber)));

    EditorRecord r = newRecord();
    r.values.formName = screen;
    r.values.title = QStringLiteral("  ") + text + QStringLiteral("  ");
    r.values.errText = text + QStringLiteral("\r\n둘째 줄");
    r.values.solution = text;
    r.values.qusDate = text == kHostile ? kHostileTime : r.values.qusDate;
    r.values.askId = askId;
    r.company = text;
    r.hasFtp = true;
    r.ftpDate = QDate(2026, 12, 9);
    QMap<int, QByteArray> bytes;
    for (int slot : filled) {
        r.values.shots[slot] = picture(QStringLiteral("p%1.jpg").arg(slot), slot < 5 ? Qt::red : Qt::blue);
        bytes[slot] = ReadFileBytes(r.values.shots[slot]);
    }

    MsgRecorder msgs;
    const SaveOutcome out = SaveNewRecord(r);
    QVERIFY2(out.stored, qPrintable(msgs.texts().join('\n')));
    QCOMPARE(out.seq, long(nextNumber));
    QCOMPARE(msgs.count(), 0);
    QTRY_COMPARE(FloatMsgLog(m_env.appDir()), QStringList{kSaved});

    verifyStored(QStringLiteral("aslist"), QStringLiteral("formname"), out.seq, screen.trimmed());
    verifyStored(QStringLiteral("aslist"), QStringLiteral("title"), out.seq, text.trimmed());
    verifyStored(QStringLiteral("aslist"), QStringLiteral("errtext"), out.seq,
                 text + QStringLiteral("\r\n둘째 줄"));
    verifyStored(QStringLiteral("aslist"), QStringLiteral("qusdate"), out.seq, r.values.qusDate);
    verifyStored(QStringLiteral("aslist"), QStringLiteral("ftpdate"), out.seq,
                 QStringLiteral("2026-12-09 00:00"));
    verifyStored(QStringLiteral("aslist"), QStringLiteral("user_q"), out.seq, askId);
    verifyStored(QStringLiteral("ascomp"), QStringLiteral("comname"), out.seq, text.trimmed());
    verifyStored(QStringLiteral("ascomp"), QStringLiteral("`user`"), out.seq, registrant);
    for (int slot = 0; slot < kShotSlots; ++slot) {
        const QString expected = filled.contains(slot)
                                     ? StoredShotPath(QStringLiteral("demoshare"), out.seq, screen, slot)
                                     : QString();
        QCOMPARE(out.tags[slot], expected);
        verifyStored(QStringLiteral("aslist"), QStringLiteral("sshot%1").arg(slot + 1), out.seq, expected);
        if (filled.contains(slot))
            QCOMPARE(ReadFileBytes(shareFile(StoredShotName(out.seq, screen, slot))), bytes[slot]);
    }
    // Only the record's own files are on the share.
    QCOMPARE(QDir(m_env.path(kShareDir)).entryList(QDir::Files | QDir::Hidden).size(), filled.size());
}

// A read server that lags behind predicts a number another client has just taken: its
// file stays as it was, and this record's files carry the number it really got.
void EditorSaveTest::newRecordNeverTakesAnotherRecordsFileName()
{
    CloseDB();
    TestDb second(2);
    QVERIFY(LoadListData(second, kDb));
    TestDb db;
    QVERIFY(db.exec(QStringLiteral("INSERT INTO %1.aslist (seq, formname, sshot1) VALUES (7, 'FrmSale', "
                                   "'\\\\\\\\demoshare\\\\사내문서\\\\7_AS스샷\\\\7_FrmSale_0.jpg')")
                        .arg(kDb)));
    QVERIFY(WriteFileBytes(shareFile(QStringLiteral("7_FrmSale_0.jpg")), "the other record's picture"));
    QVERIFY(m_env.connect(kDb, true));

    EditorRecord r = newRecord();
    r.values.shots[0] = picture(QStringLiteral("mine.jpg"), Qt::green);
    MsgRecorder msgs;
    const SaveOutcome out = SaveNewRecord(r);
    QVERIFY2(out.stored, qPrintable(msgs.texts().join('\n')));
    QCOMPARE(out.seq, 8L);
    QCOMPARE(ReadFileBytes(shareFile(QStringLiteral("7_FrmSale_0.jpg"))),
             QByteArray("the other record's picture"));
    QCOMPARE(ReadFileBytes(shareFile(QStringLiteral("8_FrmSale_0.jpg"))), ReadFileBytes(r.values.shots[0]));
    verifyStored(QStringLiteral("aslist"), QStringLiteral("sshot1"), 8,
                 StoredShotPath(QStringLiteral("demoshare"), 8, QStringLiteral("FrmSale"), 0));
    QCOMPARE(stagedLeftovers(), QStringList());
}

void EditorSaveTest::failedCopyWritesNothing_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("message");
    const QString proc = QStringLiteral(") in procedure SaveNew of Form FrmAS");
    QTest::newRow("share folder missing") << "no folder"
                                          << "FrmSale"
                                          << "Error 76 (Path not found: ";
    QTest::newRow("share host not mounted") << "no mount"
                                            << "FrmSale"
                                            << "Error 76 (Path not found: \\\\";
    QTest::newRow("picture vanished") << "no source"
                                      << "FrmSale"
                                      << "Error 53 (File not found: ";
    QTest::newRow("backslash in the screen name") << ""
                                                  << "a\\b"
                                                  << "Error 52 (Bad file name or number: ";
    QTest::newRow("double quote in the screen name") << ""
                                                     << "a\"b"
                                                     << "Error 52 (Bad file name or number: ";
}

void EditorSaveTest::failedCopyWritesNothing()
{
    QFETCH(QString, fault);
    QFETCH(QString, screen);
    QFETCH(QString, message);
    EditorRecord r = newRecord();
    r.values.formName = screen;
    r.values.shots[0] = picture(QStringLiteral("a.jpg"), Qt::red);
    r.values.shots[1] = picture(QStringLiteral("b.jpg"), Qt::red);
    if (fault == QLatin1String("no folder"))
        QVERIFY(QDir(m_env.path(kShareDir)).removeRecursively());
    if (fault == QLatin1String("no source"))
        QVERIFY(QFile::remove(r.values.shots[1]));
    const SiteConfig site = Site();
    if (fault == QLatin1String("no mount"))
        UseShareFolder(QString());

    MsgRecorder msgs;
    const SaveOutcome out = SaveNewRecord(r);
    SetSiteForTesting(site);
    QVERIFY(!out.stored);
    QCOMPARE(out.seq, 0L);
    QCOMPARE(msgs.count(), 1);
    QVERIFY2(msgs.last().text.startsWith(message), qPrintable(msgs.last().text));
    QVERIFY(msgs.last().text.endsWith(QStringLiteral(") in procedure SaveNew of Form FrmAS")));
    TestDb db;
    QCOMPARE(db.value(QStringLiteral("SELECT COUNT(*) FROM %1.aslist").arg(kDb)), QStringLiteral("6"));
    QCOMPARE(QDir(m_env.path(kShareDir)).entryList(QDir::Files | QDir::Hidden), QStringList());
    QCOMPARE(out.tags, r.values.shots);
}

// The connection is cut under the save: the user is told, and the share keeps no
// half-saved files whichever way the save ends.
void EditorSaveTest::lostServerDuringSave()
{
    TestDb db;
    QVERIFY(db.exec(QStringLiteral("KILL %1").arg(gDB[0]->thread_id())));
    EditorRecord r = newRecord();
    r.values.shots[0] = picture(QStringLiteral("a.jpg"), Qt::red);
    MsgRecorder msgs;
    const SaveOutcome out = SaveNewRecord(r);
    QVERIFY(msgs.count() >= 1);
    QVERIFY(msgs.texts().first().startsWith(QStringLiteral("Error ")));
    QCOMPARE(stagedLeftovers(), QStringList());
    QCOMPARE(db.value(QStringLiteral("SELECT COUNT(*) FROM %1.aslist").arg(kDb)),
             out.stored ? QStringLiteral("7") : QStringLiteral("6"));
}

void EditorSaveTest::saveChanged_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("stored");
    QTest::newRow("nothing") << "" << false;
    QTest::newRow("company only") << "company" << true;
    QTest::newRow("texts and company") << "texts" << true;
    QTest::newRow("new picture over a stored one") << "picture" << true;
    QTest::newRow("screen renamed") << "screen" << true;
    QTest::newRow("stored picture vanished, screen renamed") << "vanished" << false;
    QTest::newRow("stored picture vanished") << "vanished in place" << false;
    QTest::newRow("hidden completion date kept") << "hidden date" << true;
    QTest::newRow("completion date removed") << "removed date" << true;
}

// Record 1 of the list data, opened as the list shows it, with a stored picture in slot 0.
void EditorSaveTest::saveChanged()
{
    QFETCH(QString, change);
    QFETCH(bool, stored);
    const QString shot0 = StoredShotPath(QStringLiteral("demoshare"), 1, QStringLiteral("FrmSale"), 0);
    QVERIFY(WriteFileBytes(shareFile(QStringLiteral("1_FrmSale_0.jpg")), "stored picture"));
    TestDb db;
    QVERIFY(db.exec(
        QStringLiteral("UPDATE %1.aslist SET sshot1 = '%2', ftpdate = '2026-11-10 -18:00' WHERE seq = 1")
            .arg(kDb, QString(shot0).replace(QLatin1String("\\"), QLatin1String("\\\\")))));

    EditorRecord r;
    r.seq = 1;
    r.companySeq = 1;
    r.company = QStringLiteral("대한상사");
    RecordValues& v = r.values;
    v.programCode = 1;
    v.formName = QStringLiteral("FrmSale");
    v.title = QStringLiteral("매출 저장 오류");
    v.errText = QStringLiteral("저장 버튼을 누르면 멈춤");
    v.solution = QStringLiteral("패치 배포");
    v.askId = QStringLiteral("kim");
    v.ansId = QStringLiteral("lee");
    v.qusDate = QStringLiteral("2026-11-01 09:00");
    v.status = QStringLiteral("요청대기");
    v.shots[0] = shot0;
    r.hasFtp = true;
    r.ftpDate = QDate(2026, 11, 10);
    r.ftpTime = QStringLiteral("18:00");
    QString newPicture;
    if (change == QLatin1String("company"))
        r.company = kHostile;
    if (change == QLatin1String("texts")) {
        r.company = QStringLiteral("새 상사");
        v.title = QStringLiteral(" ") + kHostile + QStringLiteral(" ");
        v.solution = kHostile;
    }
    if (change == QLatin1String("picture"))
        v.shots[0] = newPicture = picture(QStringLiteral("new.jpg"), Qt::yellow);
    if (change == QLatin1String("screen") || change == QLatin1String("vanished"))
        v.formName = QStringLiteral("FrmSale2");
    if (change.startsWith(QLatin1String("vanished")))
        QVERIFY(QFile::remove(shareFile(QStringLiteral("1_FrmSale_0.jpg"))));
    // A completed request hides its date: an edit of its texts keeps it.
    if (change == QLatin1String("hidden date")) {
        r.hasFtp = false;
        v.errText = QStringLiteral("고친 내용");
    }
    if (change == QLatin1String("removed date"))
        r.hasFtp = false, r.ftpRemoved = true;
    StoredRecord loaded;
    QCOMPARE(ReadStoredRecord(1, 1, &loaded), StoredRead::Found);

    MsgRecorder msgs;
    const SaveOutcome out = SaveChangedRecord(r, loaded);
    QCOMPARE(out.stored, stored);
    if (stored)
        QTRY_COMPARE(FloatMsgLog(m_env.appDir()), QStringList{kChanged});
    if (change.isEmpty())
        QCOMPARE(msgs.texts(), QStringList{kNothingChanged});
    if (change.startsWith(QLatin1String("vanished"))) {
        QCOMPARE(msgs.count(), 1);
        QVERIFY(msgs.last().text.startsWith(QStringLiteral("Error 53 (File not found: ")));
        verifyStored(QStringLiteral("aslist"), QStringLiteral("formname"), 1, QStringLiteral("FrmSale"));
        verifyStored(QStringLiteral("aslist"), QStringLiteral("sshot1"), 1, shot0);
        return;
    }
    verifyStored(QStringLiteral("aslist"), QStringLiteral("title"), 1, v.title);
    verifyStored(QStringLiteral("aslist"), QStringLiteral("solution"), 1, v.solution);
    verifyStored(QStringLiteral("ascomp"), QStringLiteral("comname"), 1, r.company);
    verifyStored(QStringLiteral("aslist"), QStringLiteral("ftpdate"), 1,
                 change == QLatin1String("removed date") ? QString() : QStringLiteral("2026-11-10 -18:00"));
    const QString expectedShot = StoredShotPath(QStringLiteral("demoshare"), 1, v.formName, 0);
    verifyStored(QStringLiteral("aslist"), QStringLiteral("sshot1"), 1, expectedShot);
    QCOMPARE(out.tags[0], expectedShot);
    const QByteArray expectedBytes =
        newPicture.isEmpty() ? QByteArray("stored picture") : ReadFileBytes(newPicture);
    QCOMPARE(ReadFileBytes(shareFile(StoredShotName(1, v.formName, 0))), expectedBytes);
}

EditorRecord EditorSaveTest::loadedRecordOne(StoredRecord* loaded) const
{
    [&] { QCOMPARE(ReadStoredRecord(1, 1, loaded), StoredRead::Found); }();
    EditorRecord r;
    r.seq = 1;
    r.companySeq = 1;
    r.values = loaded->values;
    r.company = loaded->company;
    r.hasFtp = true;
    r.ftpDate = QDate(2026, 11, 10);
    r.ftpTime = QStringLiteral("18:00");
    return r;
}

QStringList EditorSaveTest::storedRows(long seq)
{
    TestDb db;
    return db.rows(QStringLiteral("SELECT * FROM %1.aslist WHERE seq = %2").arg(kDb).arg(seq)) +
           db.rows(QStringLiteral("SELECT * FROM %1.ascomp WHERE ascode = %2 ORDER BY seq").arg(kDb).arg(seq));
}

void EditorSaveTest::faultLeavesNothingHalfWritten_data()
{
    QTest::addColumn<bool>("insert");
    QTest::addColumn<QString>("statement"); // the statement the fault meets, by its start
    QTest::addColumn<QString>("fault");     // kill: the connection is cut just before it
    QTest::addColumn<QString>("engine");
    const auto row = [](const char* name, bool insert, const char* statement, const char* fault,
                        const char* engine = "InnoDB") {
        QTest::newRow(name) << insert << statement << fault << engine;
    };
    row("new: cut before the transaction", true, "START TRANSACTION", "kill");
    row("new: cut before the record", true, "INSERT INTO aslist", "kill");
    row("new: cut before the company", true, "INSERT INTO ascomp", "kill");
    row("new: cut before the paths", true, " UPDATE aslist SET", "kill");
    row("new: cut before the commit", true, "COMMIT", "kill");
    row("new: company refused", true, "INSERT INTO ascomp", "refuse");
    row("new: company lock wait timeout", true, "INSERT INTO ascomp", "lock");
    row("new: last file cannot be placed", true, " UPDATE aslist SET", "place");
    row("new: company refused, MyISAM", true, "INSERT INTO ascomp", "refuse", "MyISAM");
    row("changed: cut before the lock", false, "SELECT a.appcode", "kill");
    row("changed: cut before the record", false, "UPDATE aslist", "kill");
    row("changed: cut before the company", false, " UPDATE ascomp", "kill");
    row("changed: cut before the commit", false, "COMMIT", "kill");
    row("changed: company refused", false, " UPDATE ascomp", "refuse");
    row("changed: company refused, MyISAM", false, " UPDATE ascomp", "refuse", "MyISAM");
    row("changed: last file cannot be placed", false, " UPDATE ascomp", "place");
}

// A fault anywhere in a save: nothing of it is stored, the share holds what it held, the
// user is told, and the same save goes through when tried again.
void EditorSaveTest::faultLeavesNothingHalfWritten()
{
    QFETCH(bool, insert);
    QFETCH(QString, statement);
    QFETCH(QString, fault);
    QFETCH(QString, engine);
    TestDb db;
    QVERIFY(WriteFileBytes(shareFile(QStringLiteral("1_FrmSale_0.jpg")), "stored picture"));
    QVERIFY(SetShotPaths(kDb, 1, {StoredShotPath(QStringLiteral("demoshare"), 1, QStringLiteral("FrmSale"), 0)}));
    if (engine != QLatin1String("InnoDB"))
        QVERIFY(db.exec(QStringLiteral("ALTER TABLE %1.aslist ENGINE=%2").arg(kDb, engine)) &&
                db.exec(QStringLiteral("ALTER TABLE %1.ascomp ENGINE=%2").arg(kDb, engine)));
    // The new record's number is not the predicted one, so its paths are written again.
    QVERIFY(db.exec(QStringLiteral("ALTER TABLE %1.aslist AUTO_INCREMENT = 20").arg(kDb)));

    StoredRecord loaded;
    EditorRecord r = insert ? newRecord() : loadedRecordOne(&loaded);
    r.values.shots[0] = picture(QStringLiteral("a.jpg"), Qt::red);
    r.values.shots[5] = picture(QStringLiteral("b.jpg"), Qt::blue);
    r.values.solution = QStringLiteral("새 해결책");
    const QStringList before = storedRows(1);
    const QStringList shareBefore = QDir(m_env.path(kShareDir)).entryList(QDir::Files | QDir::Hidden);
    const QString lastTarget = shareFile(StoredShotName(insert ? 20 : 1, r.values.formName, 5));

    TestDb other;
    if (fault == QLatin1String("refuse"))
        QVERIFY(db.exec(QStringLiteral("CREATE TRIGGER %1.refuse_company BEFORE %2 ON %1.ascomp FOR EACH ROW "
                                       "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'refused'")
                            .arg(kDb, insert ? QStringLiteral("INSERT") : QStringLiteral("UPDATE"))));
    if (fault == QLatin1String("lock")) {
        QVERIFY(gDB[0]->query(QStringLiteral("SET SESSION innodb_lock_wait_timeout = 1")) == nullptr);
        QVERIFY(other.exec(QStringLiteral("START TRANSACTION")) &&
                !other.rows(QStringLiteral("SELECT seq FROM %1.ascomp FOR UPDATE").arg(kDb)).isEmpty());
    }
    bool met = false;
    SetStatementObserverForTesting([&](const QString& sql) {
        if (met || !sql.startsWith(statement))
            return;
        met = true;
        if (fault == QLatin1String("kill"))
            QVERIFY(db.exec(QStringLiteral("KILL %1").arg(gDB[0]->thread_id())));
        if (fault == QLatin1String("place"))
            QVERIFY(QDir().mkpath(lastTarget + QStringLiteral("/in the way")));
    });
    MsgRecorder msgs;
    const SaveOutcome out = insert ? SaveNewRecord(r) : SaveChangedRecord(r, loaded);
    SetStatementObserverForTesting({});
    other.exec(QStringLiteral("ROLLBACK"));
    QVERIFY(met);
    QVERIFY(!out.stored);
    QCOMPARE(out.tags, r.values.shots);
    QVERIFY2(msgs.count() >= 1 && msgs.count() <= 2, qPrintable(msgs.texts().join('\n')));
    QCOMPARE(FloatMsgLog(m_env.appDir()), QStringList());
    QCOMPARE(storedRows(1), before);
    QCOMPARE(db.value(QStringLiteral("SELECT COUNT(*) FROM %1.aslist").arg(kDb)), QStringLiteral("6"));
    QCOMPARE(db.value(QStringLiteral("SELECT COUNT(*) FROM %1.ascomp").arg(kDb)), QStringLiteral("6"));
    QDir(lastTarget).removeRecursively();
    QCOMPARE(QDir(m_env.path(kShareDir)).entryList(QDir::Files | QDir::Hidden), shareBefore);
    QCOMPARE(ReadFileBytes(shareFile(QStringLiteral("1_FrmSale_0.jpg"))), QByteArray("stored picture"));

    // Pressing F2 again stores the whole record.
    db.exec(QStringLiteral("DROP TRIGGER IF EXISTS %1.refuse_company").arg(kDb));
    const SaveOutcome again = insert ? SaveNewRecord(r) : SaveChangedRecord(r, loaded);
    QVERIFY2(again.stored, qPrintable(msgs.texts().join('\n')));
    verifyStored(QStringLiteral("aslist"), QStringLiteral("solution"), again.seq, QStringLiteral("새 해결책"));
    QCOMPARE(db.value(QStringLiteral("SELECT COUNT(*) FROM %1.ascomp WHERE ascode = %2").arg(kDb).arg(again.seq)),
             insert ? QStringLiteral("1") : QStringLiteral("2"));
    QCOMPARE(ReadFileBytes(shareFile(StoredShotName(again.seq, r.values.formName, 5))), ReadFileBytes(r.values.shots[5]));
    QCOMPARE(stagedLeftovers(), QStringList());
}

void EditorSaveTest::staleSaveIsRefused_data()
{
    QTest::addColumn<QString>("other");    // what another client did after this editor loaded
    QTest::addColumn<QString>("expected"); // the parts named to the user; "" for a stored save
    QTest::newRow("nothing") << "" << "";
    QTest::newRow("answer saved") << "UPDATE aslist SET solution = '답변', status = '배포완료' WHERE seq = 1"
                                  << "상태, 해결책";
    QTest::newRow("same text changed") << "UPDATE aslist SET errtext = '다른 내용' WHERE seq = 1"
                                       << "내용";
    QTest::newRow("company renamed") << "UPDATE ascomp SET comname = '새상사' WHERE seq = 1"
                                     << "업체명";
    QTest::newRow("screenshot added")
        << "UPDATE aslist SET sshot7 = 'x.jpg' WHERE seq = 1" << "스샷 7";
    QTest::newRow("request deleted") << "DELETE FROM aslist WHERE seq = 1" << "gone";
}

// Another client's write between this editor's load and its save: the save writes
// nothing and names what changed; the other client's values stay.
void EditorSaveTest::staleSaveIsRefused()
{
    QFETCH(QString, other);
    QFETCH(QString, expected);
    StoredRecord loaded;
    EditorRecord r = loadedRecordOne(&loaded);
    r.values.errText = QStringLiteral("내가 고친 내용");
    TestDb db;
    QVERIFY(other.isEmpty() || (db.exec(QStringLiteral("USE %1").arg(kDb)) && db.exec(other)));
    const QStringList afterOther = storedRows(1);

    MsgRecorder msgs;
    const SaveOutcome out = SaveChangedRecord(r, loaded);
    QCOMPARE(out.stored, expected.isEmpty());
    if (expected.isEmpty()) {
        verifyStored(QStringLiteral("aslist"), QStringLiteral("errtext"), 1, r.values.errText);
        return;
    }
    QCOMPARE(msgs.count(), 0);
    QCOMPARE(out.refusal, expected == QLatin1String("gone") ? SaveRefusal::Gone : SaveRefusal::Changed);
    if (out.refusal == SaveRefusal::Changed)
        QCOMPARE(RecordFieldNames(out.changedFields), expected);
    QCOMPARE(storedRows(1), afterOther);

    // Loaded again, the same edit is stored.
    if (out.refusal == SaveRefusal::Changed) {
        StoredRecord again;
        QCOMPARE(ReadStoredRecord(1, 1, &again), StoredRead::Found);
        QVERIFY(SaveChangedRecord(r, again).stored);
        verifyStored(QStringLiteral("aslist"), QStringLiteral("errtext"), 1, r.values.errText);
    }
}

QTEST_GUILESS_MAIN(EditorSaveTest)
#include "tst_editorsave.moc"
