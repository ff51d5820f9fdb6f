#pragma once

#include <QImage>

namespace orvane {

// The shadow of the version label, on device pixels: every pixel of `picture`
// under a pixel of `mask` that is not white is darkened to 0.7 of its value;
// then each such shadow pixel that has a white mask pixel one diagonal step
// away takes the mean of its four diagonal neighbours (the darkened values;
// neighbours beyond the edge repeat the edge). Both images have one size.
QImage softShadow(const QImage &picture, const QImage &mask);

} // namespace orvane
