#pragma once

#include "service/match_record.h"
#include "table/league_flags.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>
#include <array>
#include <deque>
#include <vector>

namespace orvane {

// The rows of the forecast table: every cell holds a text, a background and a
// hint; the flag column holds an image index in place of a text. It serves
// everything a cell or a header section is painted from as roles. Not
// editable.
class ForecastGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Index = place from left to right.
    enum Column {
        Id,
        Sport,
        Flag,
        Time,
        Home,
        Away,
        Bet,
        Odd,
        Orvane,
        Score,
        Rez,
        Profit,
        ColumnCount
    };
    enum Role { HintRole = Qt::UserRole, ImageIndexRole };

    explicit ForecastGridModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Stable: rows whose keys are equal keep their order. Texts compare by
    // UTF-16 code units, with no regard to locale; the flag column by index.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The desktop colours of inks and backgrounds come from this palette.
    void setPalette(const QPalette &palette);
    // The pictures of the flag column and of its header; without any, both
    // show nothing.
    void setFlagImages(const FlagImages &images);

    void clearRows();
    // A new row: empty texts and hints, image 0, window-coloured backgrounds.
    void appendRow();

private:
    // A cell's text or hint: nothing, a string of the table's strings, or a
    // range of the row's bytes.
    struct Text {
        static constexpr qint32 kNone = -1;
        static constexpr qint32 kString = -2;
        qint32 at = 0;       // the string's index, or the range's first byte
        qint32 size = kNone; // >= 0: the range's length
    };
    struct Row {
        QByteArray bytes; // shared: what the encoded texts are ranges of
        std::array<Text, ColumnCount> text{};
        std::array<Text, ColumnCount> hint{};
        std::array<QRgb, ColumnCount> background{}; // alpha 0: the window colour
        int imageIndex = 0;
        quint16 decimalComma = 0; // one bit per column whose text shows "." as ","
    };

public:
    // A row filled before it joins the table, then appended whole: one
    // insertion and no change per cell, which is most of the cost of filling a
    // large table. The setters follow the table's own.
    class NewRow {
    public:
        void setText(int column, const QString &text);
        void setEncodedText(int column, const QByteArray &bytes, MatchRecord::Range range,
                            bool decimalComma = false);
        void setImageIndex(int index);
        void setBackground(int column, const QColor &color);
        void setHint(int column, const QString &hint);
        void setEncodedHint(int column, const QByteArray &bytes, MatchRecord::Range range);

    private:
        friend class ForecastGridModel;
        Row m_row;
        std::vector<QString> m_strings;
    };
    void appendRow(NewRow &&row);

    // Cells outside the table are ignored. The flag column keeps no text, the
    // other columns no image index.
    void setText(int column, int row, const QString &text);
    void setImageIndex(int column, int row, int index);
    // An invalid colour gives the cell the window colour again.
    void setBackground(int column, int row, const QColor &color);
    void setHint(int column, int row, const QString &hint);
    // A text or hint kept as the Windows-1251 bytes `range` of the shared
    // `bytes` and decoded only when asked for: the rows of a large reply then
    // cost no string per cell. With `decimalComma` each "." shows as ",".
    // A row keeps ranges of one buffer; a text from another is decoded at once.
    void setEncodedText(int column, int row, const QByteArray &bytes, MatchRecord::Range range,
                        bool decimalComma = false);
    void setEncodedHint(int column, int row, const QByteArray &bytes, MatchRecord::Range range);

    QString text(int column, int row) const;
    int imageIndex(int row) const;
    // Invalid while the cell has the window colour.
    QColor background(int column, int row) const;
    QString hint(int column, int row) const;

private:
    bool holds(int column, int row) const;
    void changed(int column, int row, const QList<int> &roles);
    QString decoded(const Row &row, const Text &cell, bool decimalComma = false) const;
    QString textOf(const Row &row, int column) const;

    // A deque: rows never move as it grows, so a large load does not hold
    // two copies of the table at once.
    std::deque<Row> m_rows;
    // Texts given as strings. A cell that is given a string again reuses its
    // slot; the rest go with clearRows().
    std::vector<QString> m_strings;
    QPalette m_palette;
    FlagImages m_flags;
    QFont m_regular;
    QFont m_bold;
};

} // namespace orvane
