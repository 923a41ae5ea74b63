#pragma once

#include "common/AppError.h"

#include <QList>
#include <QString>
#include <optional>

// One network interface as the kernel reports it.
struct NetAdapter
{
    int index = 0;   // the kernel's interface index
    QString name;    // "eth0"
    QString address; // hardware address as reported ("02:fc:00:00:00:01"), empty when none
    bool up = false; // administratively up
    bool loopback = false;
    bool hasIp = false; // holds an IPv4 or IPv6 address
};

// The interfaces of this PC in index order. On failure the list is empty and `error`
// (when given) says why.
QList<NetAdapter> ListNetAdapters(AppError* error = nullptr);

// The address the PC allow-list knows this PC by: that of the first adapter that is up,
// is not the loopback, holds an IP address and has a hardware address, with every "-"
// and ":" removed (twelve hexadecimal digits, letter case as reported). Empty when none.
QString PickMacAddress(const QList<NetAdapter>& adapters);

// PickMacAddress of this PC's adapters. A failure to list them is reported with the
// standard error text and gives empty text.
QString GetMyMacAddress();

// Tests supply the adapter list; std::nullopt returns to the kernel's.
void SetNetAdaptersForTesting(std::optional<QList<NetAdapter>> adapters);
