#include "forecast_grid.h"

#include "desktop_font.h"

#include <QAbstractItemDelegate>
#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <numeric>
#include <string_view>

using namespace Qt::StringLiterals;

namespace orvane {

namespace {

constexpr QRgb kHeaderBackground = qRgb(128, 128, 255);
constexpr QRgb kHeaderInk = qRgb(255, 255, 0);
constexpr QRgb kSelectedBackground = qRgb(128, 128, 192);

constexpr Qt::Alignment kCentre = Qt::AlignHCenter;
constexpr Qt::Alignment kLeft = Qt::AlignLeft;

// clang-format off
const std::array<ForecastColumnLook, ColumnCount> kColumns = {{
    // caption     width  alignment bold   text colour                        ink                 shown  full text
    {u"id",        65,    kCentre,  false, SystemColor::BtnText,              0,                  false, true},
    {u"Sport",     70,    kCentre,  false, SystemColor::BtnText,              0,                  false, false},
    {u"",          31,    kCentre,  false, SystemColor::BtnText,              0,                  true,  false},
    {u"Time",      38,    kCentre,  false, SystemColor::BtnText,              0,                  true,  true},
    {u"Home",      118,   kLeft,    false, SystemColor::BtnText,              0,                  true,  true},
    {u"Away",      131,   kLeft,    false, SystemColor::BtnText,              0,                  true,  true},
    {u"Bet",       130,   kCentre,  true,  SystemColor::BtnText,              0,                  true,  true},
    {u"Odd",       45,    kCentre,  false, std::nullopt,                      qRgb(0, 0, 255),    true,  true},
    {u"orvane",    120,   kCentre,  false, std::nullopt,                      qRgb(128, 0, 128),  true,  true},
    {u"Score",     59,    kCentre,  false, SystemColor::BtnText,              0,                  true,  true},
    {u"Rez",       33,    kCentre,  true,  SystemColor::BtnText,              0,                  true,  true},
    {u"Profit",    68,    kCentre,  true,  SystemColor::BtnHighlight,         0,                  true,  false},
}};
// clang-format on

bool validColumn(int column)
{
    return column >= 0 && column < ColumnCount;
}

std::u16string_view units(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size())};
}

const QList<int> kTextRoles{Qt::DisplayRole};
const QList<int> kImageRoles{ForecastGridModel::ImageIndexRole};
const QList<int> kBackgroundRoles{Qt::BackgroundRole};
const QList<int> kHintRoles{ForecastGridModel::HintRole};

// Background and grid lines of one cell; returns the area inside the lines.
QRect paintCellFrame(QPainter *painter, const QStyleOptionViewItem &option,
                     const QModelIndex &index, bool selected)
{
    const QRect cell = option.rect;
    const QRect inner = cell.adjusted(0, 0, -1, -1);
    QColor background;
    if (selected) {
        background = QColor::fromRgb(kSelectedBackground);
    } else {
        const QVariant set = index.data(Qt::BackgroundRole);
        background = set.isValid() ? set.value<QBrush>().color()
                                   : systemColor(SystemColor::Window, option.palette);
    }
    painter->fillRect(inner, background);
    painter->setPen(systemColor(SystemColor::ActiveCaption, option.palette));
    painter->drawLine(cell.topRight(), cell.bottomRight());
    painter->drawLine(cell.bottomLeft(), cell.bottomRight());
    return inner;
}

// The selection shows only while the table has the keyboard focus.
bool drawnSelected(const QStyleOptionViewItem &option)
{
    return (option.state & QStyle::State_Selected) && option.widget && option.widget->hasFocus();
}

