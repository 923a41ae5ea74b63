#pragma once

#include <QLocale>

// The program is Korean whatever the environment's locale (often C.UTF-8): Qt's own texts
// (standard buttons, file dialogs) come from Qt's Korean translation, and its calendars,
// date pickers, dates and numbers use the Korean locale. Called once, right after the
// application object is made; the translations stay installed for the whole run.
void UseKoreanLocale();

// The locale of the program's widgets.
QLocale KoreanLocale();
