#pragma once

#include "skin/deferred_image.h"
#include "skin/desktop_font.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QList>
#include <QMargins>
#include <QRect>
#include <QString>
#include <array>
#include <optional>

namespace orvane {

enum class SkinState { Normal, Hovered, Pressed, Disabled };

// Which of its sizes a control may take from its element's picture.
enum class SkinStretch {
    Any,    // fits any size
    Width,  // any width at the element's own height
    Height, // any height at the element's own width
    Fixed,  // the element's own size only
};

// One picture of the skin, at 1x and (when the skin has it) at 2x.
struct SkinPicture {
    QString file;
    QImage image;
    DeferredImage image2x; // null when the skin has no high-density variant
};

// A rectangle of one picture per state, drawn as nine slices: the corners
// keep their size, the edges and the centre stretch.
struct SkinPiece {
    int picture = -1;
    std::array<QRect, 4> rects{}; // by SkinState; an empty one falls back to Normal
    QMargins slices;

    QRect rect(SkinState state) const;
    QSize size() const { return rects[0].size(); }
};

struct SkinElement {
    QHash<QByteArray, SkinPiece> pieces; // "face" for most; "tab", "selected", "frame" ...
    SkinStretch stretch = SkinStretch::Any;
    std::optional<DesktopFontSpec> font;
    QHash<QByteArray, QColor> colors; // "color", "hovercolor", "activecolor", "disabledcolor" ...
    QMargins content;                 // inner area left for text and children

    const SkinPiece *piece(QByteArrayView name = "face") const;
    std::optional<QColor> color(QByteArrayView name) const;
    // The size the height rule gives a control of `size` drawn with this element.
    QSize fitted(QSize size) const;
};

// A button of the frame's caption bar.
struct SkinFrameButton {
    SkinPiece piece;
    bool fromRight = true; // placed from the right edge, else from the left
    QPoint offset;         // from that top corner of the window to the button's
    bool visible = true;
};

// Where the caption text is centred: insets from the window's left and right
// edges, and a band from `top` of `height` pixels.
struct SkinCaptionBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int height = 0;

    friend bool operator==(const SkinCaptionBox &, const SkinCaptionBox &) = default;
};

struct SkinFrame {
    SkinPiece face;  // the frame picture, sliced
    int mask = -1;   // one-bit picture of the same size as the face: black is the window
    QMargins client; // the frame's thickness around the client area
    SkinCaptionBox caption;
    DesktopFontSpec captionFont;
    QColor captionActive;
    QColor captionInactive;
    QHash<QByteArray, SkinFrameButton> buttons; // "sysmenu", "minimize", "maximize", "close"
};

// A skin: pictures, a frame, control elements by name and colours.
struct Skin {
    QString name;
    QList<SkinPicture> pictures;
    SkinFrame frame;
    QHash<QByteArray, SkinElement> elements;
    QHash<QByteArray, QColor> colors;

    const SkinElement *element(QByteArrayView elementName) const;
    const SkinPicture *picture(int index) const;
};

} // namespace orvane