class TextDelegate : public QAbstractItemDelegate {
public:
    using QAbstractItemDelegate::QAbstractItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        painter->save();
        const bool selected = drawnSelected(option);
        const QRect inner = paintCellFrame(painter, option, index, selected);
        const QString text = index.data(Qt::DisplayRole).toString();
        if (!text.isEmpty()) {
            const int column = index.column();
            const ForecastColumnLook &look = columnLook(column);
            const QFont &font = look.bold ? m_bold : m_regular;
            const QFontMetrics &metrics = look.bold ? m_boldMetrics : m_regularMetrics;
            const QRect area = inner.adjusted(kCellTextMargin, 0, -kCellTextMargin, 0);
            painter->setClipRect(inner);
            painter->setFont(font);
            painter->setPen(selected ? systemColor(SystemColor::HighlightText, option.palette)
                                     : columnInk(column, option.palette));
            // No mnemonic flag: "&" stays an ampersand.
            painter->drawText(
                area, int(look.alignment | Qt::AlignVCenter) | Qt::TextSingleLine,
                metrics.elidedText(text, Qt::ElideRight, area.width(), Qt::TextSingleLine));
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        return {columnLook(index.column()).width, kRowHeight};
    }

private:
    QFont m_regular = forecastCellFont(false);
    QFont m_bold = forecastCellFont(true);
    QFontMetrics m_regularMetrics{m_regular};
    QFontMetrics m_boldMetrics{m_bold};
};

class FlagDelegate : public QAbstractItemDelegate {
public:
    FlagDelegate(const FlagImages &flags, QObject *parent)
        : QAbstractItemDelegate(parent), m_flags(flags)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        painter->save();
        const QRect cell = option.rect;
        const QRect inner = cell.adjusted(0, 0, -1, -1);
        const bool selected = drawnSelected(option);
        // Frame first, flag over it, then the lines again so they stay unbroken.
        paintCellFrame(painter, option, index, selected);
        const QPixmap flag = m_flags.pixmap(index.data(ForecastGridModel::ImageIndexRole).toInt(),
                                            painter->device()->devicePixelRatio());
        if (!flag.isNull()) {
            const QSize size = flag.deviceIndependentSize().toSize();
            painter->setClipRect(inner);
            painter->drawPixmap(inner.left() + (inner.width() - size.width()) / 2,
                                inner.top() + (inner.height() - size.height()) / 2, flag);
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return {columnLook(Flag).width, kRowHeight};
    }

private:
    const FlagImages &m_flags;
};

} // namespace

QFont forecastCellFont(bool bold)
{
    return desktopFont(u"Arial", 14, bold);
}

const ForecastColumnLook &columnLook(int column)
{
    return kColumns[size_t(std::clamp(column, 0, ColumnCount - 1))];
}

QColor columnInk(int column, const QPalette &palette)
{
    const ForecastColumnLook &look = columnLook(column);
    return look.systemInk ? systemColor(*look.systemInk, palette) : QColor::fromRgb(look.ink);
}

// ---------------------------------------------------------------------------

ForecastGridModel::ForecastGridModel(QObject *parent) : QAbstractTableModel(parent) {}

int ForecastGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ForecastGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ForecastGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows[size_t(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return column == Flag ? QVariant() : QVariant(row.text[column]);
    case ImageIndexRole:
        return column == Flag ? QVariant(row.imageIndex) : QVariant();
    case HintRole:
        return row.hint[column];
    case Qt::BackgroundRole:
        return qAlpha(row.background[column])
                   ? QVariant(QBrush(QColor::fromRgb(row.background[column])))
                   : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columnLook(column).alignment | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant ForecastGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || !validColumn(section) || role != Qt::DisplayRole)
        return {};
    return QString::fromUtf16(columnLook(section).caption);
}

Qt::ItemFlags ForecastGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

