#pragma once

#include <QBasicTimer>
#include <QByteArray>
#include <QRect>
#include <QWidget>
#include <algorithm>

class QKeyEvent;

namespace orvane {

struct SkinElement;

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

    QByteArray text() const { return m_text; }
    // Replaces the text whole: the caret goes to its end, nothing is selected.
    void setText(const QByteArray &text);

    qsizetype cursorPosition() const { return m_caret; }
    void setCursorPosition(qsizetype position);
    qsizetype selectionStart() const { return std::min(m_anchor, m_caret); }
    qsizetype selectionLength() const { return std::max(m_anchor, m_caret) - selectionStart(); }
    // Selects `length` characters from `start`, with the caret at their end.
    void setSelection(qsizetype start, qsizetype length);
    // The index of the character drawn in the first cell.
    qsizetype firstVisible() const { return m_first; }

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
    enum class KeyAction {
        None, // not the box's: let the window have it
        Swallow,
        Left,
        Right,
        WordLeft,
        WordRight,
        Home,
        End,
        Backspace,
        Delete,
        Paste,
        Type,
    };
    static KeyAction actionFor(const QKeyEvent &event);

    const SkinElement *element() const;
    QRect textArea() const;
    int cellWidth() const;
    QColor markerColor() const;

    qsizetype boundaryAt(qreal x) const;
    qsizetype characterAt(qreal x) const;
    qsizetype wordStart(qsizetype position) const;
    qsizetype wordEnd(qsizetype position) const;

    void moveCaret(qsizetype position, bool extend);
    void replaceSelection(const QByteArray &bytes);
    void insertTyped(const QString &typed);
    void scrollToCaret();
    void restartBlink();

    QByteArray m_text;
    qsizetype m_caret = 0;
    qsizetype m_anchor = 0;
    qsizetype m_first = 0;
    bool m_hovered = false;
    bool m_selecting = false; // the left button went down in the box and is held
    bool m_caretShown = false;
    QBasicTimer m_blink;
};

} // namespace orvane
