#include "grid/SpreadGrid.h"

#include "grid/SpreadModel.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QStylePainter>
#include <QToolTip>
#include <cmath>

namespace {

constexpr double kDefaultColWidth = 9; // characters

} // namespace

SpreadGrid::SpreadGrid(QWidget* parent) : QTableView(parent), m_model(new SpreadModel(this))
{
    m_model->setBaseFont(font());
    setModel(m_model);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    QHeaderView* top = horizontalHeader();
    QHeaderView* left = verticalHeader();
    top->setSectionsClickable(true);
    top->setHighlightSections(false);
    top->setMinimumSectionSize(1);
    left->setMinimumSectionSize(1);
    left->setDefaultSectionSize(fontMetrics().height() + 6);
    applyColumnWidths();

    // A header click sorts (or not); it never selects the column.
    disconnect(top, SIGNAL(sectionPressed(int)), this, SLOT(selectColumn(int)));
    disconnect(top, SIGNAL(sectionEntered(int)), this, SLOT(_q_selectColumn(int)));
    connect(top, &QHeaderView::sectionResized, this, &SpreadGrid::onSectionResized);
    connect(top, &QHeaderView::sectionClicked, this, &SpreadGrid::onHeaderClicked);
    connect(top, &QHeaderView::sectionDoubleClicked, this,
            [this](int logical) { emit DblClick(logical + 1, 0); });
    connect(left, &QHeaderView::sectionClicked, this, [this](int logical) { emit Click(0, logical + 1); });
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { emit Click(index.column() + 1, index.row() + 1); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit DblClick(index.column() + 1, index.row() + 1); });
    connect(m_model, &QAbstractItemModel::layoutChanged, this, &SpreadGrid::syncHiddenRows);
    top->viewport()->installEventFilter(this);
    m_corner = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    if (m_corner)
        m_corner->installEventFilter(this);
    applyEditTriggers();
}

SpreadGrid::~SpreadGrid() = default;

// --- Size and content

int SpreadGrid::MaxRows() const
{
    return m_model->maxRows();
}

void SpreadGrid::SetMaxRows(int rows)
{
    m_model->setMaxRows(rows);
    syncHiddenRows();
}

int SpreadGrid::MaxCols() const
{
    return m_model->maxCols();
}

void SpreadGrid::SetMaxCols(int cols)
{
    const int old = MaxCols();
    m_model->setMaxCols(cols);
    m_colWidth.resize(size_t(MaxCols()) + 1, -1);
    if (MaxCols() > old)
        applyColumnWidths();
}

void SpreadGrid::SetText(int col, int row, const QString& text)
{
    m_model->setText(col, row, text);
    if (col == 0 && row == 0 && m_corner)
        m_corner->update();
}

bool SpreadGrid::GetText(int col, int row, QString& value) const
{
    value = m_model->valueText(col, row);
    return !value.isEmpty();
}

QString SpreadGrid::DisplayText(int col, int row) const
{
    return m_model->displayText(col, row);
}

int SpreadGrid::DataRowCnt() const
{
    return m_model->dataRowCount();
}

void SpreadGrid::DeleteRows(int row, int count)
{
    m_model->deleteRows(row, count);
    syncHiddenRows();
}

void SpreadGrid::InsertRows(int row, int count)
{
    m_model->insertRowsBefore(row, count);
    syncHiddenRows();
}

void SpreadGrid::SortByColumn(int col, Qt::SortOrder order)
{
    m_model->sortRows(col, order);
}

// --- Active cell

int SpreadGrid::ActiveCol() const
{
    return currentIndex().isValid() ? currentIndex().column() + 1 : 0;
}

int SpreadGrid::ActiveRow() const
{
    return currentIndex().isValid() ? currentIndex().row() + 1 : 0;
}

void SpreadGrid::SetActiveCell(int col, int row)
{
    const QModelIndex index = m_model->index(row - 1, col - 1);
    if (!index.isValid())
        return;
    setCurrentIndex(index);
    scrollTo(index);
}

// --- Cell properties

void SpreadGrid::SetLock(int col, int row, bool locked)
{
    m_model->setStyle(col, row, &CellStyle::locked, locked);
}

bool SpreadGrid::Lock(int col, int row) const
{
    return m_model->locked(col, row);
}

void SpreadGrid::SetCellType(int col, int row, int type)
{
    m_model->setStyle(col, row, &CellStyle::cellType, type);
}

