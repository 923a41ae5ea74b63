#include "shell/DesktopNoticeSetup.h"

#include "common/Globals.h"
#include "common/SiteConfig.h"
#include "db/DbStartup.h"
#include "journal/DesktopNotices.h"
#include "journal/JournalPoll.h"
#include "records/FrmMain.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <memory>

namespace {

// Where no notification service runs (Windows, macOS), the system tray shows the
// notices; clicking one brings up the record of the last.
bool showInTray(FrmMain* main, JournalPoll* poll)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return false;
    auto* tray = new QSystemTrayIcon(QApplication::windowIcon(), main);
    tray->setToolTip(QString::fromUtf8(kAppTitle));
    tray->show();
    auto last = std::make_shared<long>(0);
    QObject::connect(poll, &JournalPoll::noticesArrived, tray, [tray, last](const QList<Notice>& list) {
        for (const Notice& n : list) {
            *last = n.seq;
            tray->showMessage(NoticeSummary(n), NoticeBody(n));
        }
    });
    QObject::connect(tray, &QSystemTrayIcon::messageClicked, main, [main, last] {
        if (*last > 0)
            main->ShowRecord(*last);
    });
    return true;
}

} // namespace

void StartDesktopNotices(FrmMain* main)
{
    for (const auto& db : gDB)
        if (db)
            db->setSessionUser(gUserId);
    const int seconds = Site().notifySeconds;
    if (seconds <= 0 || !gDB[0])
        return;
    auto* poll = new JournalPoll(gUserId, main);
    auto* notices = new DesktopNotices(main);
    if (notices->available()) {
        QObject::connect(poll, &JournalPoll::noticesArrived, notices, [notices](const QList<Notice>& list) {
            for (const Notice& n : list)
                notices->show(n);
        });
        QObject::connect(notices, &DesktopNotices::activated, main, &FrmMain::ShowRecord);
    } else if (!showInTray(main, poll)) {
        delete poll;
        return;
    }
    poll->start(*gDB[0], seconds);
}
