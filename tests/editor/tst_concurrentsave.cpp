#include "../records/ListData.h"
#include "MsgRecorder.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "common/Globals.h"
#include "db/DbStartup.h"
#include "editor/RecordSave.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QtTest>

namespace {

const QString kDb = QStringLiteral("t_concurrent");
constexpr int kClients = 4;
constexpr int kPictures = 3;

QString sharePath(const QString& mount)
{
    return mount + QStringLiteral("/사내문서/7_AS스샷");
}

// A client process on the test's database and share, as `user`.
bool joinAs(TestEnv& env, const QString& folder, const char* user)
{
    UseShareFolder(folder + QStringLiteral("/share"));
    gAppTitle = QString::fromUtf8(kAppTitle);
    gUserId = QLatin1String(user);
    return env.connect(kDb) && InstallFloatMsgStandIn(env.appDir());
}

// Tells the test this client is ready, then waits for its start signal.
void readyAndWait(const QString& folder, int client)
{
    QFile(folder + QStringLiteral("/ready%1").arg(client)).open(QIODevice::WriteOnly);
    while (!QFile::exists(folder + QStringLiteral("/go")))
        QThread::msleep(2);
}

// One client: waits for the start signal, then saves a record with the same screen name
// as every other client and pictures of its own colour. Exits 0 when the save succeeded.
int runClient(const QString& folder, int client)
{
    TestEnv env;
    if (!joinAs(env, folder, "kim"))
        return 2;
    EditorRecord r;
    r.values.programCode = 1;
    r.values.formName = QStringLiteral("FrmSale");
    r.values.title = QStringLiteral("client %1").arg(client);
    r.values.errText = QStringLiteral("동시 저장");
    r.values.askId = QStringLiteral("kim");
    r.values.qusDate = QStringLiteral("2026-12-08 12:00");
    r.values.status = QStringLiteral("요청대기");
    for (int slot = 0; slot < kPictures; ++slot)
        r.values.shots[slot * 3] = folder + QStringLiteral("/client%1.jpg").arg(client);
    readyAndWait(folder, client);
    MsgRecorder msgs;
    return SaveNewRecord(r).stored && msgs.count() == 0 ? 0 : 1;
}

// One editor of record 1: loads it, waits for the start signal, then saves its own
// solution and status over it. Exits 0 when stored, 3 when refused as changed meanwhile.
int runEditor(const QString& folder, int client)
{
    TestEnv env;
    if (!joinAs(env, folder, "lee"))
        return 2;
    StoredRecord loaded;
    if (ReadStoredRecord(1, 1, &loaded) != StoredRead::Found)
        return 2;
    EditorRecord r;
    r.seq = 1;
    r.companySeq = 1;
    r.values = loaded.values;
    r.company = loaded.company;
    r.values.solution = QStringLiteral("client %1").arg(client);
    r.values.status = QStringLiteral("status %1").arg(client);
    readyAndWait(folder, client);
    MsgRecorder msgs;
    const SaveOutcome out = SaveChangedRecord(r, loaded);
    if (out.stored && msgs.count() == 0)
        return 0;
    return out.refusal == SaveRefusal::Changed && msgs.count() == 0 ? 3 : 1;
}

QList<QProcess*> startClients(QObject* parent, const char* role, const QString& folder)
{
    QList<QProcess*> clients;
    for (int client = 0; client < kClients; ++client) {
        auto* p = new QProcess(parent);
        p->setProcessChannelMode(QProcess::ForwardedChannels);
        p->start(QCoreApplication::applicationFilePath(),
                 {QLatin1String(role), folder, QString::number(client)});
        clients << p;
    }
    return clients;
}

} // namespace

// Clients in separate processes save new records with the same screen name at the same
// moment, against one server and one share.
class ConcurrentSaveTest : public QObject
{
    Q_OBJECT

private slots:
    void everyRecordKeepsItsOwnFiles();
    void oneOfFourEditorsOfARecordWins();
};

