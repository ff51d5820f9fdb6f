#include "table/forecast_grid_model.h"

#include "service/text_codec.h"
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

// Texts compare by UTF-16 code units, with no regard to locale.
struct ByUnits {
    bool operator()(const QString &a, const QString &b) const { return units(a) < units(b); }
};

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

// Row indices in a stable order of their keys. The keys are made side by
// side first, so the comparisons do not stride over whole rows.
template <typename KeyOf, typename Less = std::less<>>
void sortedPlaces(std::vector<int> &place, Qt::SortOrder order, KeyOf keyOf, Less less = {})
{
    using Key = decltype(keyOf(size_t()));
    std::vector<std::pair<Key, int>> keys;
    keys.reserve(place.size());
    for (size_t i = 0; i < place.size(); ++i)
        keys.emplace_back(keyOf(i), int(i));
    if (order == Qt::AscendingOrder)
        std::stable_sort(keys.begin(), keys.end(),
                         [less](const auto &a, const auto &b) { return less(a.first, b.first); });
    else
        std::stable_sort(keys.begin(), keys.end(),
                         [less](const auto &a, const auto &b) { return less(b.first, a.first); });
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
        return column == Flag ? QVariant() : QVariant(textOf(row, column));
    case Qt::DecorationRole:
        return column == Flag ? iconOrNothing(m_flags.icon(row.imageIndex)) : QVariant();
    case ImageIndexRole:
        return column == Flag ? QVariant(row.imageIndex) : QVariant();
    case HintRole:
        return decoded(row, row.hint[column]);
    case Qt::AccessibleTextRole:
        // A screen reader cannot see the flag: it reads the league the flag stands for.
        return column == Flag ? decoded(row, row.hint[column]) : QVariant();
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
        sortedPlaces(
            place, order, [this, column](size_t i) { return textOf(m_rows[i], column); },
            ByUnits());
    }

    bool moved = false;
    for (size_t i = 0; i < place.size() && !moved; ++i)
        moved = place[i] != int(i);
    if (!moved)
        return;

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::deque<Row> sorted;
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
    m_strings.clear();
    endResetModel();
}

void ForecastGridModel::appendRow()
{
    appendRow(NewRow());
}

void ForecastGridModel::appendRow(NewRow &&row)
{
    const auto offset = qint32(m_strings.size());
    for (auto *cells : {&row.m_row.text, &row.m_row.hint}) {
        for (Text &cell : *cells) {
            if (cell.size == Text::kString)
                cell.at += offset;
        }
    }
    m_strings.insert(m_strings.end(), std::make_move_iterator(row.m_strings.begin()),
                     std::make_move_iterator(row.m_strings.end()));
    const int at = int(m_rows.size());
    beginInsertRows({}, at, at);
    m_rows.push_back(std::move(row.m_row));
    endInsertRows();
}

namespace {

// The cell setters, shared by the rows of the table and a row being made.

bool inside(const QByteArray &bytes, MatchRecord::Range range)
{
    return range.begin >= 0 && range.size >= 0 && range.begin <= bytes.size() - range.size;
}

template <typename Text>
void putString(Text &cell, std::vector<QString> &strings, const QString &text)
{
    if (cell.size == Text::kString) {
        strings[size_t(cell.at)] = text;
        return;
    }
    cell = {qint32(strings.size()), Text::kString};
    strings.push_back(text);
}

QString decodeNow(const QByteArray &bytes, MatchRecord::Range range, bool decimalComma)
{
    if (!inside(bytes, range))
        return {};
    QString text = fromCp1251(QByteArrayView(bytes).sliced(range.begin, range.size));
    if (decimalComma)
        text.replace(u'.', u',');
    return text;
}

// Keeps the range when the row's encoded texts come from the same bytes;
// false when the text must be decoded now.
template <typename Row, typename Text>
bool putRange(Row &row, Text &cell, const QByteArray &bytes, MatchRecord::Range range)
{
    if (!inside(bytes, range))
        return false;
    if (row.bytes.isNull())
        row.bytes = bytes;
    if (row.bytes.constData() != bytes.constData())
        return false;
    cell = {range.begin, range.size};
    return true;
}

quint16 columnBit(int column)
{
    return quint16(1u << column);
}

template <typename Row>
void putText(Row &row, std::vector<QString> &strings, int column, const QString &text)
{
    putString(row.text[column], strings, text);
    row.decimalComma &= quint16(~columnBit(column));
}

template <typename Row>
void putEncodedText(Row &row, std::vector<QString> &strings, int column, const QByteArray &bytes,
                    MatchRecord::Range range, bool decimalComma)
{
    if (!putRange(row, row.text[column], bytes, range)) {
        putText(row, strings, column, decodeNow(bytes, range, decimalComma));
        return;
    }
    if (decimalComma)
        row.decimalComma |= columnBit(column);
    else
        row.decimalComma &= quint16(~columnBit(column));
}

template <typename Row>
void putEncodedHint(Row &row, std::vector<QString> &strings, int column, const QByteArray &bytes,
                    MatchRecord::Range range)
{
    if (!putRange(row, row.hint[column], bytes, range))
        putString(row.hint[column], strings, decodeNow(bytes, range, false));
}

QRgb backgroundValue(const QColor &color)
{
    return color.isValid() ? color.rgb() : QRgb(0);
}

} // namespace

