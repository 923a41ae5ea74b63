#include "TestEnv.h"
#include "common/SiteConfig.h"
#include "records/SharePath.h"
#include "records/ShotFiles.h"
#include "records/ShotGroups.h"

#include <QDir>
#include <QImage>
#include <QtTest>

// The pieces of the detail pane that need no window: where a stored screenshot path
// is found, how its file is loaded and opened, and how the two groups step.
class DetailPartsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void localSharePath_data();
    void localSharePath();
    void loadShot_data();
    void loadShot();
    void zoomOpensTheFileOrItsFolder_data();
    void zoomOpensTheFileOrItsFolder();
    void countersOfAFreshRecord_data();
    void countersOfAFreshRecord();
    void steppingSharesOnePosition();
    void steppingStopsAtTheEnds();

private:
    QString stored(const QString& name) const
    {
        return QStringLiteral("\\\\FileSrv\\사내문서\\7_AS스샷\\") + name;
    }
    TestEnv m_env;
    QString m_mount;
};

void DetailPartsTest::initTestCase()
{
    m_mount = m_env.path(QStringLiteral("mnt"));
    QVERIFY(QDir().mkpath(m_mount + QStringLiteral("/사내문서/7_AS스샷")));
    SiteConfig site = Site();
    site.shareHost = QStringLiteral("filesrv");
    site.mountRoot = m_mount;
    SetSiteForTesting(site);

    QImage picture(320, 200, QImage::Format_RGB32);
    picture.fill(QColor(20, 90, 160));
    QVERIFY(picture.save(m_mount + QStringLiteral("/사내문서/7_AS스샷/12_FrmSale_1.jpg"), "JPEG"));
    QFile broken(m_mount + QStringLiteral("/사내문서/7_AS스샷/13_FrmSale_1.jpg"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
}

void DetailPartsTest::localSharePath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("expected");
    const QString unc = QStringLiteral("\\\\fileSrv\\사내문서\\7_AS스샷\\1_화면_1.jpg");
    QTest::newRow("share host, any case") << unc << QStringLiteral("FILESRV") << QStringLiteral("/mnt/fs")
                                          << QStringLiteral("/mnt/fs/사내문서/7_AS스샷/1_화면_1.jpg");
    QTest::newRow("mount root with a trailing slash")
        << unc << QStringLiteral("filesrv") << QStringLiteral("/mnt/fs/")
        << QStringLiteral("/mnt/fs/사내문서/7_AS스샷/1_화면_1.jpg");
    QTest::newRow("root folder as mount root") << unc << QStringLiteral("filesrv") << QStringLiteral("/")
                                               << QStringLiteral("/사내문서/7_AS스샷/1_화면_1.jpg");
    QTest::newRow("other host") << unc << QStringLiteral("othersrv") << QStringLiteral("/mnt/fs") << unc;
    QTest::newRow("host that only starts alike")
        << unc << QStringLiteral("file") << QStringLiteral("/mnt/fs") << unc;
    QTest::newRow("no share host configured") << unc << QString() << QStringLiteral("/mnt/fs") << unc;
    QTest::newRow("no mount folder configured") << unc << QStringLiteral("filesrv") << QString() << unc;
    QTest::newRow("local path") << QStringLiteral("/home/u/스샷/a.jpg") << QStringLiteral("filesrv")
                                << QStringLiteral("/mnt/fs") << QStringLiteral("/home/u/스샷/a.jpg");
    QTest::newRow("host alone") << QStringLiteral("\\\\filesrv") << QStringLiteral("filesrv")
                                << QStringLiteral("/mnt/fs") << QStringLiteral("\\\\filesrv");
    QTest::newRow("host and backslash") << QStringLiteral("\\\\filesrv\\") << QStringLiteral("filesrv")
                                        << QStringLiteral("/mnt/fs") << QStringLiteral("\\\\filesrv\\");
    QTest::newRow("empty") << QString() << QStringLiteral("filesrv") << QStringLiteral("/mnt/fs")
                           << QString();
    // ".." climbs as on the file server: never above the share.
    QTest::newRow("climbing out of the share")
        << QStringLiteral("\\\\filesrv\\사내문서\\..\\..\\home\\u\\.bashrc") << QStringLiteral("filesrv")
        << QStringLiteral("/mnt/fs") << QStringLiteral("/mnt/fs/사내문서/home/u/.bashrc");
    QTest::newRow("dots and forward slashes")
        << QStringLiteral("\\\\filesrv\\사내문서\\.\\7_AS스샷/x\\..\\a.jpg") << QStringLiteral("filesrv")
        << QStringLiteral("/mnt/fs") << QStringLiteral("/mnt/fs/사내문서/7_AS스샷/a.jpg");
    QTest::newRow("nothing left") << QStringLiteral("\\\\filesrv\\..") << QStringLiteral("filesrv")
                                  << QStringLiteral("/mnt/fs") << QStringLiteral("\\\\filesrv\\..");
}

void DetailPartsTest::localSharePath()
{
    QFETCH(QString, path);
    QFETCH(QString, host);
    QFETCH(QString, root);
    QFETCH(QString, expected);
    QCOMPARE(LocalSharePath(path, host, root), expected);
}

void DetailPartsTest::loadShot_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("width");
    QTest::addColumn<long>("error");
    QTest::addColumn<QString>("description");
    QTest::newRow("picture on the share")
        << stored(QStringLiteral("12_FrmSale_1.jpg")) << 320 << 0L << QString();
    QTest::newRow("missing file") << stored(QStringLiteral("99_FrmSale_1.jpg")) << 0 << 53L
                                  << QStringLiteral("File not found");
    QTest::newRow("file that is no picture")
        << stored(QStringLiteral("13_FrmSale_1.jpg")) << 0 << 481L << QStringLiteral("Invalid picture");
    QTest::newRow("a folder") << QStringLiteral("\\\\filesrv\\사내문서") << 0 << 53L
                              << QStringLiteral("File not found");
}

