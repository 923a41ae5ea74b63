#pragma once

#include "grid/CellStyle.h"
#include "grid/NumberCell.h"
#include "grid/RowText.h"

#include <QAbstractTableModel>
#include <QFont>
#include <map>
#include <memory>
#include <vector>

// The cells of one grid: rows and columns count from 1; row 0 holds the column
// headers and column 0 the row headers. Text is kept per row in one string, and
// properties only where they were set, so a sheet of 65,536 rows stays light.
// Row-header texts and tags, row properties and hidden flags travel with their row
// when rows are sorted, inserted or deleted.
class SpreadModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit SpreadModel(QObject* parent = nullptr);
    ~SpreadModel() override;

    int maxRows() const { return int(m_rows.size()); }
    int maxCols() const { return int(m_cols.size()) - 1; }
    void setMaxRows(int rows);
    void setMaxCols(int cols);

    // Text as stored; false outside the sheet (row 0 / column 0 are the headers).
    bool setText(int col, int row, const QString& text);
    QString rawText(int col, int row) const;
    // The cell's value text: a number cell gives its rounded value without
    // separators ("" when its text is no number in range), other cells their text.
    QString valueText(int col, int row) const;
    // The text as shown: number cells formatted.
    QString displayText(int col, int row) const;

    QString tag(int col, int row) const;
    void setTag(int col, int row, const QString& tag);

    // The number of the last row that holds text in any column; 0 when none.
    int dataRowCount() const;
    // Removes `count` rows from `row` on; as many empty rows come in at the end.
    void deleteRows(int row, int count);
    // Inserts `count` empty rows before `row`; the last rows fall off the end.
    void insertRowsBefore(int row, int count);
    // Sorts the data rows (1..dataRowCount) by one column, number cells by value;
    // empty cells stay below the others in both orders. The sort is stable.
    void sortRows(int col, Qt::SortOrder order);

    bool rowHidden(int row) const;
    void setRowHidden(int row, bool hidden);
    bool anyRowHidden() const { return m_hiddenRows > 0; }

    // Cell properties; col or row -1 means every column or row. Setting a wider
    // scope clears the same property in the narrower scopes inside it.
    template <class T> void setStyle(int col, int row, std::optional<T> CellStyle::*field, const T& value);
    template <class T> std::optional<T> style(int col, int row, std::optional<T> CellStyle::*field) const;

    int cellType(int col, int row) const;
    NumberFormat numberFormat(int col, int row) const;
    bool locked(int col, int row) const;

    void setOddEvenColors(OleColor backOdd, OleColor foreOdd, OleColor backEven, OleColor foreEven);
    void setHeaderBackColor(OleColor color);
    void setHeaderForeColor(OleColor color);
    void setBaseFont(const QFont& font);
    double baseFontSize() const { return m_baseFont.pointSizeF(); }
    double headerFontSize() const;
    void setHeaderFontSize(double size);

    // While batched (the grid's ReDraw off) cell changes are not announced one by
    // one; ending the batch announces the whole sheet once.
    void setBatch(bool batch);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct RowExtra
    {
        QString headerText;
        QString headerTag;
        CellStyle style;
        std::map<int, CellStyle> cells;
        std::map<int, QString> tags;
        bool hidden = false;
    };
    struct SheetRow
    {
        RowText cells; // column c at c - 1
        std::unique_ptr<RowExtra> extra;
    };
    struct Column
    {
        QString header;
        QString tag;
        CellStyle style;
    };

    bool inSheet(int col, int row) const
    {
        return col >= 1 && row >= 1 && col <= maxCols() && row <= maxRows();
    }
    RowExtra& extra(int row);
    const RowExtra* extraOf(int row) const { return m_rows[size_t(row - 1)].extra.get(); }
    void changed(int col, int row);
    QVariant background(int col, int row) const;
    QVariant foreground(int col, int row) const;

    std::vector<SheetRow> m_rows;
    std::vector<Column> m_cols{1}; // index 0: the row-header column
    CellStyle m_sheet;
    QString m_corner;
    int m_hiddenRows = 0;
    bool m_batch = false;
    bool m_oddEven = false;
    OleColor m_oddBack = 0, m_oddFore = 0, m_evenBack = 0, m_evenFore = 0;
    std::optional<OleColor> m_headerBack, m_headerFore;
    QFont m_baseFont;
    std::optional<double> m_headerFontSize;
};
