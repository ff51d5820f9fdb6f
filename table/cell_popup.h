#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

namespace orvane {

inline constexpr int kHintRise = 20;
inline constexpr int kHintMaxWidth = 250;

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

} // namespace orvane
