#pragma once

#include <QString>
#include <functional>

// The self-update at start (module modAutoUpdateV1_Launcher). The updater AutoUpdateV1
// and the file replacement program filechanger live beside the client and are fetched
// from the update server ([Update] Server of site.ini) when the server has newer ones.

// Brings the updater up to date (unless `skip`), runs it and waits for it. When it has
// left "New_" + the program's file name beside the program, starts filechanger to swap
// the files and ends the process. With no update server configured nothing is done;
// from a program folder this user cannot write only a note goes into the SQL log.
void RunAutoUpdate(bool& skip);

// Downloads the updater and filechanger when the server's revision of the updater is
// newer than the local one. False when the revision could not be read (after saying so)
// or a download failed; true when the updater is current or was updated.
bool AutoUpdaterSelfUpdate();

// The companion programs' file names on this platform ("AutoUpdateV1.exe" on Windows).
QString UpdaterFileName();
QString ChangerFileName();

// How the launcher ends the process and shows the folder when filechanger is missing.
// Tests observe them; an empty member keeps the real one (ExitApp, the file manager).
struct AutoUpdateHooks
{
    std::function<void()> endProcess;
    std::function<void(const QString& folder)> openFolder;
};
void SetAutoUpdateHooksForTesting(AutoUpdateHooks hooks);
