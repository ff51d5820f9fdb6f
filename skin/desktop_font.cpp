#include "desktop_font.h"

#include "bundled_fonts.h"

#include <QHash>
#include <QRawFont>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace orvane {
namespace {

struct WindowsMetrics {
    int unitsPerEm = 2048;
    int cell = 2288; // usWinAscent + usWinDescent of Arial and of its stand-in
};

// From the face's OS/2 table; Arial's values when the face has none.
WindowsMetrics windowsMetrics(const QFont &font)
{
    static QHash<QString, WindowsMetrics> known; // fonts are made on the GUI thread only
    const QString key = font.family() + (font.bold() ? u"/b"_s : u"/r"_s);
    if (const auto found = known.constFind(key); found != known.cend())
        return *found;

    WindowsMetrics metrics;
    const QRawFont raw = QRawFont::fromFont(font);
    const QByteArray os2 = raw.isValid() ? raw.fontTable("OS/2") : QByteArray();
    constexpr qsizetype kWinAscent = 74; // then usWinDescent, both big-endian 16-bit
    if (os2.size() >= kWinAscent + 4 && raw.unitsPerEm() > 0) {
        const int ascent = qFromBigEndian<quint16>(os2.constData() + kWinAscent);
        const int descent = qFromBigEndian<quint16>(os2.constData() + kWinAscent + 2);
        if (ascent + descent > 0)
            metrics = {int(raw.unitsPerEm()), ascent + descent};
    }
    known.insert(key, metrics);
    return metrics;
}

} // namespace

int emPixelsForHeight(const QFont &font, int height)
{
    if (height < 0)
        return -height;
    const WindowsMetrics metrics = windowsMetrics(font);
    return qMax(1, height * metrics.unitsPerEm / metrics.cell);
}

QFont desktopFont(QStringView family, int height, bool bold)
{
    const bool desktopFamily = family == u"Arial" || family == u"MS Sans Serif";
    QFont font(desktopFamily ? bundledFontFamily() : family.toString());
    font.setBold(bold);
    font.setPixelSize(emPixelsForHeight(font, height));
    return font;
}

} // namespace orvane
