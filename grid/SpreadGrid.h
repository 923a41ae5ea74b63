#pragma once

#include "grid/CellStyle.h"

#include <QTableView>

class SpreadModel;

// The list grid of every window.
//
// Addressing: rows and columns count from 1; row 0 is the column-header row and
// column 0 the row-header column (cell (0, 0) is the corner). Where a property is
// set for cells, col -1 means every column and row -1 every row; (-1, -1) is the
// whole sheet, (c, -1) one column, (-1, r) one row. A narrower setting wins over a
// wider one made before it; a wider one clears the narrower ones inside it.
//
// Units: ColWidth in average character widths of the grid's font, RowHeight and
// FontSize in points. Colours are 24-bit values, red in the low byte (Rgb()).
//
// Texts are kept as set. A number cell (CellTypeNumber) shows its value rounded to
// its decimals, with thousands separators when asked, negatives in red when asked;
// a text that is no number, or a number outside its limits, shows and reads as "".
//
// Events: Click and DblClick (row 0 for a header click), LeaveCell when the active
// cell moves, RightClick (click type 1 when the right button goes down, 2 when it
// comes up; col and row -1 outside the cells), ColWidthChange once the user has
// finished changing column widths, KeyDown for every key pressed in the grid.
//
// Sheets of other sources (the workbook import) are filled through SetMaxCols,
// SetMaxRows, SetText and SetCellType like any other.
class SpreadGrid : public QTableView
{
    Q_OBJECT

public:
    explicit SpreadGrid(QWidget* parent = nullptr);
    ~SpreadGrid() override;

    // --- Size and content
    int MaxRows() const;
    void SetMaxRows(int rows);
    int MaxCols() const;
    void SetMaxCols(int cols);
    // Sets a cell's text; row 0 gives a column header, column 0 a row header, (0, 0)
    // the corner. Cells outside the sheet are ignored.
    void SetText(int col, int row, const QString& text);
    // The cell's value text (number cells: rounded, no separators). Returns false,
    // with value "", when the cell is empty or outside the sheet.
    bool GetText(int col, int row, QString& value) const;
    // The text as the grid shows it.
    QString DisplayText(int col, int row) const;
    // The number of the last row that holds data; 0 when none.
    int DataRowCnt() const;
    // Deletes rows; the rows below move up and MaxRows stays as it was.
    void DeleteRows(int row, int count);
    // Inserts empty rows before `row`; MaxRows stays, so the last rows fall off
    // (grow MaxRows first).
    void InsertRows(int row, int count);
    // Sorts the data rows by a column, as a click on its header does.
    void SortByColumn(int col, Qt::SortOrder order);

    // --- Active cell (0 when there is none)
    int ActiveCol() const;
    int ActiveRow() const;
    void SetActiveCell(int col, int row);

    // --- Cell properties (col / row -1: all)
    void SetLock(int col, int row, bool locked);
    bool Lock(int col, int row) const;
    void SetCellType(int col, int row, int type);
    int CellType(int col, int row) const;
    void SetTypeNumberDecPlaces(int col, int row, int decPlaces);
    void SetTypeNumberShowSep(int col, int row, bool show);
    void SetTypeNumberMax(int col, int row, double max);
    void SetTypeNumberMin(int col, int row, double min);
    void SetTypeHAlign(int col, int row, int align); // SpreadHAlign
    void SetTypeVAlign(int col, int row, int align); // SpreadVAlign
    void SetTypeNegRed(int col, int row, bool red);
    void SetBackColor(int col, int row, OleColor color);
    // The colour set for the cell, row, column or sheet; kSysWindowBackground when none.
    OleColor BackColor(int col, int row) const;
    // Row 0: the header row; otherwise data cells.
    void SetFontSize(int col, int row, double points);
    double FontSize(int col, int row) const;
    // Tag text of a cell; the row-header cell (0, r) tags whole rows ("subtot").
    void SetCellTag(int col, int row, const QString& tag);
    QString CellTag(int col, int row) const;

    // --- Columns and rows
    double ColWidth(int col) const;          // col 0: the row-header column
    void SetColWidth(int col, double width); // col -1: every column
    double RowHeight(int row) const;         // row -1: the common height, 0: the header row
    void SetRowHeight(int row, double points);
    bool ColHidden(int col) const;
    void SetColHidden(int col, bool hidden);
    bool RowHidden(int row) const;
    void SetRowHidden(int row, bool hidden);
    bool RowHeadersShow() const;
    void SetRowHeadersShow(bool show);

