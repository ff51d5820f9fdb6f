#pragma once

#include "table/league_flags.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>
#include <array>
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

    // Cells outside the table are ignored. The flag column keeps no text, the
    // other columns no image index.
    void setText(int column, int row, const QString &text);
    void setImageIndex(int column, int row, int index);
    // An invalid colour gives the cell the window colour again.
    void setBackground(int column, int row, const QColor &color);
    void setHint(int column, int row, const QString &hint);

    QString text(int column, int row) const;
    int imageIndex(int row) const;
    // Invalid while the cell has the window colour.
    QColor background(int column, int row) const;
    QString hint(int column, int row) const;

private:
    struct Row {
        std::array<QString, ColumnCount> text;
        std::array<QString, ColumnCount> hint;
        std::array<QRgb, ColumnCount> background{}; // alpha 0: the window colour
        int imageIndex = 0;
    };

    bool holds(int column, int row) const;
    void changed(int column, int row, const QList<int> &roles);

    std::vector<Row> m_rows;
    QPalette m_palette;
    FlagImages m_flags;
    QFont m_regular;
    QFont m_bold;
};

} // namespace orvane
