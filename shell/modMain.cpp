#include "shell/modMain.h"

#include "common/AppPaths.h"
#include "common/Cp949.h"
#include "common/Globals.h"
#include "common/MsgBox.h"
#include "common/SiteConfig.h"
#include "db/BuiltinAccount.h"
#include "db/DbStartup.h"
#include "db/Query.h"
#include "editor/FrmAS.h"
#include "platform/OsVersion.h"
#include "platform/SingleInstance.h"
#include "records/FrmMain.h"
#include "shell/DesktopNoticeSetup.h"
#include "shell/AutoUpdate.h"
#include "shell/frmLogin.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

namespace {

// Held for the life of the process.
SingleInstance* instanceLock()
{
    static SingleInstance lock(AppDir());
    return &lock;
}

// A read-only program folder keeps its data in the per-user folder instead; only when
// that cannot be written either is nothing kept.
void warnIfNothingCanBeWritten()
{
    if (QFileInfo(DataDir()).isWritable())
        return;
    MsgWarn(QStringLiteral("프로그램 폴더와 사용자 데이터 폴더에 쓸 수 없습니다. 로그와 설정 파일이 저장되지 "
                           "않습니다.\r\n") +
            QDir::toNativeSeparators(AppDir()) + QStringLiteral("\r\n") +
            QDir::toNativeSeparators(DataDir()));
}

} // namespace

void Main()
{
    // What the layers without windows report is shown in the program's message boxes.
    InstallMsgReporter();
    // Without the converter every Korean value would read as empty, and an edit would
    // write the emptiness back.
    if (!cp949::available()) {
        MsgBox(QStringLiteral("한글 문자 변환(CP949)을 사용할 수 없어 프로그램을 시작할 수 없습니다.\r\n"
                              "시스템의 문자 변환 모듈(gconv)을 설치한 후 다시 실행해 주세요."),
               MsgButtons::Ok, MsgIcon::Critical, QString::fromUtf8(kAppTitle));
        std::exit(1);
    }
    if (!instanceLock()->acquire()) {
        MsgInfo(QStringLiteral("이미 프로그램이 실행중입니다."));
        std::exit(0);
    }
    bool skip = false;
    RunAutoUpdate(skip);
    gAppTitle = QString::fromUtf8(kAppTitle);
    warnIfNothingCanBeWritten();
    InitDBConsts();

    bool loggedIn = false;
    {
        frmLogin login;
        login.exec();
        loggedIn = login.LoginSucceeded;
    }
    if (!loggedIn)
        ExitApp();

    // The main window lives until the program ends (ExitApp when it closes).
    auto* mainWindow = new FrmMain;
    QObject::connect(mainWindow, &FrmMain::Unloaded, [] { ExitApp(); });
    QObject::connect(mainWindow, &FrmMain::EditorRequested, mainWindow,
                     [mainWindow](bool newRecord) { OpenRecordEditor(mainWindow, newRecord); });
    StartDesktopNotices(mainWindow);
    mainWindow->Form_Load();
}

void InitDBConsts()
{
    gOSType = GetOSTypeCode();
    gIs64Bit = IsHost64Bit();
    const SiteConfig& site = Site();
    DBInit(site.dbHost, QString::fromLatin1(kDbUser), QString::fromLatin1(kDbPassword),
           QString::fromLatin1(kDbName), site.secondHost, 0, QStringLiteral("euckr"));
    gUseGridColors = true;
}

bool CheckLogin(const RecordSet* rs)
{
    if (!rs || rs->Eof()) {
        ShowProcError(
            {3021, {}, QStringLiteral("Either BOF or EOF is True, or the current record has been deleted.")},
            QStringLiteral("CheckLogin"), ErrScope::Module, QStringLiteral("modMain"));
        return false;
    }
    bool ok = false;
    const int group = rs->Field(QStringLiteral("groupcode")).trimmed().toInt(&ok);
    if (!ok || group < INT16_MIN || group > INT16_MAX) {
        ShowProcError({13, {}, QStringLiteral("Type mismatch")}, QStringLiteral("CheckLogin"),
                      ErrScope::Module, QStringLiteral("modMain"));
        return false;
    }
    gUserId = rs->Field(QStringLiteral("id"));
    gUserName = rs->Field(QStringLiteral("name"));
    gGroupCode = int16_t(group);
    return true;
}

void ExitApp(int code)
{
    CloseDB();
    std::fflush(stdout);
    std::exit(code);
}
