#include "platform/MacAddress.h"
#include "platform/OsVersion.h"

#include <QtTest>

Q_DECLARE_METATYPE(QList<NetAdapter>)
Q_DECLARE_METATYPE(OsVersionRecord)

namespace {

OsVersionRecord version(uint32_t platform, uint32_t build, uint32_t minor = 0, uint8_t product = 1,
                        uint16_t suite = 0)
{
    OsVersionRecord v;
    v.platformId = platform;
    v.build = build;
    v.minor = minor;
    v.productType = product;
    v.suiteMask = suite;
    return v;
}

NetAdapter adapter(int index, const QString& name, const QString& address, bool up = true, bool hasIp = true,
                   bool loopback = false)
{
    NetAdapter a;
    a.index = index;
    a.name = name;
    a.address = address;
    a.up = up;
    a.hasIp = hasIp;
    a.loopback = loopback;
    return a;
}

} // namespace

class EnvironmentTest : public QObject
{
    Q_OBJECT

private slots:
    void osTypeCode_data();
    void osTypeCode();
    void osProbesOnThisSystem();
    void emulated64_data();
    void emulated64();
    void macAddressPick_data();
    void macAddressPick();
    void kernelAdaptersInIndexOrder();
    void myMacAddressUsesSuppliedAdapters();
};

void EnvironmentTest::osTypeCode_data()
{
    QTest::addColumn<OsVersionRecord>("record");
    QTest::addColumn<int>("code");
    QTest::newRow("win32s") << version(0, 1234) << 1;
    QTest::newRow("me 3000") << version(1, 3000) << 30;
    QTest::newRow("98 2999") << version(1, 2999) << 20;
    QTest::newRow("98 1998") << version(1, 1998) << 20;
    QTest::newRow("95 osr2 1997") << version(1, 1997) << 15;
    QTest::newRow("95 osr2 1111") << version(1, 1111) << 15;
    QTest::newRow("95 1110") << version(1, 1110) << 10;
    QTest::newRow("95 0") << version(1, 0) << 10;
    QTest::newRow("vista workstation 6000") << version(2, 6000, 0, 1) << 80;
    QTest::newRow("server 2008") << version(2, 6001, 0, 3) << 100;
    QTest::newRow("7 workstation") << version(2, 7601, 1, 1) << 90;
    QTest::newRow("server 2008 r2") << version(2, 7600, 1, 2) << 105;
    QTest::newRow("8 workstation") << version(2, 9200, 2, 1) << 110;
    QTest::newRow("8 server") << version(2, 9200, 2, 3) << 110;
    QTest::newRow("later minor") << version(2, 9600, 3, 1) << 999;
    QTest::newRow("server 2003 5999") << version(2, 5999) << 70;
    QTest::newRow("server 2003 3500") << version(2, 3500) << 70;
    QTest::newRow("xp home 2500") << version(2, 2500, 1, 1, 0x200) << 62;
    QTest::newRow("xp home 3499 other bits") << version(2, 3499, 1, 1, 0x300) << 62;
    QTest::newRow("xp pro 2500") << version(2, 2500, 1, 1, 0x100) << 64;
    QTest::newRow("xp pro 3499") << version(2, 3499) << 64;
    QTest::newRow("2000 2499") << version(2, 2499) << 50;
    QTest::newRow("2000 2000") << version(2, 2000) << 50;
    QTest::newRow("nt4 1999") << version(2, 1999) << 40;
    QTest::newRow("nt4 1381") << version(2, 1381) << 40;
    QTest::newRow("platform 3") << version(3, 6000) << -1;
    QTest::newRow("platform 99") << version(99, 0) << -1;
}

void EnvironmentTest::osTypeCode()
{
    QFETCH(OsVersionRecord, record);
    QFETCH(int, code);
    QCOMPARE(int(ClassifyOsType(record)), code);
}

void EnvironmentTest::osProbesOnThisSystem()
{
    // Linux has no Windows version record; this build is native 64-bit.
    QCOMPARE(int(GetOSTypeCode()), 0);
    QCOMPARE(IsHost64Bit(), sizeof(void*) == 4);
}

