#include "skin/desktop_colors.h"

namespace orvane {

QColor systemColor(SystemColor color, const QPalette &palette)
{
    switch (color) {
    case SystemColor::WindowText:
        return palette.color(QPalette::WindowText);
    case SystemColor::Window:
        return palette.color(QPalette::Base);
    case SystemColor::BtnFace:
        return palette.color(QPalette::Window);
    case SystemColor::BtnText:
        return palette.color(QPalette::ButtonText);
    case SystemColor::BtnShadow:
        return palette.color(QPalette::Dark);
    case SystemColor::BtnHighlight:
        return palette.color(QPalette::Light);
    case SystemColor::GrayText:
        return palette.color(QPalette::Disabled, QPalette::Text);
    case SystemColor::Highlight:
        return palette.color(QPalette::Highlight);
    case SystemColor::HighlightText:
        return palette.color(QPalette::HighlightedText);
    case SystemColor::ActiveCaption: // Qt has no role for the title bar
        return QColor(153, 180, 209);
    }
    return {};
}

} // namespace orvane
