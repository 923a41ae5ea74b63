#pragma once

#include <QString>

class QWidget;
class SpreadGrid;

// Window settings files: FormIni/<form name><suffix>.ini in the data folder, in
// the Windows profile format. [FormPosition] holds Left, Top, Width, Height (twips)
// and WindowState (0 normal, 1 minimised, 2 maximised); a grid's sections are
// named by its key (its name, "_" and its index for a grid in a control array):
// <key>_ColsWidth (column number = width) and <key>_General (FontSize, RowHeight).
// Values are read nine characters at most.

QString FormIniPath(const QString& name); // name: form name + suffix
QString SpreadIniKey(const SpreadGrid* grid, int index);

// Applies the file to an opening window: position (Left/Top only when above 0),
// with !bPosOnly also size and a maximised state, and every grid's settings.
void LoadFormIni(QWidget* form, bool bPosOnly, const QString& sSuffix);
// Stores the window's state, and its position and size unless it is maximised;
// nothing for a hidden or minimised window.
void SaveFormIni(QWidget* form, const QString& sSuffix);
// Stores one column's present width (only while the grid is shown).
void SaveSpreadColWidth(QWidget* form, const SpreadGrid* grid, int col, const QString& sSuffix, int index);
// Stores one value in the grid's general section.
void SaveSpreadIni_Gn(QWidget* form, const SpreadGrid* grid, const QString& key, const QString& value,
                      const QString& sSuffix);
// Deletes the file sName + ".ini".
void DelFormIni(const QString& sName);
// Applies a file's column widths, font size and row height to one grid.
void LoadSpreadIni(SpreadGrid* grid, const QString& path, int index);
