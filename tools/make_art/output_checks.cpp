#include "tools/make_art/output_checks.h"

#include "tools/make_art/page_layout.h"
#include "tools/make_art/raster.h"

#include <QFile>
#include <QImageReader>
#include <QtEndian>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QStringList checkImage(const QString &path, QSize size, const QByteArray &format, QImage *imageOut)
{
    QImageReader reader(path, format);
    const QImage image = reader.read();
    if (image.isNull())
        return {u"%1: not a readable %2 file (%3)"_s.arg(path, QString::fromLatin1(format),
                                                         reader.errorString())};
    if (image.size() != size)
        return {u"%1: %2 x %3, expected %4 x %5"_s.arg(path)
                    .arg(image.width())
                    .arg(image.height())
                    .arg(size.width())
                    .arg(size.height())};
    *imageOut = image;
    return {};
}

} // namespace

int jpegComponents(const QByteArray &bytes)
{
    for (qsizetype i = 2; i + 9 < bytes.size();) {
        if (quint8(bytes[i]) != 0xff)
            return 0;
        const quint8 marker = quint8(bytes[i + 1]);
        const int length = (quint8(bytes[i + 2]) << 8) | quint8(bytes[i + 3]);
        if (marker == 0xc0 || marker == 0xc1 || marker == 0xc2)
            return quint8(bytes[i + 4]) == 8 ? quint8(bytes[i + 9]) : 0;
        i += 2 + length;
    }
    return 0;
}

QStringList checkJpeg(const QString &path, QSize size)
{
    QImage image;
    QStringList errors = checkImage(path, size, "jpeg", &image);
    QFile file(path);
    if (errors.isEmpty() &&
        (!file.open(QIODevice::ReadOnly) || jpegComponents(file.readAll()) != 3))
        errors << u"%1: not a 24-bit colour JPEG"_s.arg(path);
    return errors;
}

QStringList checkPng(const QString &path, QSize size)
{
    QImage image;
    QStringList errors = checkImage(path, size, "png", &image);
    if (!errors.isEmpty())
        return errors;
    if (image.format() != QImage::Format_ARGB32)
        errors << u"%1: not 32-bit with transparency"_s.arg(path);
    else if (qAlpha(image.pixel(0, 0)) != 0 ||
             qAlpha(image.pixel(size.width() / 2, size.height() / 2)) != 255)
        errors << u"%1: corners should be clear and the middle opaque"_s.arg(path);
    return errors;
}

QStringList checkIco(const QString &path, const QList<QImage> &pictures)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {u"%1: cannot read"_s.arg(path)};
    const QByteArray bytes = file.readAll();
    const auto word = [&](qsizetype at) {
        return qFromLittleEndian<quint16>(bytes.constData() + at);
    };
    if (bytes.size() < 6 + 16 * pictures.size() || word(0) != 0 || word(2) != 1 ||
        word(4) != pictures.size())
        return {u"%1: not an icon file with %2 pictures"_s.arg(path).arg(pictures.size())};
    QStringList errors;
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        const qsizetype entry = 6 + 16 * i;
        const int side = quint8(bytes[entry]) == 0 ? 256 : quint8(bytes[entry]);
        const quint32 length = qFromLittleEndian<quint32>(bytes.constData() + entry + 8);
        const quint32 offset = qFromLittleEndian<quint32>(bytes.constData() + entry + 12);
        if (side != pictures[i].width() || word(entry + 6) != 32 ||
            offset + quint64(length) > quint64(bytes.size()))
            errors << u"%1: picture %2 is not %3 px at 32 bits"_s.arg(path).arg(i).arg(
                pictures[i].width());
    }

    QImageReader reader(path, "ico");
    for (qsizetype i = 0; i < pictures.size() && errors.isEmpty(); ++i) {
        if (i > 0 && !reader.jumpToNextImage()) {
            errors << u"%1: Qt reads only %2 pictures"_s.arg(path).arg(i);
            break;
        }
        const QImage read = reader.read().convertToFormat(QImage::Format_ARGB32);
        if (read != pictures[i].convertToFormat(QImage::Format_ARGB32))
            errors << u"%1: picture %2 reads back different"_s.arg(path).arg(i);
    }
    return errors;
}

QList<ContrastFigure> measureContrast(const QImage &picture, int scale)
{
    const auto extreme = [&](const QRect &area, bool lightest) {
        double found = lightest ? 0.0 : 1.0;
        const QRect pixels(area.topLeft() * scale, area.size() * scale);
        for (int y = pixels.top(); y <= pixels.bottom(); ++y)
            for (int x = pixels.left(); x <= pixels.right(); ++x) {
                const double l = relativeLuminance(picture.pixel(x, y));
                found = lightest ? std::max(found, l) : std::min(found, l);
            }
        return found;
    };
    const double white = 1.0, black = 0.0;
    const double linkHover = relativeLuminance(qRgb(36, 94, 227));
    const double needed = 7.0;
    // The version label's shadow darkens the picture to 70 %: the text stands
    // on the shadow only at its edges, so the plain picture is what counts.
    return {
        {u"white \"LOGIN:\""_s, contrastRatio(white, extreme(PageLayout::kLoginLabel, true)),
         needed},
        {u"white \"Запомнить\" check box"_s,
         contrastRatio(white, extreme(PageLayout::kRemember, true)), needed},
        {u"white link"_s, contrastRatio(white, extreme(PageLayout::kLink, true)), needed},
        {u"black \"VERSION: 5.0\""_s, contrastRatio(black, extreme(PageLayout::kVersion, false)),
         needed},
        {u"black \"PASSWORD:\""_s, contrastRatio(black, extreme(PageLayout::kPasswordLabel, false)),
         needed},
        {u"link under the pointer, (36, 94, 227)"_s,
         contrastRatio(linkHover, extreme(PageLayout::kLink, true)), 0},
    };
}
