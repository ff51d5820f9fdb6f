#include "table/forecast_grid.h"

#include "table/forecast_columns.h"
#include "table/forecast_delegates.h"
#include "table/forecast_header.h"

#include <QCursor>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace orvane {

namespace {

bool validColumn(int column)
{
    return column >= 0 && column < ForecastGridModel::ColumnCount;
}

} // namespace

ForecastGrid::ForecastGrid(QWidget *parent)
    : QTableView(parent), m_model(new ForecastGridModel(this)), m_header(new ForecastHeader(this))
{
    setFont(forecastCellFont(false));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);

    m_model->setPalette(palette());
    setHorizontalHeader(m_header);
    setModel(m_model);
    setItemDelegate(new ForecastTextDelegate(this));
    setItemDelegateForColumn(ForecastGridModel::Flag, new ForecastFlagDelegate(this));

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setCornerButtonEnabled(false);
    setSortingEnabled(false); // the header click is handled here
    // The delegates draw the lines, so that they take the desktop's colour.
    setShowGrid(false);
    viewport()->setMouseTracking(true);

    // Fixed sizes everywhere: no measuring of contents as rows come in.
    QHeaderView *rows = verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(0);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(kRowHeight);

    // The user may widen a column to read a long name (a double click on an
    // edge fits it to its widest text), but not move it. Widths are never
    // saved, and a new load keeps them.
    m_header->setMinimumSectionSize(0);
    m_header->setSectionResizeMode(QHeaderView::Interactive);
    m_header->setStretchLastSection(false);
    m_header->setSectionsMovable(false);
    m_header->setSectionsClickable(true);
    m_header->setHighlightSections(false);
    m_header->setFixedHeight(kHeaderHeight);
    for (int column = 0; column < ForecastGridModel::ColumnCount; ++column) {
        m_header->resizeSection(column, columnLook(column).width);
        setColumnHidden(column, !columnLook(column).shown);
    }
    connect(m_header, &QHeaderView::sectionClicked, this, &ForecastGrid::sortByHeaderClick);

    connect(m_model, &QAbstractItemModel::modelReset, this, &ForecastGrid::hideCellPopup);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, &ForecastGrid::hideCellPopup);
}

ForecastGrid::~ForecastGrid() = default;

void ForecastGrid::ClearRows()
{
    m_model->clearRows();
    scrollToTop();
}

void ForecastGrid::AddRow()
{
    m_model->appendRow();
}

int ForecastGrid::RowCount() const
{
    return m_model->rowCount();
}

void ForecastGrid::SetCellText(int column, int row, const QString &text)
{
    m_model->setText(column, row, text);
}

void ForecastGrid::SetCellImageIndex(int column, int row, int index)
{
    m_model->setImageIndex(column, row, index);
}

void ForecastGrid::SetCellColor(int column, int row, const QColor &color)
{
    m_model->setBackground(column, row, color);
}

void ForecastGrid::SetCellHint(int column, int row, const QString &hint)
{
    m_model->setHint(column, row, hint);
}

ForecastGridModel *ForecastGrid::gridModel() const
{
    return m_model;
}

void ForecastGrid::setFlagImages(const FlagImages &images)
{
    m_model->setFlagImages(images);
}

void ForecastGrid::sortByHeaderClick(int column)
{
    if (!validColumn(column) || isColumnHidden(column))
        return;
    std::optional<Qt::SortOrder> &direction = m_directions[size_t(column)];
    if (column == m_sortColumn && direction) {
        direction = *direction == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    } else if (!direction) {
        direction = Qt::AscendingOrder;
    }
    m_sortColumn = column;
    m_header->setSortMark(column, *direction);
    m_model->sort(column, *direction);
}

Qt::SortOrder ForecastGrid::sortOrder() const
{
    return m_sortColumn < 0 ? Qt::AscendingOrder
                            : m_directions[size_t(m_sortColumn)].value_or(Qt::AscendingOrder);
}

QRect ForecastGrid::cellRect(int column, int row) const
{
    const QRect inViewport(columnViewportPosition(column), rowViewportPosition(row),
                           columnWidth(column), rowHeight(row));
    return inViewport.translated(viewport()->geometry().topLeft());
}

bool ForecastGrid::viewportEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ToolTip:
        showCellPopup(*static_cast<QHelpEvent *>(event));
        return true;
    case QEvent::MouseMove: {
        const QModelIndex under = indexAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        if (under.row() != m_popupRow || under.column() != m_popupColumn)
            hideCellPopup();
        break;
    }
    case QEvent::Leave:
        // A pop-up that appears under the pointer takes it from the viewport
        // on some displays: that is no reason to close it.
        if (!pointerOnPopupCell())
            hideCellPopup();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        hideCellPopup();
        break;
    default:
        break;
    }
    return QTableView::viewportEvent(event);
}

bool ForecastGrid::pointerOnPopupCell() const
{
    return m_popup && m_popup->isVisible() && m_popup->cell().contains(QCursor::pos());
}

void ForecastGrid::showCellPopup(const QHelpEvent &event)
{
    const QModelIndex index = indexAt(event.pos());
    if (!index.isValid()) {
        hideCellPopup();
        return;
    }
    const int column = index.column();
    const QString text = index.data(Qt::DisplayRole).toString();
    const QString hint = index.data(ForecastGridModel::HintRole).toString();
    const QFont font = index.data(Qt::FontRole).value<QFont>();
    const QRect cell = cellRect(column, index.row());
    const CellPopupPlan plan =
        planCellPopup(isActiveWindow(), cell, rect(), columnLook(column).fullTextOnHover,
                      QFontMetrics(font).horizontalAdvance(text), !hint.isEmpty());
    if (plan.kind == CellPopupPlan::None) {
        hideCellPopup();
        return;
    }
    if (!m_popup) {
        m_popup = new CellPopup(this);
        connect(m_popup, &CellPopup::dismissed, this, &ForecastGrid::hideCellPopup);
    }
    const QRect globalCell(mapToGlobal(cell.topLeft()), cell.size());
    if (plan.kind == CellPopupPlan::FullText)
        m_popup->showFullText(globalCell, QRect(mapToGlobal(plan.rect.topLeft()), plan.rect.size()),
                              text, font);
    else
        m_popup->showHint(globalCell, mapToGlobal(plan.topLeft), plan.maxWidth, hint,
                          forecastCellFont(false));
    m_popupRow = index.row();
    m_popupColumn = column;
}

void ForecastGrid::hideCellPopup()
{
    if (m_popup)
        m_popup->hide();
    m_popupRow = -1;
    m_popupColumn = -1;
}

void ForecastGrid::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    viewport()->update(); // the selection shows only with the focus
}

void ForecastGrid::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    viewport()->update();
}

void ForecastGrid::scrollContentsBy(int dx, int dy)
{
    hideCellPopup();
    QTableView::scrollContentsBy(dx, dy);
}

void ForecastGrid::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        hideCellPopup();
    if (event->type() == QEvent::PaletteChange)
        m_model->setPalette(palette());
    QTableView::changeEvent(event);
}

void ForecastGrid::hideEvent(QHideEvent *event)
{
    hideCellPopup();
    QTableView::hideEvent(event);
}

void ForecastGrid::keyPressEvent(QKeyEvent *event)
{
    hideCellPopup();
    QTableView::keyPressEvent(event);
}

} // namespace orvane