int SpreadGrid::CellType(int col, int row) const
{
    return m_model->cellType(col, row);
}

void SpreadGrid::SetTypeNumberDecPlaces(int col, int row, int decPlaces)
{
    m_model->setStyle(col, row, &CellStyle::decPlaces, decPlaces);
}

void SpreadGrid::SetTypeNumberShowSep(int col, int row, bool show)
{
    m_model->setStyle(col, row, &CellStyle::showSep, show);
}

void SpreadGrid::SetTypeNumberMax(int col, int row, double max)
{
    m_model->setStyle(col, row, &CellStyle::numberMax, max);
}

void SpreadGrid::SetTypeNumberMin(int col, int row, double min)
{
    m_model->setStyle(col, row, &CellStyle::numberMin, min);
}

void SpreadGrid::SetTypeHAlign(int col, int row, int align)
{
    m_model->setStyle(col, row, &CellStyle::hAlign, align);
}

void SpreadGrid::SetTypeVAlign(int col, int row, int align)
{
    m_model->setStyle(col, row, &CellStyle::vAlign, align);
}

void SpreadGrid::SetTypeNegRed(int col, int row, bool red)
{
    m_model->setStyle(col, row, &CellStyle::negRed, red);
}

void SpreadGrid::SetBackColor(int col, int row, OleColor color)
{
    m_model->setStyle(col, row, &CellStyle::backColor, color);
}

OleColor SpreadGrid::BackColor(int col, int row) const
{
    return m_model->style(col, row, &CellStyle::backColor).value_or(kSysWindowBackground);
}

void SpreadGrid::SetFontSize(int col, int row, double points)
{
    if (points <= 0)
        return;
    if (row == 0)
        m_model->setHeaderFontSize(points);
    else
        m_model->setStyle(col, row, &CellStyle::fontSize, points);
}

double SpreadGrid::FontSize(int col, int row) const
{
    if (row == 0)
        return m_model->headerFontSize();
    return m_model->style(col, row, &CellStyle::fontSize).value_or(m_model->baseFontSize());
}

void SpreadGrid::SetCellTag(int col, int row, const QString& tag)
{
    m_model->setTag(col, row, tag);
}

QString SpreadGrid::CellTag(int col, int row) const
{
    return m_model->tag(col, row);
}

// --- Columns and rows

double SpreadGrid::charWidth() const
{
    return std::max(1.0, QFontMetricsF(font()).averageCharWidth());
}

int SpreadGrid::pointsToPixels(double points) const
{
    return std::max(1, int(std::lround(points * logicalDpiY() / 72.0)));
}

double SpreadGrid::pixelsToPoints(int pixels) const
{
    return pixels * 72.0 / logicalDpiY();
}

void SpreadGrid::applyColumnWidths()
{
    m_programmaticResize = true;
    const double cw = charWidth();
    horizontalHeader()->setDefaultSectionSize(int(std::lround(kDefaultColWidth * cw)));
    for (int c = 1; c <= MaxCols(); ++c) {
        const double width = m_colWidth[size_t(c)] >= 0 ? m_colWidth[size_t(c)] : kDefaultColWidth;
        horizontalHeader()->resizeSection(c - 1, int(std::lround(width * cw)));
    }
    if (m_rowHeaderWidth >= 0)
        verticalHeader()->setFixedWidth(int(std::lround(m_rowHeaderWidth * cw)));
    m_programmaticResize = false;
}

double SpreadGrid::ColWidth(int col) const
{
    if (col == 0) {
        if (m_rowHeaderWidth >= 0)
            return m_rowHeaderWidth;
        const int px =
            verticalHeader()->isVisible() ? verticalHeader()->width() : verticalHeader()->sizeHint().width();
        return px / charWidth();
    }
    if (col < 1 || col > MaxCols())
        return 0;
    const double w = m_colWidth[size_t(col)];
    return w >= 0 ? w : kDefaultColWidth;
}

void SpreadGrid::SetColWidth(int col, double width)
{
    if (width < 0 || col < -1 || col > MaxCols())
        return;
    if (col == 0) {
        m_rowHeaderWidth = width;
    } else if (col == -1) {
        for (int c = 1; c <= MaxCols(); ++c)
            m_colWidth[size_t(c)] = width;
    } else {
        m_colWidth[size_t(col)] = width;
    }
    applyColumnWidths();
}

