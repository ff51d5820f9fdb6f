#pragma once

#include "tools/make_skin/skin_pictures.h"

#include <QImage>
#include <vector>

namespace orvane {
struct Skin;
}

namespace orvane::skinart {

// Every picture at 4x beside its 2x file at 2x, on a checkerboard.
QImage contactSheet(const std::vector<PaintedPicture> &pictures);

// Two windows as the program draws them with `skin` at device pixel ratio
// `scale`: the login page and the forecast page, every piece nine-sliced at
// its real size.
QImage skinMockup(const Skin &skin, int scale);

} // namespace orvane::skinart
