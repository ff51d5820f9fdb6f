#pragma once

#include "table/cell_popup.h"
#include "table/forecast_grid_model.h"
#include "table/league_flags.h"

#include <QColor>
#include <QRect>
#include <QString>
#include <QTableView>
#include <array>
#include <optional>

class QHelpEvent;

namespace orvane {

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

    // The pictures of the flag column; until they are set it shows none.
    void setFlagImages(const FlagImages &images);

    // A click on a shown column's header: the first time ascending, again on
    // the sort column reverses it; each column keeps its own direction.
    void sortByHeaderClick(int column);
    int sortColumn() const { return m_sortColumn; } // -1 until the first click
    Qt::SortOrder sortOrder() const;

    // The cell's whole section in the table's coordinates.
    QRect cellRect(int column, int row) const;
    // Null until the first pop-up.
    CellPopup *cellPopup() const { return m_popup; }

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
    bool pointerOnPopupCell() const;

    ForecastGridModel *m_model;
    ForecastHeader *m_header;
    CellPopup *m_popup = nullptr;
    int m_popupRow = -1;
    int m_popupColumn = -1;
    int m_sortColumn = -1;
    std::array<std::optional<Qt::SortOrder>, ForecastGridModel::ColumnCount> m_directions{};
};

} // namespace orvane
