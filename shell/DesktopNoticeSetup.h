#pragma once

class FrmMain;

// Names the logged-in user on the program's connections (for the change journal) and,
// when the site does not turn it off ([Notify] Interval=0) and a session bus runs,
// looks at the journal at that interval and shows a desktop notice for each burst of
// changes the user is to learn of; clicking one brings `main` up with the record.
void StartDesktopNotices(FrmMain* main);