void ConcurrentSaveTest::everyRecordKeepsItsOwnFiles()
{
    TestEnv env;
    QVERIFY(env.createDatabase(kDb));
    TestDb db;
    QVERIFY(LoadListData(db, kDb));
    const QString folder = env.appDir();
    QVERIFY(QDir().mkpath(sharePath(folder + QStringLiteral("/share"))));
    QMap<QString, QByteArray> bytesOf; // title -> its client's picture
    for (int client = 0; client < kClients; ++client) {
        QImage picture(320, 240, QImage::Format_RGB32);
        picture.fill(QColor::fromHsv(client * 80, 200, 200));
        const QString path = folder + QStringLiteral("/client%1.jpg").arg(client);
        QVERIFY(picture.save(path, "JPEG", 100));
        bytesOf[QStringLiteral("client %1").arg(client)] = ReadFileBytes(path);
    }

    const QList<QProcess*> clients = startClients(this, "--client", folder);
    for (int client = 0; client < kClients; ++client)
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder + QStringLiteral("/ready%1").arg(client)), 30000);
    QVERIFY(WriteFileBytes(folder + QStringLiteral("/go"), "go"));
    for (QProcess* p : clients) {
        QVERIFY(p->waitForFinished(60000));
        QCOMPARE(p->exitCode(), 0);
    }

    const QStringList rows =
        db.rows(QStringLiteral("SELECT title, sshot1, sshot4, sshot7 FROM %1.aslist WHERE seq > 6").arg(kDb));
    QCOMPARE(rows.size(), kClients);
    QSet<QString> paths;
    for (const QString& row : rows) {
        const QStringList cols = row.split(QLatin1Char('|'));
        for (int slot = 1; slot <= kPictures; ++slot) {
            const QString stored = cols[slot];
            QVERIFY2(!paths.contains(stored), qPrintable(stored));
            paths << stored;
            const QString local = sharePath(folder + QStringLiteral("/share")) + QLatin1Char('/') +
                                  stored.section(QLatin1Char('\\'), -1);
            QVERIFY2(ReadFileBytes(local) == bytesOf[cols[0]],
                     qPrintable(cols[0] + QStringLiteral(": ") + stored));
        }
    }
    QCOMPARE(QDir(sharePath(folder + QStringLiteral("/share"))).entryList(QDir::Files | QDir::Hidden).size(),
             kClients * kPictures);
}

// Four editors loaded record 1 and save it at the same moment: one is stored whole, the
// other three are told and store nothing.
void ConcurrentSaveTest::oneOfFourEditorsOfARecordWins()
{
    TestEnv env;
    QVERIFY(env.createDatabase(kDb));
    TestDb db;
    QVERIFY(LoadListData(db, kDb));
    const QString folder = env.appDir();
    QVERIFY(QDir().mkpath(sharePath(folder + QStringLiteral("/share"))));
    const QList<QProcess*> clients = startClients(this, "--editor", folder);
    for (int client = 0; client < kClients; ++client)
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder + QStringLiteral("/ready%1").arg(client)), 30000);
    QVERIFY(WriteFileBytes(folder + QStringLiteral("/go"), "go"));
    QList<int> codes;
    for (QProcess* p : clients) {
        QVERIFY(p->waitForFinished(60000));
        codes << p->exitCode();
    }
    QCOMPARE(codes.count(0), 1);
    QCOMPARE(codes.count(3), kClients - 1);
    const int winner = int(codes.indexOf(0));
    QCOMPARE(db.rows(QStringLiteral("SELECT solution, status FROM %1.aslist WHERE seq = 1").arg(kDb)),
             QStringList{QStringLiteral("client %1|status %1").arg(winner)});
}

int main(int argc, char* argv[])
{
    if (argc == 4 && QByteArray(argv[1]) == "--client") {
        QCoreApplication app(argc, argv);
        return runClient(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    }
    if (argc == 4 && QByteArray(argv[1]) == "--editor") {
        QCoreApplication app(argc, argv);
        return runEditor(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    }
    QCoreApplication app(argc, argv);
    ConcurrentSaveTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_concurrentsave.moc"
