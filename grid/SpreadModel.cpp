#include "grid/SpreadModel.h"

#include <QBrush>
#include <algorithm>
#include <numeric>

namespace {

// Default column headers: A, B, ..., Z, AA, AB, ...
QString columnLetters(int col)
{
    QString letters;
    for (int n = col; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

} // namespace

SpreadModel::SpreadModel(QObject* parent) : QAbstractTableModel(parent) {}

SpreadModel::~SpreadModel() = default;

void SpreadModel::setMaxRows(int rows)
{
    rows = std::max(rows, 0);
    const int old = maxRows();
    if (rows > old) {
        beginInsertRows({}, old, rows - 1);
        m_rows.resize(size_t(rows));
        endInsertRows();
    } else if (rows < old) {
        beginRemoveRows({}, rows, old - 1);
        for (int r = rows + 1; r <= old; ++r)
            if (const RowExtra* e = extraOf(r); e && e->hidden)
                --m_hiddenRows;
        m_rows.resize(size_t(rows));
        endRemoveRows();
    }
}

void SpreadModel::setMaxCols(int cols)
{
    cols = std::max(cols, 0);
    const int old = maxCols();
    if (cols > old) {
        beginInsertColumns({}, old, cols - 1);
        m_cols.resize(size_t(cols) + 1);
        endInsertColumns();
    } else if (cols < old) {
        beginRemoveColumns({}, cols, old - 1);
        m_cols.resize(size_t(cols) + 1);
        for (SheetRow& row : m_rows) {
            row.cells.truncate(cols);
            if (row.extra) {
                row.extra->cells.erase(row.extra->cells.upper_bound(cols), row.extra->cells.end());
                row.extra->tags.erase(row.extra->tags.upper_bound(cols), row.extra->tags.end());
            }
        }
        endRemoveColumns();
    }
}

SpreadModel::RowExtra& SpreadModel::extra(int row)
{
    std::unique_ptr<RowExtra>& e = m_rows[size_t(row - 1)].extra;
    if (!e)
        e = std::make_unique<RowExtra>();
    return *e;
}

void SpreadModel::changed(int col, int row)
{
    if (m_batch || maxRows() == 0 || maxCols() == 0)
        return;
    if (row == 0 || col == 0) {
        if (row == 0 && col != 0)
            emit headerDataChanged(Qt::Horizontal, col < 0 ? 0 : col - 1, col < 0 ? maxCols() - 1 : col - 1);
        if (col == 0 && row != 0)
            emit headerDataChanged(Qt::Vertical, row < 0 ? 0 : row - 1, row < 0 ? maxRows() - 1 : row - 1);
        return;
    }
    const int top = row < 0 ? 0 : row - 1;
    const int bottom = row < 0 ? maxRows() - 1 : row - 1;
    const int left = col < 0 ? 0 : col - 1;
    const int right = col < 0 ? maxCols() - 1 : col - 1;
    emit dataChanged(index(top, left), index(bottom, right));
}

bool SpreadModel::setText(int col, int row, const QString& text)
{
    if (col < 0 || row < 0 || col > maxCols() || row > maxRows())
        return false;
    if (row == 0 && col == 0)
        m_corner = text;
    else if (row == 0)
        m_cols[size_t(col)].header = text;
    else if (col == 0)
        extra(row).headerText = text;
    else {
        m_rows[size_t(row - 1)].cells.setCell(col - 1, text);
    }
    changed(col, row);
    return true;
}

QString SpreadModel::rawText(int col, int row) const
{
    if (col < 0 || row < 0 || col > maxCols() || row > maxRows())
        return {};
    if (row == 0)
        return col == 0 ? m_corner : m_cols[size_t(col)].header;
    if (col == 0) {
        const RowExtra* e = extraOf(row);
        return e ? e->headerText : QString();
    }
    return m_rows[size_t(row - 1)].cells.cell(col - 1);
}

QString SpreadModel::valueText(int col, int row) const
{
    const QString text = rawText(col, row);
    if (text.isEmpty() || !inSheet(col, row) || cellType(col, row) != CellTypeNumber)
        return text;
    NumberFormat format = numberFormat(col, row);
    const std::optional<double> value = NumberCellValue(text, format);
    if (!value)
        return {};
    format.showSep = false;
    return FormatNumber(*value, format);
}

QString SpreadModel::displayText(int col, int row) const
{
    const QString text = rawText(col, row);
    if (text.isEmpty() || !inSheet(col, row) || cellType(col, row) != CellTypeNumber)
        return text;
    const NumberFormat format = numberFormat(col, row);
    const std::optional<double> value = NumberCellValue(text, format);
    return value ? FormatNumber(*value, format) : QString();
}

QString SpreadModel::tag(int col, int row) const
{
    if (col < 0 || row < 0 || col > maxCols() || row > maxRows() || (row == 0 && col == 0))
        return {};
    if (row == 0)
        return m_cols[size_t(col)].tag;
    const RowExtra* e = extraOf(row);
    if (!e)
        return {};
    if (col == 0)
        return e->headerTag;
    const auto it = e->tags.find(col);
    return it == e->tags.end() ? QString() : it->second;
}

void SpreadModel::setTag(int col, int row, const QString& tag)
{
    if (col < 0 || row < 0 || col > maxCols() || row > maxRows() || (row == 0 && col == 0))
        return;
    if (row == 0)
        m_cols[size_t(col)].tag = tag;
    else if (col == 0)
        extra(row).headerTag = tag;
    else
        extra(row).tags[col] = tag;
}

int SpreadModel::dataRowCount() const
{
    for (int r = maxRows(); r >= 1; --r)
        if (!m_rows[size_t(r - 1)].cells.isEmpty())
            return r;
    return 0;
}

void SpreadModel::deleteRows(int row, int count)
{
    const int rows = maxRows();
    if (row < 1 || row > rows || count < 1)
        return;
    count = std::min(count, rows - row + 1);
    beginRemoveRows({}, row - 1, row + count - 2);
    for (int r = row; r < row + count; ++r)
        if (const RowExtra* e = extraOf(r); e && e->hidden)
            --m_hiddenRows;
    m_rows.erase(m_rows.begin() + (row - 1), m_rows.begin() + (row - 1 + count));
    endRemoveRows();
    beginInsertRows({}, rows - count, rows - 1);
    m_rows.resize(size_t(rows));
    endInsertRows();
}

void SpreadModel::insertRowsBefore(int row, int count)
{
    const int rows = maxRows();
    if (row < 1 || row > rows || count < 1)
        return;
    count = std::min(count, rows - row + 1);
    beginRemoveRows({}, rows - count, rows - 1);
    for (int r = rows - count + 1; r <= rows; ++r)
        if (const RowExtra* e = extraOf(r); e && e->hidden)
            --m_hiddenRows;
    m_rows.resize(size_t(rows - count));
    endRemoveRows();
    beginInsertRows({}, row - 1, row + count - 2);
    std::vector<SheetRow> blank(static_cast<size_t>(count));
    m_rows.insert(m_rows.begin() + (row - 1), std::make_move_iterator(blank.begin()),
                  std::make_move_iterator(blank.end()));
    endInsertRows();
}

void SpreadModel::sortRows(int col, Qt::SortOrder order)
{
    const int n = dataRowCount();
    if (col < 1 || col > maxCols() || n < 2)
        return;

    struct Key
    {
        bool empty = true;
        bool isNumber = false;
        double number = 0;
        QString text;
    };
    std::vector<Key> keys(size_t(n) + 1);
    for (int r = 1; r <= n; ++r) {
        Key& key = keys[size_t(r)];
        key.text = rawText(col, r);
        if (cellType(col, r) == CellTypeNumber) {
            const std::optional<double> value = NumberCellValue(key.text, numberFormat(col, r));
            key.empty = !value;
            key.isNumber = true;
            key.number = value.value_or(0);
        } else {
            key.empty = key.text.isEmpty();
        }
    }
    std::vector<int> sortedRows(static_cast<size_t>(n));
    std::iota(sortedRows.begin(), sortedRows.end(), 1);
    std::stable_sort(sortedRows.begin(), sortedRows.end(), [&](int a, int b) {
        const Key& ka = keys[size_t(a)];
        const Key& kb = keys[size_t(b)];
        if (ka.empty || kb.empty)
            return !ka.empty && kb.empty;
        int cmp;
        if (ka.isNumber && kb.isNumber)
            cmp = ka.number < kb.number ? -1 : (ka.number > kb.number ? 1 : 0);
        else
            cmp = ka.text.compare(kb.text);
        return order == Qt::AscendingOrder ? cmp < 0 : cmp > 0;
    });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(size_t(n) + 1);
    std::vector<SheetRow> sorted;
    sorted.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        newRowOf[size_t(sortedRows[size_t(i)])] = i + 1;
        sorted.push_back(std::move(m_rows[size_t(sortedRows[size_t(i)] - 1)]));
    }
    std::move(sorted.begin(), sorted.end(), m_rows.begin());
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& idx : from)
        to << (idx.row() < n ? index(newRowOf[size_t(idx.row() + 1)] - 1, idx.column()) : idx);
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

bool SpreadModel::rowHidden(int row) const
{
    if (row < 1 || row > maxRows())
        return false;
    const RowExtra* e = extraOf(row);
    return e && e->hidden;
}

void SpreadModel::setRowHidden(int row, bool hidden)
{
    if (row < 1 || row > maxRows() || rowHidden(row) == hidden)
        return;
    extra(row).hidden = hidden;
    m_hiddenRows += hidden ? 1 : -1;
}

template <class T>
void SpreadModel::setStyle(int col, int row, std::optional<T> CellStyle::*field, const T& value)
{
    if (col == 0 || row == 0 || col < -1 || row < -1 || col > maxCols() || row > maxRows())
        return;
    if (col == -1 && row == -1) {
        m_sheet.*field = value;
        for (Column& c : m_cols)
            (c.style.*field).reset();
        for (SheetRow& r : m_rows)
            if (r.extra) {
                (r.extra->style.*field).reset();
                for (auto& cell : r.extra->cells)
                    (cell.second.*field).reset();
            }
    } else if (row == -1) {
        m_cols[size_t(col)].style.*field = value;
        for (SheetRow& r : m_rows)
            if (r.extra)
                if (auto it = r.extra->cells.find(col); it != r.extra->cells.end())
                    (it->second.*field).reset();
    } else if (col == -1) {
        RowExtra& e = extra(row);
        e.style.*field = value;
        for (auto& cell : e.cells)
            (cell.second.*field).reset();
    } else {
        extra(row).cells[col].*field = value;
    }
    changed(col, row);
}

template <class T>
std::optional<T> SpreadModel::style(int col, int row, std::optional<T> CellStyle::*field) const
{
    if (row >= 1 && row <= maxRows())
        if (const RowExtra* e = extraOf(row)) {
            if (col >= 1)
                if (auto it = e->cells.find(col); it != e->cells.end() && (it->second.*field))
                    return it->second.*field;
            if (e->style.*field)
                return e->style.*field;
        }
    if (col >= 1 && col <= maxCols() && (m_cols[size_t(col)].style.*field))
        return m_cols[size_t(col)].style.*field;
    return m_sheet.*field;
}

template void SpreadModel::setStyle<int>(int, int, std::optional<int> CellStyle::*, const int&);
template void SpreadModel::setStyle<bool>(int, int, std::optional<bool> CellStyle::*, const bool&);
template void SpreadModel::setStyle<double>(int, int, std::optional<double> CellStyle::*, const double&);
template void SpreadModel::setStyle<OleColor>(int, int, std::optional<OleColor> CellStyle::*,
                                              const OleColor&);
template std::optional<int> SpreadModel::style<int>(int, int, std::optional<int> CellStyle::*) const;
template std::optional<bool> SpreadModel::style<bool>(int, int, std::optional<bool> CellStyle::*) const;
template std::optional<double> SpreadModel::style<double>(int, int, std::optional<double> CellStyle::*) const;
template std::optional<OleColor> SpreadModel::style<OleColor>(int, int,
                                                              std::optional<OleColor> CellStyle::*) const;

int SpreadModel::cellType(int col, int row) const
{
    return style(col, row, &CellStyle::cellType).value_or(CellTypeEdit);
}

NumberFormat SpreadModel::numberFormat(int col, int row) const
{
    NumberFormat format;
    format.decPlaces = style(col, row, &CellStyle::decPlaces).value_or(format.decPlaces);
    format.showSep = style(col, row, &CellStyle::showSep).value_or(format.showSep);
    format.max = style(col, row, &CellStyle::numberMax).value_or(format.max);
    format.min = style(col, row, &CellStyle::numberMin).value_or(format.min);
    return format;
}

bool SpreadModel::locked(int col, int row) const
{
    return style(col, row, &CellStyle::locked).value_or(false);
}

void SpreadModel::setOddEvenColors(OleColor backOdd, OleColor foreOdd, OleColor backEven, OleColor foreEven)
{
    m_oddEven = true;
    m_oddBack = backOdd;
    m_oddFore = foreOdd;
    m_evenBack = backEven;
    m_evenFore = foreEven;
    changed(-1, -1);
}

void SpreadModel::setHeaderBackColor(OleColor color)
{
    m_headerBack = color;
    changed(-1, 0);
    changed(0, -1);
}

void SpreadModel::setHeaderForeColor(OleColor color)
{
    m_headerFore = color;
    changed(-1, 0);
    changed(0, -1);
}

void SpreadModel::setBaseFont(const QFont& font)
{
    m_baseFont = font;
    changed(-1, -1);
}

double SpreadModel::headerFontSize() const
{
    return m_headerFontSize.value_or(m_baseFont.pointSizeF());
}

void SpreadModel::setHeaderFontSize(double size)
{
    m_headerFontSize = size;
    changed(-1, 0);
}

void SpreadModel::setBatch(bool batch)
{
    if (m_batch == batch)
        return;
    m_batch = batch;
    if (!batch) {
        changed(-1, -1);
        changed(-1, 0);
        changed(0, -1);
    }
}

int SpreadModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : maxRows();
}

int SpreadModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : maxCols();
}

QVariant SpreadModel::background(int col, int row) const
{
    if (const std::optional<OleColor> color = style(col, row, &CellStyle::backColor))
        return QBrush(ToQColor(*color));
    if (m_oddEven)
        return QBrush(ToQColor(row % 2 ? m_oddBack : m_evenBack));
    return {};
}

QVariant SpreadModel::foreground(int col, int row) const
{
    if (style(col, row, &CellStyle::negRed).value_or(false) && cellType(col, row) == CellTypeNumber) {
        const std::optional<double> value = NumberCellValue(rawText(col, row), numberFormat(col, row));
        if (value && *value < 0)
            return QBrush(Qt::red);
    }
    if (m_oddEven)
        return QBrush(ToQColor(row % 2 ? m_oddFore : m_evenFore));
    return {};
}

QVariant SpreadModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int col = index.column() + 1;
    const int row = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole:
        return displayText(col, row);
    case Qt::EditRole:
        return rawText(col, row);
    case Qt::TextAlignmentRole: {
        const int defaultH = cellType(col, row) == CellTypeNumber ? HAlignRight : HAlignLeft;
        const int h = style(col, row, &CellStyle::hAlign).value_or(defaultH);
        const int v = style(col, row, &CellStyle::vAlign).value_or(VAlignCenter);
        const Qt::Alignment ha =
            h == HAlignRight ? Qt::AlignRight : (h == HAlignCenter ? Qt::AlignHCenter : Qt::AlignLeft);
        const Qt::Alignment va =
            v == VAlignTop ? Qt::AlignTop : (v == VAlignBottom ? Qt::AlignBottom : Qt::AlignVCenter);
        return QVariant::fromValue(ha | va);
    }
    case Qt::BackgroundRole:
        return background(col, row);
    case Qt::ForegroundRole:
        return foreground(col, row);
    case Qt::FontRole:
        if (const std::optional<double> size = style(col, row, &CellStyle::fontSize); size && *size > 0) {
            QFont font = m_baseFont;
            font.setPointSizeF(*size);
            return font;
        }
        return {};
    default:
        return {};
    }
}