void DetailPartsTest::loadShot()
{
    QFETCH(QString, path);
    QFETCH(int, width);
    QFETCH(long, error);
    QFETCH(QString, description);
    AppError err;
    const QPixmap picture = LoadShot(path, &err);
    QCOMPARE(picture.width(), width);
    QCOMPARE(err.number, error);
    QCOMPARE(err.description, description);
}

void DetailPartsTest::zoomOpensTheFileOrItsFolder_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("url");
    const QString folder = m_mount + QStringLiteral("/사내문서/7_AS스샷");
    QTest::newRow("jpg") << stored(QStringLiteral("12_FrmSale_1.jpg")) << int(ShotOpen::DefaultProgram)
                         << folder + QStringLiteral("/12_FrmSale_1.jpg");
    QTest::newRow("upper-case GIF") << stored(QStringLiteral("a.GIF")) << int(ShotOpen::DefaultProgram)
                                    << folder + QStringLiteral("/a.GIF");
    QTest::newRow("bmp") << stored(QStringLiteral("a.bmp")) << int(ShotOpen::DefaultProgram)
                         << folder + QStringLiteral("/a.bmp");
    QTest::newRow("png goes to the file manager")
        << stored(QStringLiteral("a.png")) << int(ShotOpen::FileManager) << folder;
    QTest::newRow("jpeg goes to the file manager")
        << stored(QStringLiteral("a.jpeg")) << int(ShotOpen::FileManager) << folder;
    QTest::newRow("a folder opens itself")
        << QStringLiteral("\\\\filesrv\\사내문서\\7_AS스샷") << int(ShotOpen::FileManager) << folder;
    QTest::newRow("empty slot") << QString() << int(ShotOpen::Nothing) << QString();
}

void DetailPartsTest::zoomOpensTheFileOrItsFolder()
{
    QFETCH(QString, path);
    QFETCH(int, kind);
    QFETCH(QString, url);
    QCOMPARE(int(ShotOpenKind(path)), kind);
    QCOMPARE(ShotOpenUrl(path).toLocalFile(), url);
}

