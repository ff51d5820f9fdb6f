#pragma once

#include <QRect>
#include <QRectF>
#include <QSize>

// Where the login page puts its controls on the picture, in the picture's
// pixels. The picture has to stay calm and legible behind each of them.
namespace PageLayout {

inline constexpr QSize kPicture(800, 600);
// The page shows 798 x 601: the two rightmost columns are never seen.
inline constexpr QRect kVisible(0, 0, 798, 600);

inline constexpr QRectF kPanel(330, 228, 455, 285);
inline constexpr double kPanelRadius = 18;

inline constexpr QRect kLoginLabel(392, 280, 60, 16);
inline constexpr QRect kPasswordLabel(392, 328, 70, 14);
inline constexpr QRectF kPasswordTag(386.5, 325.5, 82, 17);
inline constexpr QRect kLoginEdit(384, 296, 353, 21);
inline constexpr QRect kPasswordEdit(384, 344, 353, 21);
inline constexpr QRect kRemember(392, 392, 97, 25);
inline constexpr QRect kLoginButton(504, 432, 137, 28);
inline constexpr QRect kVersion(696, 8, 87, 19);
// The link is as wide as its address; whatever it is, it ends at the page's edge.
inline constexpr QRect kLink(696, 32, 102, 18);

// The calm corner that carries the version and the link.
inline constexpr QRect kCorner(680, 0, 120, 56);

} // namespace PageLayout
