#pragma once

#include "skin/skin.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QMenu;
class QStyle;

namespace orvane {

class CaptionButton;
class SkinStyle;

// A top-level window with a frame of its own: caption bar and borders drawn
// from the skin's frame picture (or plainly without a skin), the outline cut by
// the skin's mask, the system-menu, minimize and close buttons, and a system
// menu with "Mi&nimize" and "&Close". The client area has a fixed size; the
// window cannot be resized or maximized and moves only by its caption bar.
class SkinnedWindow : public QWidget {
    Q_OBJECT
public:
    enum class FrameButton { SystemMenu, Minimize, Close };

    explicit SkinnedWindow(QWidget *parent = nullptr);
    ~SkinnedWindow() override;

    // Draws the frame and every widget inside with `skin`; null draws them plainly.
    void setSkin(std::shared_ptr<const Skin> skin);
    const Skin *skin() const { return m_skin.get(); }
    QStyle *skinStyle() const;

    // The client area's size; the window's size follows from it and the frame.
    void setClientSize(QSize size);
    QRect clientRect() const;
    QMargins frameThickness() const;
    QRect captionRect() const; // where the caption text is centred

    CaptionButton *frameButton(FrameButton which) const;
    // Whether `at` (in window coordinates) lies on one of the frame's buttons.
    bool isFrameControlAt(QPoint at) const;
    QMenu *systemMenu() const { return m_systemMenu; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void layoutFrame();
    void cutOutline();
    void applyStyle(QWidget *root);
    void openSystemMenu();
    void resetFrameButtons();
    bool inCaptionBar(QPoint at) const;

    std::shared_ptr<const Skin> m_skin;
    std::unique_ptr<SkinStyle> m_style;
    QSize m_clientSize{0, 0};
    CaptionButton *m_systemButton;
    CaptionButton *m_minimizeButton;
    CaptionButton *m_closeButton;
    QMenu *m_systemMenu;
    bool m_centred = false;
    QSize m_maskSize; // the size, and the skin, the outline was last cut for
    const Skin *m_maskSkin = nullptr;
    // A press on the caption bar, until it becomes a move or is released.
    std::optional<QPoint> m_pressAt;  // in window coordinates
    std::optional<QPoint> m_dragFrom; // a move of our own, without a window manager
};

} // namespace orvane