void EnvironmentTest::emulated64_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<QString>("machine");
    QTest::addColumn<bool>("expected");
    QTest::newRow("32 on x86_64") << 32 << "x86_64" << true;
    QTest::newRow("32 on aarch64") << 32 << "aarch64" << true;
    QTest::newRow("32 on i686") << 32 << "i686" << false;
    QTest::newRow("32 on armv7l") << 32 << "armv7l" << false;
    QTest::newRow("64 on x86_64") << 64 << "x86_64" << false;
}

void EnvironmentTest::emulated64()
{
    QFETCH(int, bits);
    QFETCH(QString, machine);
    QFETCH(bool, expected);
    QCOMPARE(IsEmulated64(bits, machine), expected);
}

void EnvironmentTest::macAddressPick_data()
{
    QTest::addColumn<QList<NetAdapter>>("adapters");
    QTest::addColumn<QString>("expected");
    const NetAdapter lo = adapter(1, "lo", {}, true, true, true);
    const NetAdapter eth0 = adapter(2, "eth0", "02:fc:00:00:00:01");
    const NetAdapter eth1 = adapter(3, "eth1", "52:54:00:AB:CD:EF");
    QTest::newRow("first of two") << QList<NetAdapter>{lo, eth0, eth1} << "02fc00000001";
    QTest::newRow("second when first is down")
        << QList<NetAdapter>{lo, adapter(2, "eth0", "02:fc:00:00:00:01", false), eth1} << "525400ABCDEF";
    QTest::newRow("second when first has no ip")
        << QList<NetAdapter>{adapter(2, "eth0", "02:fc:00:00:00:01", true, false), eth1} << "525400ABCDEF";
    QTest::newRow("tunnel without address skipped")
        << QList<NetAdapter>{adapter(2, "tun0", {}), eth1} << "525400ABCDEF";
    QTest::newRow("loopback with an address skipped")
        << QList<NetAdapter>{adapter(1, "lo", "00:00:00:00:00:01", true, true, true), eth0} << "02fc00000001";
    QTest::newRow("dashes removed, case kept")
        << QList<NetAdapter>{adapter(7, "x", "00-1A-2b-3C-4d-5E")} << "001A2b3C4d5E";
    QTest::newRow("only loopback") << QList<NetAdapter>{lo} << "";
    QTest::newRow("none") << QList<NetAdapter>{} << "";
}

void EnvironmentTest::macAddressPick()
{
    QFETCH(QList<NetAdapter>, adapters);
    QFETCH(QString, expected);
    QCOMPARE(PickMacAddress(adapters), expected);
}

void EnvironmentTest::kernelAdaptersInIndexOrder()
{
    AppError error;
    const QList<NetAdapter> adapters = ListNetAdapters(&error);
    QVERIFY(!error.isSet());
    QVERIFY(!adapters.isEmpty());
    for (qsizetype i = 1; i < adapters.size(); ++i)
        QVERIFY(adapters[i - 1].index < adapters[i].index);
    const auto lo =
        std::find_if(adapters.begin(), adapters.end(), [](const NetAdapter& a) { return a.loopback; });
    QVERIFY(lo != adapters.end());
    QVERIFY(lo->up && lo->hasIp);
    for (const NetAdapter& a : adapters) {
        if (!a.address.isEmpty())
            QVERIFY2(QRegularExpression("^[0-9a-f]{2}(:[0-9a-f]{2})+$").match(a.address).hasMatch(),
                     qPrintable(a.address));
    }
    QCOMPARE(GetMyMacAddress(), PickMacAddress(adapters));
}

void EnvironmentTest::myMacAddressUsesSuppliedAdapters()
{
    SetNetAdaptersForTesting(QList<NetAdapter>{adapter(4, "eth0", "aa:bb:cc:dd:ee:ff")});
    QCOMPARE(GetMyMacAddress(), QStringLiteral("aabbccddeeff"));
    SetNetAdaptersForTesting(QList<NetAdapter>{});
    QCOMPARE(GetMyMacAddress(), QString());
    SetNetAdaptersForTesting(std::nullopt);
    QCOMPARE(GetMyMacAddress(), PickMacAddress(ListNetAdapters()));
}

QTEST_GUILESS_MAIN(EnvironmentTest)
#include "tst_environment.moc"