    // --- Behaviour and look
    // 0 normal, 1 read only, 2 row mode, 3 single selection, 4 multiple selection,
    // 5 extended selection; 3 to 5 select whole rows.
    int OperationMode() const { return m_operationMode; }
    void SetOperationMode(int mode);
    bool EditModePermanent() const { return m_editModePermanent; }
    void SetEditModePermanent(bool on);
    bool EditModeReplace() const { return m_editModeReplace; }
    void SetEditModeReplace(bool on) { m_editModeReplace = on; }
    // 1: a click on a column header sorts by that column (again: the other way).
    int UserColAction() const { return m_userColAction; }
    void SetUserColAction(int action) { m_userColAction = action; }
    void SetShadowColor(OleColor color); // header background
    void SetShadowText(OleColor color);  // header text
    OleColor SelBackColor() const { return m_selBackColor; }
    void SetSelBackColor(OleColor color);
    // 0: no tips; otherwise a cell whose text does not fit shows it whole as a tip.
    int TextTip() const { return m_textTip; }
    void SetTextTip(int mode) { m_textTip = mode; }
    void SetOddEvenRowColor(OleColor backOdd, OleColor foreOdd, OleColor backEven, OleColor foreEven);

    // Settings of the grid control kept for their callers; this grid's look and
    // keys are fixed and need no choice among them.
    struct Passive
    {
        int appearanceStyle = 1;
        int cursorType = 0;
        int cursorStyle = 0;
        int selectBlockOptions = 15;
        int backColorStyle = 0;
        int refStyle = 0;
        bool noBeep = false;
        bool dAutoCellTypes = false;
        int actionKeys[3] = {-1, -1, -1}; // key of actions 0 to 2, -1: built in
    };
    const Passive& PassiveSettings() const { return m_passive; }
    void SetAppearanceStyle(int style) { m_passive.appearanceStyle = style; }
    void SetCursorType(int type) { m_passive.cursorType = type; }
    void SetCursorStyle(int style) { m_passive.cursorStyle = style; }
    void SetSelectBlockOptions(int options) { m_passive.selectBlockOptions = options; }
    void SetBackColorStyle(int style) { m_passive.backColorStyle = style; }
    void SetRefStyle(int style) { m_passive.refStyle = style; }
    void SetNoBeep(bool on) { m_passive.noBeep = on; }
    void SetDAutoCellTypes(bool on) { m_passive.dAutoCellTypes = on; }
    void SetActionKey(int action, bool shift, bool ctrl, int key);

    // --- Drawing
    bool ReDraw() const { return m_redraw; }
    // Off: changes are collected and the grid is not repainted; on: shown at once.
    void SetReDraw(bool on);
    void Refresh();

    // The tip the grid shows at a point of its cells area; "" when none.
    QString TextTipAt(const QPoint& pos) const;

    // Index within a control array of grids; -1 for a grid that is not in one.
    int Index() const { return m_index; }
    void SetIndex(int index) { m_index = index; }

signals:
    void Click(int col, int row);
    void DblClick(int col, int row);
    void LeaveCell(int col, int row, int newCol, int newRow);
    void RightClick(int clickType, int col, int row, int mouseX, int mouseY);
    void ColWidthChange(int col1, int col2);
    void KeyDown(int key, Qt::KeyboardModifiers modifiers);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    double charWidth() const;
    int pointsToPixels(double points) const;
    double pixelsToPoints(int pixels) const;
    void applyColumnWidths();
    void applyEditTriggers();
    void syncHiddenRows();
    void onSectionResized(int logical, int oldSize, int newSize);
    void onHeaderClicked(int logical);
    void paintCorner(QWidget* corner);

    SpreadModel* m_model;
    std::vector<double> m_colWidth; // by column, -1 for the default width
    double m_rowHeaderWidth = -1;
    double m_rowHeight = -1;    // points; -1: the designed height
    double m_headerHeight = -1; // points; -1: the designed height
    QWidget* m_corner = nullptr;
    bool m_programmaticResize = false;
    int m_pendingCol1 = 0, m_pendingCol2 = 0;
    int m_sortCol = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    int m_operationMode = 0;
    bool m_editModePermanent = false;
    bool m_editModeReplace = false;
    int m_userColAction = 0;
    OleColor m_selBackColor = 0x8000000D;
    int m_textTip = 0;
    bool m_redraw = true;
    int m_index = -1;
    Passive m_passive;
};
