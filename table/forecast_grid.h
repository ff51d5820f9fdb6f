#pragma once

#include "desktop_colors.h"
#include "league_flags.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QTableView>
#include <QWidget>
#include <array>
#include <optional>
#include <vector>

class QHelpEvent;

namespace orvane {

// Index = place from left to right.
enum ForecastColumn {
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

// The table's font: Arial with a 14-pixel cell.
QFont forecastCellFont(bool bold);

// The fixed look of one column.
struct ForecastColumnLook {
    const char16_t *caption; // empty for the flag column, whose header is a picture
    int width;
    Qt::Alignment alignment;
    bool bold;
    std::optional<SystemColor> systemInk; // the text colour, when it follows the desktop
    QRgb ink;                             // otherwise
    bool shown;
    bool fullTextOnHover;
};
const ForecastColumnLook &columnLook(int column);
QColor columnInk(int column, const QPalette &palette);

inline constexpr int kHeaderHeight = 18;
inline constexpr int kRowHeight = 16;
inline constexpr int kCellTextMargin = 2;
// A text fits its cell when the column is at least this much wider than the
// text: both margins and the grid line.
inline constexpr int kTextFitSlack = 5;
inline constexpr int kHintRise = 20;
inline constexpr int kHintMaxWidth = 250;
inline constexpr int kSortMarkWidth = 8;
inline constexpr int kSortMarkHeight = 4;
inline constexpr int kSortMarkGap = 4;

// The rows of the table: every cell holds a text, a background and a hint;
// the flag column holds an image index in place of a text. Not editable.
class ForecastGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
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
};

// What resting the pointer on a cell shows.
struct CellPopupPlan {
    enum Kind { None, FullText, Hint };
    Kind kind = None;
    QRect rect;       // FullText: laid over the cell
    QPoint topLeft;   // Hint: its top-left corner
    int maxWidth = 0; // Hint: it wraps within this width
};

// `cell` (the whole section, grid line included) and `table` are in the
// table's coordinates; `textWidth` is the advance of the cell's text in the
// column's font.
CellPopupPlan planCellPopup(bool windowActive, const QRect &cell, const QRect &table,
                            bool fullTextColumn, int textWidth, bool hasHint);

// Where the sort triangle goes in a header section whose content (caption or
// picture) ends at `contentRight` (exclusive); nothing when it does not fit.
std::optional<QRect> sortMarkRect(const QRect &section, int contentRight);

// A frameless pop-up over or beside a cell; it never takes focus or input.
class CellPopup : public QWidget {
    Q_OBJECT
public:
    explicit CellPopup(QWidget *owner);

    // Geometry in global coordinates.
    void showFullText(const QRect &rect, const QString &text, const QFont &font);
    void showHint(const QPoint &topLeft, int maxWidth, const QString &hint, const QFont &font);

    CellPopupPlan::Kind kind() const { return m_kind; }
    QString text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CellPopupPlan::Kind m_kind = CellPopupPlan::None;
    QString m_text;
    int m_wrap = 0;
};

class ForecastHeader;

// The forecast table `NG`: a view over its own ForecastGridModel that sets up
// its columns, look, sorting and pop-ups by itself.
class ForecastGrid : public QTableView {
    Q_OBJECT
public:
    explicit ForecastGrid(QWidget *parent = nullptr);
    ~ForecastGrid() override;

    void ClearRows();
    void AddRow();
    int RowCount() const;
    void SetCellText(int column, int row, const QString &text);
    void SetCellImageIndex(int column, int row, int index);
    void SetCellColor(int column, int row, const QColor &color);
    void SetCellHint(int column, int row, const QString &hint);
    ForecastGridModel *gridModel() const;

    const FlagImages &flagImages() const { return m_flags; }

    // A click on a shown column's header: the first time ascending, again on
    // the sort column reverses it; each column keeps its own direction.
    void sortByHeaderClick(int column);
    int sortColumn() const { return m_sortColumn; } // -1 until the first click
    Qt::SortOrder sortOrder() const;

    // The cell's whole section in the table's coordinates.
    QRect cellRect(int column, int row) const;
    // Null until the first pop-up.
    const CellPopup *cellPopup() const { return m_popup; }

protected:
    bool viewportEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showCellPopup(const QHelpEvent &event);
    void hideCellPopup();

    FlagImages m_flags;
    ForecastGridModel *m_model;
    ForecastHeader *m_header;
    CellPopup *m_popup = nullptr;
    int m_popupRow = -1;
    int m_popupColumn = -1;
    int m_sortColumn = -1;
    std::array<std::optional<Qt::SortOrder>, ColumnCount> m_directions{};
};

} // namespace orvane
