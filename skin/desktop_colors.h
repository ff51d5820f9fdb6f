#pragma once

#include <QColor>
#include <QPalette>

namespace orvane {

// The desktop colours the window definition names by their system index.
enum class SystemColor {
    WindowText,
    Window, // the background of text boxes and lists
    BtnFace,
    BtnText,
    BtnShadow,
    BtnHighlight, // the lit edge of a button
    GrayText,
    Highlight,
    HighlightText,
    ActiveCaption,
};

// The one place where a desktop colour becomes a QColor: the palette's role
// where Qt has one, the classic desktop value where it has none.
QColor systemColor(SystemColor color, const QPalette &palette);

} // namespace orvane
