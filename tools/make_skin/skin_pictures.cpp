#include "tools/make_skin/skin_pictures.h"

#include "tools/make_skin/skin_art.h"

#include <QImageWriter>
#include <QSaveFile>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace orvane::skinart {
namespace {

struct Expected {
    QString name; // without ".png"
    QSize size;   // at 1x
};

// The sizes skin.ini's rectangles are made for.
const Expected kExpected[] = {
    {u"frame"_s, {391, 166}}, {u"frame_mask"_s, {391, 166}},  {u"caption_buttons"_s, {66, 80}},
    {u"tab"_s, {245, 52}},    {u"edit"_s, {236, 21}},         {u"checkbox"_s, {152, 18}},
    {u"button"_s, {352, 28}}, {u"resizebutton"_s, {156, 39}}, {u"panel"_s, {59, 52}},
    {u"label"_s, {33, 20}},
};

QString fileName(const QString &name, int scale)
{
    return name + (scale == 2 ? u"@2x.png"_s : u".png"_s);
}

QImage paint(const QString &name, int scale, const QImage &frame)
{
    if (name == u"frame")
        return frame;
    if (name == u"frame_mask")
        return frameMaskPicture(frame);
    if (name == u"caption_buttons")
        return captionButtonsPicture(scale);
    if (name == u"tab")
        return tabPicture(scale);
    if (name == u"edit")
        return editPicture(scale);
    if (name == u"checkbox")
        return checkboxPicture(scale);
    if (name == u"button")
        return buttonPicture(scale);
    if (name == u"resizebutton")
        return resizeButtonPicture(scale);
    if (name == u"panel")
        return panelPicture(scale);
    if (name == u"label")
        return labelPicture(scale);
    return {};
}

bool twoValued(const QImage &image)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y) {
        const uchar *line = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            if (line[x] != 0 && line[x] != 255)
                return false;
    }
    return true;
}

} // namespace

std::vector<PaintedPicture> paintSkinPictures()
{
    std::vector<PaintedPicture> pictures;
    for (int scale : {1, 2}) {
        const QImage frame = framePicture(scale);
        for (const Expected &expected : kExpected) {
            PaintedPicture picture{fileName(expected.name, scale),
                                   paint(expected.name, scale, frame)};
            if (picture.image.size() != expected.size * scale)
                throw std::runtime_error(u"%1 came out %2 x %3, not %4 x %5"_s.arg(picture.file)
                                             .arg(picture.image.width())
                                             .arg(picture.image.height())
                                             .arg(expected.size.width() * scale)
                                             .arg(expected.size.height() * scale)
                                             .toStdString());
            pictures.push_back(std::move(picture));
        }
    }
    return pictures;
}

QString writeSkinPictures(const std::vector<PaintedPicture> &pictures, const QDir &folder)
{
    for (const PaintedPicture &picture : pictures) {
        const QString path = folder.filePath(picture.file);
        QSaveFile file(path);
        QImageWriter writer(&file, "png");
        if (!file.open(QIODevice::WriteOnly) || !writer.write(picture.image) || !file.commit())
            return u"cannot write %1"_s.arg(path);

        const QImage written(path);
        if (written.size() != picture.image.size())
            return u"%1 reads back as %2 x %3"_s.arg(path)
                .arg(written.width())
                .arg(written.height());
        const bool mask = picture.file.startsWith(u"frame_mask");
        if (mask && (written.depth() != 1 || !twoValued(written)))
            return u"%1 is not a one-bit black and white picture"_s.arg(path);
        if (!mask && !written.hasAlphaChannel())
            return u"%1 lost its alpha channel"_s.arg(path);
    }
    return {};
}

} // namespace orvane::skinart
