#pragma once

#include <QStringList>

class QMenu;
class QWidget;

// A small pop-up menu built from coded strings, in order:
//   "-"        a separator line;
//   "X"        not shown: the next item is greyed and cannot be chosen;
//   "NNtext"   an item with command number NN (00 to 99) and caption text; a
//              caption beginning with "[v]" is shown ticked, without the "[v]".

// Adds the items to a menu; each item's data is its command number.
void FillPopupMenu(QMenu* menu, const QStringList& items);

// Shows the menu at the mouse position, its top-left corner there, and returns the
// chosen command number; 0 when the menu is dismissed.
int ShowPopupMenu(QWidget* form, const QStringList& items);
