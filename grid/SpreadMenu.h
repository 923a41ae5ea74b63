#pragma once

#include <QString>
#include <QStringList>

class QWidget;
class SpreadGrid;

// The right-click menu of a list grid and its tuning commands:
//   1 row height, 2 font size (both stored in the window's settings file),
//   3 reset the window's settings file, 4 report columns, 5 export (carried out by the
//   window, which owns the grid's records), 6 hide/show subtotal rows,
//   7 show only subtotals / undo, 8 a separator row every n rows, 9 row-number width.
// Subtotal rows carry the row-header tag "subtot", the grand total "gndtot".

// The menu's coded items (see PopupMenu.h) for a grid.
QStringList SpreadMenuItems(const SpreadGrid* grid, bool bRptCol, bool bSubtotal);

// The export command, offered with the report columns.
inline constexpr int kExportCommand = 5;

// Shows the menu and carries out the chosen command; returns its number, so that the
// window carries out the export. sSuffix: the settings-file suffix of the window.
int ShowSpreadMenu(QWidget* form, SpreadGrid* grid, bool bRptCol, const QString& sSuffix, bool bSubtotal);

// Carries out one command; numbers other than 1 to 4 and 6 to 9 do nothing.
void RunSpreadMenuCommand(QWidget* form, SpreadGrid* grid, int command, const QString& sSuffix);
