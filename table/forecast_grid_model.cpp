#include "table/forecast_grid_model.h"

#include "table/forecast_columns.h"

#include <QBrush>
#include <QGuiApplication>
#include <QIcon>
#include <algorithm>
#include <string_view>

namespace orvane {

namespace {

bool validColumn(int column)
{
    return column >= 0 && column < ForecastGridModel::ColumnCount;
}

std::u16string_view units(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size())};
}

const QList<int> kTextRoles{Qt::DisplayRole};
const QList<int> kImageRoles{ForecastGridModel::ImageIndexRole, Qt::DecorationRole};
const QList<int> kBackgroundRoles{Qt::BackgroundRole};
const QList<int> kHintRoles{ForecastGridModel::HintRole};
const QList<int> kPaletteRoles{Qt::ForegroundRole, Qt::BackgroundRole};

QVariant alignment(Qt::Alignment horizontal)
{
    return QVariant::fromValue(horizontal | Qt::AlignVCenter);
}

QVariant iconOrNothing(const QIcon &icon)
{
    return icon.isNull() ? QVariant() : QVariant(icon);
}

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

ForecastGridModel::ForecastGridModel(QObject *parent)
    : QAbstractTableModel(parent), m_palette(QGuiApplication::palette()),
      m_regular(forecastCellFont(false)), m_bold(forecastCellFont(true))
{
}

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
    case Qt::DecorationRole:
        return column == Flag ? iconOrNothing(m_flags.icon(row.imageIndex)) : QVariant();
    case ImageIndexRole:
        return column == Flag ? QVariant(row.imageIndex) : QVariant();
    case HintRole:
        return row.hint[column];
    case Qt::AccessibleTextRole:
        // A screen reader cannot see the flag: it reads the league the flag stands for.
        return column == Flag ? QVariant(row.hint[column]) : QVariant();
    case Qt::BackgroundRole:
        return QBrush(qAlpha(row.background[column]) ? QColor::fromRgb(row.background[column])
                                                     : systemColor(SystemColor::Window, m_palette));
    case Qt::ForegroundRole:
        return QBrush(columnInk(column, m_palette));
    case Qt::FontRole:
        return columnLook(column).bold ? m_bold : m_regular;
    case Qt::TextAlignmentRole:
        return alignment(columnLook(column).alignment);
    default:
        return {};
    }
}

QVariant ForecastGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || !validColumn(section))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromUtf16(columnLook(section).caption);
    case Qt::DecorationRole:
        return section == Flag ? iconOrNothing(m_flags.headerIcon()) : QVariant();
    case Qt::AccessibleTextRole:
        return section == Flag ? QVariant(QStringLiteral("League")) : QVariant();
    case Qt::FontRole:
        return m_bold;
    case Qt::ForegroundRole:
        return QBrush(QColor::fromRgb(kHeaderInk));
    case Qt::BackgroundRole:
        return QBrush(QColor::fromRgb(kHeaderBackground));
    case Qt::TextAlignmentRole:
        return alignment(Qt::AlignHCenter);
    default:
        return {};
    }
}

Qt::ItemFlags ForecastGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

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

void ForecastGridModel::setPalette(const QPalette &palette)
{
    if (palette == m_palette)
        return;
    m_palette = palette;
    if (!m_rows.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1), kPaletteRoles);
}

void ForecastGridModel::setFlagImages(const FlagImages &images)
{
    m_flags = images;
    if (!m_rows.empty())
        emit dataChanged(index(0, Flag), index(rowCount() - 1, Flag), {Qt::DecorationRole});
    emit headerDataChanged(Qt::Horizontal, Flag, Flag);
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

} // namespace orvane
