#include "shell/DesktopNoticeSetup.h"

#include "common/Globals.h"
#include "common/SiteConfig.h"
#include "db/DbStartup.h"
#include "journal/DesktopNotices.h"
#include "journal/JournalPoll.h"
#include "records/FrmMain.h"

void StartDesktopNotices(FrmMain* main)
{
    for (const auto& db : gDB)
        if (db)
            db->setSessionUser(gUserId);
    const int seconds = Site().notifySeconds;
    if (seconds <= 0 || !gDB[0])
        return;
    auto* notices = new DesktopNotices(main);
    if (!notices->available())
        return;
    auto* poll = new JournalPoll(gUserId, main);
    QObject::connect(poll, &JournalPoll::noticesArrived, notices, [notices](const QList<Notice>& list) {
        for (const Notice& n : list)
            notices->show(n);
    });
    QObject::connect(notices, &DesktopNotices::activated, main, &FrmMain::ShowRecord);
    poll->start(*gDB[0], seconds);
}
