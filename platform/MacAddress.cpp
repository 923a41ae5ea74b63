#include "platform/MacAddress.h"

#include "common/Reporter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <sys/socket.h>

namespace {

std::optional<QList<NetAdapter>>& testAdapters()
{
    static std::optional<QList<NetAdapter>> adapters;
    return adapters;
}

NetAdapter& adapterNamed(QList<NetAdapter>& list, const char* name)
{
    const QString n = QString::fromLocal8Bit(name);
    for (NetAdapter& a : list) {
        if (a.name == n)
            return a;
    }
    NetAdapter a;
    a.name = n;
    a.index = int(if_nametoindex(name));
    list.append(a);
    return list.last();
}

// "aa:bb:..", as the kernel writes hardware addresses; empty for none or all zeros.
QString hardwareText(const sockaddr_ll* ll)
{
    const int len = std::min<int>(ll->sll_halen, int(sizeof(ll->sll_addr)));
    if (std::all_of(ll->sll_addr, ll->sll_addr + len, [](unsigned char b) { return b == 0; }))
        return {};
    QStringList parts;
    for (int i = 0; i < len; ++i)
        parts << QStringLiteral("%1").arg(ll->sll_addr[i], 2, 16, QLatin1Char('0'));
    return parts.join(QLatin1Char(':'));
}

} // namespace

QList<NetAdapter> ListNetAdapters(AppError* error)
{
    QList<NetAdapter> list;
    ifaddrs* head = nullptr;
    if (getifaddrs(&head) != 0) {
        if (error) {
            error->number = errno;
            error->description = QString::fromLocal8Bit(std::strerror(errno));
        }
        return list;
    }
    for (const ifaddrs* it = head; it; it = it->ifa_next) {
        if (!it->ifa_name)
            continue;
        NetAdapter& a = adapterNamed(list, it->ifa_name);
        a.up = (it->ifa_flags & IFF_UP) != 0;
        a.loopback = (it->ifa_flags & IFF_LOOPBACK) != 0;
        if (!it->ifa_addr)
            continue;
        const int family = it->ifa_addr->sa_family;
        if (family == AF_PACKET)
            a.address = hardwareText(reinterpret_cast<const sockaddr_ll*>(it->ifa_addr));
        else if (family == AF_INET || family == AF_INET6)
            a.hasIp = true;
    }
    freeifaddrs(head);
    std::stable_sort(list.begin(), list.end(),
                     [](const NetAdapter& a, const NetAdapter& b) { return a.index < b.index; });
    return list;
}

QString PickMacAddress(const QList<NetAdapter>& adapters)
{
    for (const NetAdapter& a : adapters) {
        if (!a.up || a.loopback || !a.hasIp || a.address.isEmpty())
            continue;
        QString mac = a.address;
        mac.remove(QLatin1Char('-'));
        mac.remove(QLatin1Char(':'));
        return mac;
    }
    return {};
}

QString GetMyMacAddress()
{
    if (testAdapters())
        return PickMacAddress(*testAdapters());
    AppError error;
    const QList<NetAdapter> adapters = ListNetAdapters(&error);
    if (error.isSet()) {
        ReportProcError(error, QStringLiteral("GetMyMacAddress"), ErrScope::Module,
                        QStringLiteral("modTavenDBConsts"));
        return {};
    }
    return PickMacAddress(adapters);
}

void SetNetAdaptersForTesting(std::optional<QList<NetAdapter>> adapters)
{
    testAdapters() = std::move(adapters);
}
