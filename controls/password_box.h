#pragma once

#include "controls/password_line.h"

#include <QBasicTimer>
#include <QByteArray>
#include <QRect>
#include <QWidget>

namespace orvane {

// A password box that draws a rounded marker for every character and edits its
// own text. The text is 8-bit Windows-1251, byte for byte as it goes into the
// login request. It never leaves the box other than through text(): no copy,
// no cut, no drag, no context menu, nothing for input methods or assistive
// technology to read.
class PasswordBox : public QWidget {
    Q_OBJECT
public:
    explicit PasswordBox(QWidget *parent = nullptr);
    ~PasswordBox() override;

    QByteArray text() const { return m_line.text(); }
    // Replaces the text whole: the caret goes to its end, nothing is selected.
    void setText(const QByteArray &text);

    qsizetype cursorPosition() const { return m_line.caret(); }
    void setCursorPosition(qsizetype position);
    qsizetype selectionStart() const { return m_line.selectionStart(); }
    qsizetype selectionLength() const { return m_line.selectionLength(); }
    // Selects `length` characters from `start`, with the caret at their end.
    void setSelection(qsizetype start, qsizetype length);
    // The index of the character drawn in the first cell.
    qsizetype firstVisible() const { return m_line.first(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

signals:
    // The user changed the text (typing, deleting, pasting); not sent by setText().
    void textEdited();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    QRect textArea() const;
    int cellWidth() const;
    QColor markerColor() const;

    // Tells the line how many cells the box shows now.
    void fit();
    qreal cellsAt(qreal x) const;
    void restartBlink();

    PasswordLine m_line;
    bool m_hovered = false;
    bool m_selecting = false; // the left button went down in the box and is held
    bool m_caretShown = false;
    QBasicTimer m_blink;
};

} // namespace orvane
