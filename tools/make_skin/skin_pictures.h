#pragma once

#include <QDir>
#include <QImage>
#include <QString>
#include <vector>

namespace orvane::skinart {

// One file of the skin as the generator writes it.
struct PaintedPicture {
    QString file; // "button.png", "button@2x.png" ...
    QImage image;
};

// Every picture at 1x and 2x. Throws std::runtime_error when one does not
// come out at the size the skin's settings expect.
std::vector<PaintedPicture> paintSkinPictures();

// Writes the pictures into `folder` and reads each back to check its size and
// format; the reason when that fails, else an empty string.
QString writeSkinPictures(const std::vector<PaintedPicture> &pictures, const QDir &folder);

} // namespace orvane::skinart
