#pragma once

#include "skin/skin.h"

#include <QAbstractButton>
#include <QStyle>
#include <memory>

namespace orvane {

// A button of the frame's caption bar: the system menu, minimize or close.
// It never takes the focus and shows no tool tip; a click is raised only when
// the left button is released over it.
class CaptionButton : public QAbstractButton {
    Q_OBJECT
public:
    // `piece` is the button's picture in the skin, or null to draw it plainly
    // with `plainIcon`.
    CaptionButton(QStyle::StandardPixmap plainIcon, QWidget *parent);

    void setSkinPiece(std::shared_ptr<const Skin> skin, const SkinPiece *piece);
    // Forgets hover and press, as after the window has been dragged away under it.
    void resetState();

    QSize sizeHint() const override;
    SkinState state() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    QStyle::StandardPixmap m_plainIcon;
    std::shared_ptr<const Skin> m_skin;
    const SkinPiece *m_piece = nullptr;
};

} // namespace orvane