bool SpreadModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || locked(index.column() + 1, index.row() + 1))
        return false;
    return setText(index.column() + 1, index.row() + 1, value.toString());
}

Qt::ItemFlags SpreadModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!locked(index.column() + 1, index.row() + 1))
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant SpreadModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const bool horizontal = orientation == Qt::Horizontal;
    switch (role) {
    case Qt::DisplayRole:
        if (horizontal) {
            if (section < 0 || section >= maxCols())
                return {};
            const QString& text = m_cols[size_t(section) + 1].header;
            return text.isEmpty() ? columnLetters(section + 1) : text;
        } else {
            if (section < 0 || section >= maxRows())
                return {};
            const RowExtra* e = extraOf(section + 1);
            return e && !e->headerText.isEmpty() ? e->headerText : QString::number(section + 1);
        }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case Qt::BackgroundRole:
        return m_headerBack ? QVariant(QBrush(ToQColor(*m_headerBack))) : QVariant();
    case Qt::ForegroundRole:
        return m_headerFore ? QVariant(QBrush(ToQColor(*m_headerFore))) : QVariant();
    case Qt::FontRole:
        if (horizontal && m_headerFontSize && *m_headerFontSize > 0) {
            QFont font = m_baseFont;
            font.setPointSizeF(*m_headerFontSize);
            return font;
        }
        return {};
    default:
        return {};
    }
}
