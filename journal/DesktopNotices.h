#pragma once

#include "journal/NoticeRules.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>

// Desktop notices through the freedesktop notification service on the session bus.
// Without a session bus nothing is shown (one line on the error output says so).
class DesktopNotices : public QObject
{
    Q_OBJECT

public:
    explicit DesktopNotices(QObject* parent = nullptr);
    DesktopNotices(const QDBusConnection& bus, QObject* parent = nullptr);

    bool available() const { return m_bus.isConnected(); }

    // Shows the notice without waiting for the notification service.
    void show(const Notice& notice);

signals:
    // The user clicked the notice of record `seq`.
    void activated(long seq);

private slots:
    void onActionInvoked(uint id, const QString& action);

private:
    QDBusConnection m_bus;
    QHash<uint, long> m_shown; // notification id -> record
};