void DetailPartsTest::countersOfAFreshRecord_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QString>("counter1");
    QTest::addColumn<QString>("counter2");
    auto ten = [](std::initializer_list<int> filled) {
        QStringList paths(10);
        for (int i : filled)
            paths[i] = QStringLiteral("p%1.jpg").arg(i);
        return paths;
    };
    QTest::newRow("none") << ten({}) << QStringLiteral("0 / 0") << QStringLiteral("0 / 0");
    QTest::newRow("full question, empty answer")
        << ten({0, 1, 2, 3, 4}) << QStringLiteral("1 / 5") << QStringLiteral("0 / 0");
    QTest::newRow("first slot empty, second filled")
        << ten({1, 7}) << QStringLiteral("1 / 1") << QStringLiteral("1 / 1");
    QTest::newRow("gaps count anywhere")
        << ten({0, 4, 5, 6, 9}) << QStringLiteral("1 / 2") << QStringLiteral("1 / 3");
}

void DetailPartsTest::countersOfAFreshRecord()
{
    QFETCH(QStringList, paths);
    QFETCH(QString, counter1);
    QFETCH(QString, counter2);
    std::array<QString, 10> paths10;
    std::copy(paths.begin(), paths.end(), paths10.begin());
    ShotGroups shots;
    shots.load(paths10);
    QCOMPARE(shots.firstCounter(0), counter1);
    QCOMPARE(shots.firstCounter(1), counter2);
    QCOMPARE(shots.index(), int16_t(0));
    QCOMPARE(ShotGroups::clearedCounter(), QStringLiteral("0/0"));
}

void DetailPartsTest::steppingSharesOnePosition()
{
    std::array<QString, 10> paths10;
    for (int i = 0; i < 10; ++i)
        paths10[i] = QStringLiteral("p%1.jpg").arg(i);
    ShotGroups shots;
    shots.load(paths10);
    // Group 1 to its third picture ...
    QCOMPARE(shots.step(1)->counter, QStringLiteral("2 / 5"));
    const auto third = shots.step(1);
    QCOMPARE(third->group, 0);
    QCOMPARE(third->slot, 2);
    QCOMPARE(third->counter, QStringLiteral("3 / 5"));
    QCOMPARE(shots.zoomSlot(0), 2);
    // ... then one press forward in group 2 shows its fourth slot.
    const auto fourth = shots.step(3);
    QCOMPARE(fourth->group, 1);
    QCOMPARE(fourth->slot, 8);
    QCOMPARE(fourth->counter, QStringLiteral("4 / 5"));
    QCOMPARE(shots.zoomSlot(1), 8);
    QCOMPARE(shots.zoomSlot(0), 3);
    // Back in group 1 goes on from there.
    const auto back = shots.step(0);
    QCOMPARE(back->slot, 2);
    QCOMPARE(back->counter, QStringLiteral("3 / 5"));
}

void DetailPartsTest::steppingStopsAtTheEnds()
{
    std::array<QString, 10> paths10;
    paths10[0] = QStringLiteral("a.jpg");
    paths10[1] = QStringLiteral("b.jpg");
    paths10[5] = QStringLiteral("c.jpg");
    ShotGroups shots;
    shots.load(paths10);
    QVERIFY(!shots.step(0)); // at the start
    QVERIFY(!shots.step(2));
    QVERIFY(!shots.step(3)); // group 2 holds one picture
    QCOMPARE(shots.step(1)->slot, 1);
    QVERIFY(!shots.step(1)); // group 1 holds two
    QCOMPARE(shots.index(), int16_t(1));
    // Group 2 back from the position group 1 left shows group 2's first slot.
    const auto back = shots.step(2);
    QCOMPARE(back->slot, 5);
    QCOMPARE(back->counter, QStringLiteral("1 / 1"));
    QVERIFY(!shots.step(4));
    QVERIFY(!shots.step(-1));

    shots.load({});
    QVERIFY(!shots.step(1));
    QVERIFY(!shots.step(3));
}

QTEST_MAIN(DetailPartsTest)
#include "tst_detailparts.moc"
