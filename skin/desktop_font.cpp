#include "skin/desktop_font.h"

#include "skin/bundled_fonts.h"
#include "skin/skin_settings.h"

#include <QHash>
#include <QList>
#include <QRawFont>
#include <QVariant>
#include <QWidget>
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

QFont DesktopFontSpec::font() const
{
    QFont result = desktopFont(family, height, bold);
    result.setUnderline(underline);
    return result;
}

std::optional<DesktopFontSpec> parseDesktopFont(QByteArrayView text)
{
    const QList<QByteArrayView> parts = splitValue(text, ',');
    if (parts.size() < 2)
        return std::nullopt;
    DesktopFontSpec font;
    font.family = QString::fromLatin1(parts[0].trimmed());
    bool ok = false;
    font.height = parts[1].trimmed().toInt(&ok);
    if (!ok || font.family.isEmpty() || font.height == 0)
        return std::nullopt;
    for (qsizetype i = 2; i < parts.size(); ++i) {
        const QByteArrayView style = parts[i].trimmed();
        if (style == "bold")
            font.bold = true;
        else if (style == "underline")
            font.underline = true;
        else
            return std::nullopt;
    }
    return font;
}

bool applyDesktopFont(QWidget *widget)
{
    const QVariant value = widget->property(kDesktopFontProperty);
    if (!value.isValid())
        return false;
    const std::optional<DesktopFontSpec> font = parseDesktopFont(value.toString().toLatin1());
    if (!font)
        return false;
    widget->setFont(font->font());
    return true;
}

void applyDesktopFonts(QWidget *root)
{
    applyDesktopFont(root);
    for (QWidget *child : root->findChildren<QWidget *>())
        applyDesktopFont(child);
}

} // namespace orvane