double SpreadGrid::RowHeight(int row) const
{
    if (row == -1)
        return m_rowHeight >= 0 ? m_rowHeight : pixelsToPoints(verticalHeader()->defaultSectionSize());
    if (row == 0)
        return m_headerHeight >= 0 ? m_headerHeight : pixelsToPoints(horizontalHeader()->sizeHint().height());
    if (row < 1 || row > MaxRows())
        return 0;
    return pixelsToPoints(verticalHeader()->sectionSize(row - 1));
}

void SpreadGrid::SetRowHeight(int row, double points)
{
    if (points <= 0 || row < -1 || row > MaxRows())
        return;
    if (row == -1) {
        m_rowHeight = points;
        verticalHeader()->setDefaultSectionSize(pointsToPixels(points));
    } else if (row == 0) {
        m_headerHeight = points;
        horizontalHeader()->setFixedHeight(pointsToPixels(points));
    } else {
        verticalHeader()->resizeSection(row - 1, pointsToPixels(points));
    }
}

bool SpreadGrid::ColHidden(int col) const
{
    if (col == 0)
        return verticalHeader()->isHidden();
    return col >= 1 && col <= MaxCols() && isColumnHidden(col - 1);
}

void SpreadGrid::SetColHidden(int col, bool hidden)
{
    if (col == 0) {
        verticalHeader()->setHidden(hidden);
        return;
    }
    if (col < 1 || col > MaxCols())
        return;
    m_programmaticResize = true;
    setColumnHidden(col - 1, hidden);
    m_programmaticResize = false;
}

bool SpreadGrid::RowHidden(int row) const
{
    return m_model->rowHidden(row);
}

void SpreadGrid::SetRowHidden(int row, bool hidden)
{
    if (row < 1 || row > MaxRows())
        return;
    m_model->setRowHidden(row, hidden);
    setRowHidden(row - 1, hidden);
}

void SpreadGrid::syncHiddenRows()
{
    if (!m_model->anyRowHidden() && verticalHeader()->hiddenSectionCount() == 0)
        return;
    for (int r = 1; r <= MaxRows(); ++r) {
        const bool hidden = m_model->rowHidden(r);
        if (isRowHidden(r - 1) != hidden)
            setRowHidden(r - 1, hidden);
    }
}

bool SpreadGrid::RowHeadersShow() const
{
    return !verticalHeader()->isHidden();
}

void SpreadGrid::SetRowHeadersShow(bool show)
{
    verticalHeader()->setHidden(!show);
}

// --- Behaviour and look

void SpreadGrid::SetOperationMode(int mode)
{
    m_operationMode = mode;
    switch (mode) {
    case 2:
    case 3:
        setSelectionBehavior(SelectRows);
        setSelectionMode(SingleSelection);
        break;
    case 4:
        setSelectionBehavior(SelectRows);
        setSelectionMode(MultiSelection);
        break;
    case 5:
        setSelectionBehavior(SelectRows);
        setSelectionMode(ExtendedSelection);
        break;
    default:
        setSelectionBehavior(SelectItems);
        setSelectionMode(ExtendedSelection);
        break;
    }
    applyEditTriggers();
}

void SpreadGrid::SetEditModePermanent(bool on)
{
    m_editModePermanent = on;
    applyEditTriggers();
}

void SpreadGrid::applyEditTriggers()
{
    // Read-only and the selection modes never edit; locked cells never do (their flags).
    if (m_operationMode == 1 || m_operationMode >= 3)
        setEditTriggers(NoEditTriggers);
    else if (m_editModePermanent)
        setEditTriggers(CurrentChanged | SelectedClicked | DoubleClicked | EditKeyPressed | AnyKeyPressed);
    else
        setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
}

void SpreadGrid::SetShadowColor(OleColor color)
{
    m_model->setHeaderBackColor(color);
    if (m_corner)
        m_corner->update();
}

void SpreadGrid::SetShadowText(OleColor color)
{
    m_model->setHeaderForeColor(color);
    if (m_corner)
        m_corner->update();
}

void SpreadGrid::SetSelBackColor(OleColor color)
{
    m_selBackColor = color;
    QPalette p = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Highlight, ToQColor(color));
        p.setColor(group, QPalette::HighlightedText, p.color(group, QPalette::Text));
    }
    setPalette(p);
}

void SpreadGrid::SetOddEvenRowColor(OleColor backOdd, OleColor foreOdd, OleColor backEven, OleColor foreEven)
{
    m_model->setOddEvenColors(backOdd, foreOdd, backEven, foreEven);
}

