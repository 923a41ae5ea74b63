#include "journal/DesktopNotices.h"

#include "common/Globals.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDebug>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kOpenAction = QStringLiteral("default");
} // namespace

DesktopNotices::DesktopNotices(QObject* parent) : DesktopNotices(QDBusConnection::sessionBus(), parent) {}

DesktopNotices::DesktopNotices(const QDBusConnection& bus, QObject* parent) : QObject(parent), m_bus(bus)
{
    if (!m_bus.isConnected()) {
        qWarning().noquote() << "asmanager: no session bus, desktop notices are off:"
                             << m_bus.lastError().message();
        return;
    }
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
}

void DesktopNotices::show(const Notice& notice)
{
    if (!m_bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QString::fromUtf8(kAppTitle) << uint(0) << QStringLiteral("asmanager") << NoticeSummary(notice)
         << NoticeBody(notice).toHtmlEscaped() << QStringList{kOpenAction, QStringLiteral("열기")}
         << QVariantMap{} << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    const long seq = notice.seq;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, seq](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isValid())
            m_shown.insert(reply.value(), seq);
        w->deleteLater();
    });
}

void DesktopNotices::onActionInvoked(uint id, const QString& action)
{
    const auto it = m_shown.constFind(id);
    if (it == m_shown.constEnd() || action != kOpenAction)
        return;
    emit activated(*it);
}