namespace {

// Row indices in a stable order of their keys. The keys are copied side by
// side first, so the comparisons do not stride over whole rows.
template <typename KeyOf>
void sortedPlaces(std::vector<int> &place, Qt::SortOrder order, KeyOf keyOf)
{
    using Key = decltype(keyOf(size_t()));
    std::vector<std::pair<Key, int>> keys;
    keys.reserve(place.size());
    for (size_t i = 0; i < place.size(); ++i)
        keys.emplace_back(keyOf(i), int(i));
    if (order == Qt::AscendingOrder)
        std::stable_sort(keys.begin(), keys.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
    else
        std::stable_sort(keys.begin(), keys.end(),
                         [](const auto &a, const auto &b) { return b.first < a.first; });
    std::transform(keys.begin(), keys.end(), place.begin(), [](const auto &k) { return k.second; });
}

} // namespace

void ForecastGridModel::sort(int column, Qt::SortOrder order)
{
    if (!validColumn(column) || m_rows.size() < 2)
        return;

    std::vector<int> place(m_rows.size());
    if (column == Flag) {
        sortedPlaces(place, order, [this](size_t i) { return m_rows[i].imageIndex; });
    } else {
        sortedPlaces(place, order,
                     [this, column](size_t i) { return units(m_rows[i].text[column]); });
    }

    bool moved = false;
    for (size_t i = 0; i < place.size() && !moved; ++i)
        moved = place[i] != int(i);
    if (!moved)
        return;

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    for (const int from : place)
        sorted.push_back(std::move(m_rows[size_t(from)]));
    m_rows.swap(sorted);

    const QModelIndexList before = persistentIndexList();
    if (!before.isEmpty()) {
        std::vector<int> newRow(place.size());
        for (size_t i = 0; i < place.size(); ++i)
            newRow[size_t(place[i])] = int(i);
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex &index : before)
            after.append(index.isValid() ? createIndex(newRow[size_t(index.row())], index.column())
                                         : QModelIndex());
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ForecastGridModel::clearRows()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void ForecastGridModel::appendRow()
{
    const int row = int(m_rows.size());
    beginInsertRows({}, row, row);
    m_rows.emplace_back();
    endInsertRows();
}

bool ForecastGridModel::holds(int column, int row) const
{
    return validColumn(column) && row >= 0 && size_t(row) < m_rows.size();
}

void ForecastGridModel::changed(int column, int row, const QList<int> &roles)
{
    const QModelIndex at = index(row, column);
    emit dataChanged(at, at, roles);
}

void ForecastGridModel::setText(int column, int row, const QString &text)
{
    if (!holds(column, row) || column == Flag)
        return;
    m_rows[size_t(row)].text[column] = text;
    changed(column, row, kTextRoles);
}

void ForecastGridModel::setImageIndex(int column, int row, int index)
{
    if (!holds(column, row) || column != Flag)
        return;
    m_rows[size_t(row)].imageIndex = index;
    changed(column, row, kImageRoles);
}

void ForecastGridModel::setBackground(int column, int row, const QColor &color)
{
    if (!holds(column, row))
        return;
    m_rows[size_t(row)].background[column] = color.isValid() ? color.rgb() : QRgb(0);
    changed(column, row, kBackgroundRoles);
}

void ForecastGridModel::setHint(int column, int row, const QString &hint)
{
    if (!holds(column, row))
        return;
    m_rows[size_t(row)].hint[column] = hint;
    changed(column, row, kHintRoles);
}

QString ForecastGridModel::text(int column, int row) const
{
    return holds(column, row) ? m_rows[size_t(row)].text[column] : QString();
}

int ForecastGridModel::imageIndex(int row) const
{
    return holds(Flag, row) ? m_rows[size_t(row)].imageIndex : 0;
}

QColor ForecastGridModel::background(int column, int row) const
{
    if (!holds(column, row))
        return {};
    const QRgb rgb = m_rows[size_t(row)].background[column];
    return qAlpha(rgb) ? QColor::fromRgb(rgb) : QColor();
}

QString ForecastGridModel::hint(int column, int row) const
{
    return holds(column, row) ? m_rows[size_t(row)].hint[column] : QString();
}

// ---------------------------------------------------------------------------

CellPopupPlan planCellPopup(bool windowActive, const QRect &cell, const QRect &table,
                            bool fullTextColumn, int textWidth, bool hasHint)
{
    CellPopupPlan plan;
    if (!windowActive || !cell.isValid())
        return plan;
    if (fullTextColumn && cell.width() < textWidth + kTextFitSlack) {
        plan.kind = CellPopupPlan::FullText;
        const int width = std::min(textWidth + kTextFitSlack, table.width());
        // Over the cell from its left edge; pulled left only as far as keeps
        // it inside the table, which still covers the cell.
        const int left = std::max(table.left(), std::min(cell.left(), table.right() + 1 - width));
        plan.rect = QRect(left, cell.top(), width, cell.height());
    } else if (hasHint) {
        plan.kind = CellPopupPlan::Hint;
        plan.topLeft = QPoint(cell.right() + 1, cell.top() - kHintRise);
        plan.maxWidth = kHintMaxWidth;
    }
    return plan;
}

std::optional<QRect> sortMarkRect(const QRect &section, int contentRight)
{
    // Inside the section's lines, with a margin before the right one.
    const int left = contentRight + kSortMarkGap;
    if (left + kSortMarkWidth > section.right() - kCellTextMargin)
        return std::nullopt;
    const int top = section.top() + (section.height() - 1 - kSortMarkHeight) / 2;
    return QRect(left, top, kSortMarkWidth, kSortMarkHeight);
}

// ---------------------------------------------------------------------------

namespace {
constexpr int kPopupPadding = 3;
}

CellPopup::CellPopup(QWidget *owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void CellPopup::showFullText(const QRect &rect, const QString &text, const QFont &font)
{
    m_kind = CellPopupPlan::FullText;
    m_text = text;
    setFont(font);
    setGeometry(rect);
    update();
    show();
}

void CellPopup::showHint(const QPoint &topLeft, int maxWidth, const QString &hint,
                         const QFont &font)
{
    m_kind = CellPopupPlan::Hint;
    m_text = hint;
    setFont(font);
    const int frame = 1 + kPopupPadding;
    const QRect room(0, 0, maxWidth - 2 * frame, 1 << 20);
    const QFontMetrics metrics(font);
    m_wrap = Qt::TextWordWrap;
    QRect text = metrics.boundingRect(room, m_wrap, hint);
    if (text.width() > room.width()) { // a word longer than a line
        m_wrap = Qt::TextWrapAnywhere;
        text = metrics.boundingRect(room, m_wrap, hint);
    }
    setGeometry(QRect(topLeft, QSize(text.width() + 2 * frame, text.height() + 2 * frame)));
    update();
    show();
}

void CellPopup::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette &colors = palette();
    painter.fillRect(rect(), colors.color(QPalette::ToolTipBase));
    painter.setPen(colors.color(QPalette::ToolTipText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (m_kind == CellPopupPlan::FullText) {
        // The text stays where the cell drew it.
        const QRect area = rect().adjusted(kCellTextMargin, 0, -kCellTextMargin, 0);
        painter.drawText(
            area, int(Qt::AlignLeft | Qt::AlignVCenter) | Qt::TextSingleLine,
            fontMetrics().elidedText(m_text, Qt::ElideRight, area.width(), Qt::TextSingleLine));
    } else {
        const int frame = 1 + kPopupPadding;
        painter.drawText(rect().adjusted(frame, frame, -frame, -frame),
                         int(Qt::AlignLeft | Qt::AlignTop) | m_wrap, m_text);
    }
}

// ---------------------------------------------------------------------------

class ForecastHeader : public QHeaderView {
public:
    ForecastHeader(const FlagImages &flags, QWidget *parent)
        : QHeaderView(Qt::Horizontal, parent), m_flags(flags)
    {
    }

    void setSortMark(int column, Qt::SortOrder order)
    {
        m_sortColumn = column;
        m_order = order;
        viewport()->update();
    }

    QSize sizeHint() const override { return {length(), kHeaderHeight}; }

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        painter->save();
        painter->fillRect(rect, QColor::fromRgb(kHeaderBackground));
        painter->setPen(systemColor(SystemColor::GrayText, palette()));
        painter->drawLine(rect.topRight(), rect.bottomRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());

        const QRect inner = rect.adjusted(0, 0, -1, -1);
        int contentRight;
        if (logicalIndex == Flag) {
            const QPixmap flag = m_flags.headerPixmap(painter->device()->devicePixelRatio());
            const QSize size = flag.deviceIndependentSize().toSize();
            const QPoint at(inner.left() + (inner.width() - size.width()) / 2,
                            inner.top() + (inner.height() - size.height()) / 2);
            painter->drawPixmap(at, flag);
            contentRight = at.x() + size.width();
        } else {
            const QString caption = QString::fromUtf16(columnLook(logicalIndex).caption);
            const int width = m_captionMetrics.horizontalAdvance(caption);
            const int left = inner.left() + (inner.width() - width) / 2;
            painter->setFont(m_captionFont);
            painter->setPen(QColor::fromRgb(kHeaderInk));
            painter->drawText(QRect(left, inner.top(), width, inner.height()),
                              int(Qt::AlignLeft | Qt::AlignVCenter) | Qt::TextSingleLine, caption);
            contentRight = left + width;
        }

        if (logicalIndex == m_sortColumn) {
            if (const std::optional<QRect> mark = sortMarkRect(rect, contentRight)) {
                const QRectF box(*mark);
                const bool up = m_order == Qt::AscendingOrder;
                const QPointF tip(box.center().x(), up ? box.top() : box.bottom());
                const qreal base = up ? box.bottom() : box.top();
                const QPointF points[3] = {tip, {box.left(), base}, {box.right(), base}};
                painter->setRenderHint(QPainter::Antialiasing);
                painter->setPen(Qt::NoPen);
                painter->setBrush(QColor::fromRgb(kHeaderInk));
                painter->drawPolygon(points, 3);
            }
        }
        painter->restore();
    }

private:
    const FlagImages &m_flags;
    QFont m_captionFont = forecastCellFont(true);
    QFontMetrics m_captionMetrics{m_captionFont};
    int m_sortColumn = -1;
    Qt::SortOrder m_order = Qt::AscendingOrder;
};

// ---------------------------------------------------------------------------

ForecastGrid::ForecastGrid(QWidget *parent)
    : QTableView(parent), m_model(new ForecastGridModel(this)),
      m_header(new ForecastHeader(m_flags, this))
{
    setFont(forecastCellFont(false));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);

    setHorizontalHeader(m_header);
    setModel(m_model);
    setItemDelegate(new TextDelegate(this));
    setItemDelegateForColumn(Flag, new FlagDelegate(m_flags, this));

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

    m_header->setMinimumSectionSize(0);
    m_header->setSectionResizeMode(QHeaderView::Fixed);
    m_header->setStretchLastSection(false);
    m_header->setSectionsMovable(false);
    m_header->setSectionsClickable(true);
    m_header->setHighlightSections(false);
    m_header->setFixedHeight(kHeaderHeight);
    for (int column = 0; column < ColumnCount; ++column) {
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

void ForecastGrid::showCellPopup(const QHelpEvent &event)
{
    const QModelIndex index = indexAt(event.pos());
    if (!index.isValid()) {
        hideCellPopup();
        return;
    }
    const int column = index.column();
    const ForecastColumnLook &look = columnLook(column);
    const QString text = m_model->text(column, index.row());
    const QString hint = m_model->hint(column, index.row());
    const QFont font = forecastCellFont(look.bold);
    const QRect cell = cellRect(column, index.row());
    const CellPopupPlan plan =
        planCellPopup(isActiveWindow(), cell, rect(), look.fullTextOnHover,
                      QFontMetrics(font).horizontalAdvance(text), !hint.isEmpty());
    if (plan.kind == CellPopupPlan::None) {
        hideCellPopup();
        return;
    }
    if (!m_popup)
        m_popup = new CellPopup(this);
    if (plan.kind == CellPopupPlan::FullText)
        m_popup->showFullText(QRect(mapToGlobal(plan.rect.topLeft()), plan.rect.size()), text,
                              font);
    else
        m_popup->showHint(mapToGlobal(plan.topLeft), plan.maxWidth, hint, forecastCellFont(false));
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
