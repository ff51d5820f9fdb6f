#pragma once

#include <QByteArrayView>
#include <QFont>
#include <QString>
#include <QStringView>
#include <optional>

class QWidget;

namespace orvane {

// A font as the window definition gives it: a family name and a height in the
// desktop's convention. A negative height is the em in pixels; a positive one
// is the height of the character cell (ascent plus descent of the font's
// Windows metrics), so the em is the largest whole size whose cell does not
// exceed it. "Arial" and "MS Sans Serif" resolve to the bundled family by name,
// even where the machine has fonts of those names.
QFont desktopFont(QStringView family, int height, bool bold = false);

// The em in pixels that `height` gives for `font`'s face.
int emPixelsForHeight(const QFont &font, int height);

// A font written as the window definition and the skin write it:
// "family,height[,bold][,underline]".
struct DesktopFontSpec {
    QString family;
    int height = 0;
    bool bold = false;
    bool underline = false;

    QFont font() const;
    friend bool operator==(const DesktopFontSpec &, const DesktopFontSpec &) = default;
};
std::optional<DesktopFontSpec> parseDesktopFont(QByteArrayView text);

// The dynamic property that gives a widget its own font in that form.
inline constexpr char kDesktopFontProperty[] = "desktopFont";

// Gives `widget` the font its property names; false when it names none.
bool applyDesktopFont(QWidget *widget);
// The same for `root` and every widget inside it.
void applyDesktopFonts(QWidget *root);

} // namespace orvane
