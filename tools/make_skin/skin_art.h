#pragma once

#include <QImage>

// The pictures of the skin "iOS4_Ext", each painted at `scale` 1 or 2. The
// rectangles inside them are the ones its skin.ini names.
namespace orvane::skinart {

QImage framePicture(int scale);
// Black inside the window, white outside: the outline of `frame`.
QImage frameMaskPicture(const QImage &frame);
QImage captionButtonsPicture(int scale);

QImage tabPicture(int scale);
QImage editPicture(int scale);
QImage panelPicture(int scale);
QImage labelPicture(int scale);

QImage buttonPicture(int scale);
QImage resizeButtonPicture(int scale);
QImage checkboxPicture(int scale);

} // namespace orvane::skinart