void ForecastGridModel::NewRow::setText(int column, const QString &text)
{
    if (validColumn(column) && column != Flag)
        putText(m_row, m_strings, column, text);
}

void ForecastGridModel::NewRow::setEncodedText(int column, const QByteArray &bytes,
                                               MatchRecord::Range range, bool decimalComma)
{
    if (validColumn(column) && column != Flag)
        putEncodedText(m_row, m_strings, column, bytes, range, decimalComma);
}

void ForecastGridModel::NewRow::setImageIndex(int index)
{
    m_row.imageIndex = index;
}

void ForecastGridModel::NewRow::setBackground(int column, const QColor &color)
{
    if (validColumn(column))
        m_row.background[column] = backgroundValue(color);
}

void ForecastGridModel::NewRow::setHint(int column, const QString &hint)
{
    if (validColumn(column))
        putString(m_row.hint[column], m_strings, hint);
}

void ForecastGridModel::NewRow::setEncodedHint(int column, const QByteArray &bytes,
                                               MatchRecord::Range range)
{
    if (validColumn(column))
        putEncodedHint(m_row, m_strings, column, bytes, range);
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

QString ForecastGridModel::decoded(const Row &row, const Text &cell, bool decimalComma) const
{
    if (cell.size == Text::kString)
        return m_strings[size_t(cell.at)];
    if (cell.size < 0)
        return {};
    QString text = fromCp1251(QByteArrayView(row.bytes).sliced(cell.at, cell.size));
    if (decimalComma)
        text.replace(u'.', u',');
    return text;
}

QString ForecastGridModel::textOf(const Row &row, int column) const
{
    return decoded(row, row.text[column], row.decimalComma & columnBit(column));
}

void ForecastGridModel::setText(int column, int row, const QString &text)
{
    if (!holds(column, row) || column == Flag)
        return;
    putText(m_rows[size_t(row)], m_strings, column, text);
    changed(column, row, kTextRoles);
}

void ForecastGridModel::setEncodedText(int column, int row, const QByteArray &bytes,
                                       MatchRecord::Range range, bool decimalComma)
{
    if (!holds(column, row) || column == Flag)
        return;
    putEncodedText(m_rows[size_t(row)], m_strings, column, bytes, range, decimalComma);
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
    m_rows[size_t(row)].background[column] = backgroundValue(color);
    changed(column, row, kBackgroundRoles);
}

void ForecastGridModel::setHint(int column, int row, const QString &hint)
{
    if (!holds(column, row))
        return;
    putString(m_rows[size_t(row)].hint[column], m_strings, hint);
    changed(column, row, kHintRoles);
}

void ForecastGridModel::setEncodedHint(int column, int row, const QByteArray &bytes,
                                       MatchRecord::Range range)
{
    if (!holds(column, row))
        return;
    putEncodedHint(m_rows[size_t(row)], m_strings, column, bytes, range);
    changed(column, row, kHintRoles);
}

QString ForecastGridModel::text(int column, int row) const
{
    return holds(column, row) ? textOf(m_rows[size_t(row)], column) : QString();
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
    return holds(column, row) ? decoded(m_rows[size_t(row)], m_rows[size_t(row)].hint[column])
                              : QString();
}

} // namespace orvane
