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

// A frameless pop-up over or beside a cell; it never takes focus. It stays
// while the pointer is on its cell: should the pointer reach the pop-up
// itself and leave the cell, or press, scroll or type there, the pop-up
// closes and says so.
class CellPopup : public QWidget {
    Q_OBJECT
public:
    explicit CellPopup(QWidget *owner);

    // Geometry in global coordinates; `cell` is the cell the pop-up belongs to.
    void showFullText(const QRect &cell, const QRect &rect, const QString &text, const QFont &font);
    void showHint(const QRect &cell, const QPoint &topLeft, int maxWidth, const QString &hint,
                  const QFont &font);

    CellPopupPlan::Kind kind() const { return m_kind; }
    QString text() const { return m_text; }
    QRect cell() const { return m_cell; }

signals:
    void dismissed();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void dismiss();

    CellPopupPlan::Kind m_kind = CellPopupPlan::None;
    QString m_text;
    QRect m_cell;
    int m_wrap = 0;
};

} // namespace orvane
