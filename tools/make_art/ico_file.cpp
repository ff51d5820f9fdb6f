#include "tools/make_art/ico_file.h"

#include <QBuffer>
#include <QtEndian>

namespace {

void put16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void put32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

QByteArray bitmapEntry(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width(), h = image.height();
    const int maskStride = ((w + 31) / 32) * 4;
    QByteArray out;
    // BITMAPINFOHEADER; the height counts the colour rows and the mask rows.
    put32(out, 40);
    put32(out, quint32(w));
    put32(out, quint32(2 * h));
    put16(out, 1);
    put16(out, 32);
    put32(out, 0);
    put32(out, quint32(w * h * 4 + maskStride * h));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            put32(out, line[x]);
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            if (qAlpha(line[x]) == 0)
                row[x / 8] = char(quint8(row[x / 8]) | (0x80 >> (x % 8)));
        out += row;
    }
    return out;
}

QByteArray pngEntry(const QImage &image)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return out;
}

} // namespace

QByteArray icoFile(const QList<QImage> &pictures)
{
    QList<QByteArray> entries;
    for (const QImage &picture : pictures)
        entries << (picture.width() >= 128 ? pngEntry(picture) : bitmapEntry(picture));

    QByteArray out;
    put16(out, 0);
    put16(out, 1);
    put16(out, quint16(pictures.size()));
    quint32 offset = quint32(6 + 16 * pictures.size());
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        const int side = pictures[i].width();
        out.append(char(side >= 256 ? 0 : side));
        out.append(char(side >= 256 ? 0 : pictures[i].height()));
        out.append('\0');
        out.append('\0');
        put16(out, 1);
        put16(out, 32);
        put32(out, quint32(entries[i].size()));
        put32(out, offset);
        offset += quint32(entries[i].size());
    }
    for (const QByteArray &entry : entries)
        out += entry;
    return out;
}