void SpreadGrid::SetActionKey(int action, bool shift, bool ctrl, int key)
{
    if (action >= 0 && action < 3)
        m_passive.actionKeys[action] = key;
}

// --- Drawing

void SpreadGrid::SetReDraw(bool on)
{
    if (m_redraw == on)
        return;
    m_redraw = on;
    m_model->setBatch(!on);
    setUpdatesEnabled(on);
    if (on) {
        syncHiddenRows();
        Refresh();
    }
}

void SpreadGrid::Refresh()
{
    viewport()->update();
    horizontalHeader()->viewport()->update();
    verticalHeader()->viewport()->update();
    if (m_corner)
        m_corner->update();
}

QString SpreadGrid::TextTipAt(const QPoint& pos) const
{
    const QModelIndex index = indexAt(pos);
    if (m_textTip == 0 || !index.isValid())
        return {};
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty())
        return {};
    const QVariant cellFont = index.data(Qt::FontRole);
    const QFontMetrics metrics(cellFont.isValid() ? cellFont.value<QFont>() : font());
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return metrics.horizontalAdvance(text) + 2 * margin > visualRect(index).width() ? text : QString();
}

// --- Events

void SpreadGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (previous.isValid())
        emit LeaveCell(previous.column() + 1, previous.row() + 1,
                       current.isValid() ? current.column() + 1 : -1,
                       current.isValid() ? current.row() + 1 : -1);
}

void SpreadGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton) {
        QTableView::mousePressEvent(event);
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    emit RightClick(1, index.isValid() ? index.column() + 1 : -1, index.isValid() ? index.row() + 1 : -1,
                    event->position().toPoint().x(), event->position().toPoint().y());
    event->accept();
}

void SpreadGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton) {
        QTableView::mouseReleaseEvent(event);
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    emit RightClick(2, index.isValid() ? index.column() + 1 : -1, index.isValid() ? index.row() + 1 : -1,
                    event->position().toPoint().x(), event->position().toPoint().y());
    event->accept();
}

void SpreadGrid::keyPressEvent(QKeyEvent* event)
{
    emit KeyDown(event->key(), event->modifiers());
    QTableView::keyPressEvent(event);
}

bool SpreadGrid::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = TextTipAt(help->pos());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport(), visualRect(indexAt(help->pos())));
        return true;
    }
    return QTableView::viewportEvent(event);
}

void SpreadGrid::onSectionResized(int logical, int, int newSize)
{
    if (m_programmaticResize || logical < 0 || logical >= MaxCols())
        return;
    const int col = logical + 1;
    m_colWidth[size_t(col)] = newSize / charWidth();
    m_pendingCol1 = m_pendingCol1 == 0 ? col : std::min(m_pendingCol1, col);
    m_pendingCol2 = std::max(m_pendingCol2, col);
}

void SpreadGrid::onHeaderClicked(int logical)
{
    const int col = logical + 1;
    if (m_userColAction == 1) {
        m_sortOrder =
            m_sortCol == col && m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
        m_sortCol = col;
        SortByColumn(col, m_sortOrder);
    }
    emit Click(col, 0);
}

bool SpreadGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonRelease &&
        m_pendingCol1 > 0) {
        const int col1 = m_pendingCol1;
        const int col2 = m_pendingCol2;
        m_pendingCol1 = m_pendingCol2 = 0;
        emit ColWidthChange(col1, col2);
    } else if (watched == m_corner && event->type() == QEvent::Paint) {
        paintCorner(m_corner);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void SpreadGrid::paintCorner(QWidget* corner)
{
    QStylePainter painter(corner);
    QStyleOptionHeader option;
    option.initFrom(corner);
    option.rect = corner->rect();
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.text = m_model->rawText(0, 0);
    option.textAlignment = Qt::AlignCenter;
    const QVariant back = m_model->headerData(0, Qt::Horizontal, Qt::BackgroundRole);
    if (back.isValid()) {
        option.palette.setBrush(QPalette::Button, back.value<QBrush>());
        option.palette.setBrush(QPalette::Window, back.value<QBrush>());
    }
    const QVariant fore = m_model->headerData(0, Qt::Horizontal, Qt::ForegroundRole);
    if (fore.isValid())
        option.palette.setBrush(QPalette::ButtonText, fore.value<QBrush>());
    painter.drawControl(QStyle::CE_Header, option);
}

void SpreadGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_model->setBaseFont(font());
        applyColumnWidths();
    }
}
