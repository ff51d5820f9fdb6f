#include "tools/make_art/previews.h"

#include "tools/make_art/page_layout.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QFont sans(int pixelSize, bool bold = false, bool underline = false)
{
    QFont font(u"Liberation Sans"_s);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

void drawLabel(QPainter &p, QPoint at, const QFont &font, const QColor &colour, const QString &text)
{
    p.setFont(font);
    p.setPen(colour);
    p.drawText(at + QPoint(0, QFontMetrics(font).ascent()), text);
}

// The version label's shadow: the picture darkened to 70 % under the text
// moved by one and by two pixels. The text itself goes on top afterwards.
void darkenShadow(QImage &page, int scale, const QRect &box, const QFont &font, const QString &text)
{
    QImage mask(box.size() * scale, QImage::Format_ARGB32_Premultiplied);
    mask.setDevicePixelRatio(scale);
    mask.fill(Qt::transparent);
    {
        QPainter m(&mask);
        m.setFont(font);
        m.setPen(Qt::black);
        for (const int offset : {1, 2})
            m.drawText(QPoint(offset, offset + QFontMetrics(font).ascent()), text);
    }
    const QPoint origin = box.topLeft() * scale;
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x) {
            const int cover = qAlpha(mask.pixel(x, y));
            if (cover == 0)
                continue;
            const QRgb under = page.pixel(origin + QPoint(x, y));
            const double k = 1.0 - 0.3 * cover / 255.0;
            page.setPixel(origin + QPoint(x, y), qRgb(int(qRed(under) * k), int(qGreen(under) * k),
                                                      int(qBlue(under) * k)));
        }
}

void drawEdit(QPainter &p, const QRect &box)
{
    p.setPen(QColor(90, 90, 100));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
}

} // namespace

QImage loginPagePreview(const QImage &picture, int scale, const QString &linkText)
{
    QImage page = picture.convertToFormat(QImage::Format_RGB32)
                      .copy(QRect(QPoint(0, 0), PageLayout::kVisible.size() * scale));
    const QFont versionFont = sans(14, true);
    darkenShadow(page, scale, PageLayout::kVersion, versionFont, u"VERSION: 5.0"_s);
    page.setDevicePixelRatio(scale);
    QPainter p(&page);
    p.setRenderHint(QPainter::Antialiasing);
    drawLabel(p, PageLayout::kLoginLabel.topLeft(), sans(12), Qt::white, u"LOGIN:"_s);
    drawLabel(p, PageLayout::kPasswordLabel.topLeft(), sans(11), Qt::black, u"PASSWORD:"_s);
    drawEdit(p, PageLayout::kLoginEdit);
    drawEdit(p, PageLayout::kPasswordEdit);
    p.setFont(sans(12));
    p.setPen(Qt::black);
    p.drawText(PageLayout::kPasswordEdit.adjusted(6, 0, 0, 0), Qt::AlignVCenter,
               u"\u25cf\u25cf\u25cf\u25cf\u25cf\u25cf"_s);

    const QRect &remember = PageLayout::kRemember;
    const QRect tick(remember.left() + 3, remember.top() + (remember.height() - 18) / 2, 19, 18);
    p.setPen(QColor(60, 60, 70));
    p.setBrush(QColor(245, 245, 250));
    p.drawRoundedRect(QRectF(tick).adjusted(1.5, 1.5, -1.5, -1.5), 3, 3);
    drawLabel(p, QPoint(tick.right() + 5, remember.top() + 5), sans(12), Qt::white, u"Запомнить"_s);

    const QRect &button = PageLayout::kLoginButton;
    QLinearGradient gloss(0, button.top(), 0, button.bottom());
    gloss.setColorAt(0, QColor(252, 252, 255));
    gloss.setColorAt(0.5, QColor(222, 226, 236));
    gloss.setColorAt(1, QColor(190, 196, 210));
    p.setPen(QColor(70, 70, 80));
    p.setBrush(gloss);
    p.drawRoundedRect(QRectF(button).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    p.setFont(sans(12));
    p.setPen(Qt::black);
    p.drawText(button, Qt::AlignCenter, u"LOGIN"_s);

    drawLabel(p, PageLayout::kVersion.topLeft(), versionFont, Qt::black, u"VERSION: 5.0"_s);
    drawLabel(p, PageLayout::kLink.topLeft(), sans(12, false, true), Qt::white, linkText);

    // Hairlines around every place, to check what lies behind each control.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 0, 255, 110), 0));
    for (const QRect &box : {PageLayout::kLoginLabel, PageLayout::kPasswordLabel,
                             PageLayout::kRemember, PageLayout::kVersion, PageLayout::kLink})
        p.drawRect(QRectF(box).adjusted(-0.5, -0.5, 0.5, 0.5));
    p.end();
    page.setDevicePixelRatio(1);
    return page;
}

QImage iconContactSheet(const QList<QImage> &icons)
{
    const int zoomed = 256, gap = 16;
    int largest = 0;
    for (const QImage &icon : icons)
        largest = std::max(largest, icon.width());
    const int column = zoomed + 8 + largest + gap;
    const int rowHeight = std::max(zoomed, largest) + gap * 2;
    const QColor grounds[] = {QColor(250, 250, 250), QColor(40, 44, 56), QColor(0, 120, 215)};
    QImage sheet(gap + int(icons.size()) * column, rowHeight * 3, QImage::Format_ARGB32);
    QPainter p(&sheet);
    for (int row = 0; row < 3; ++row) {
        p.fillRect(0, row * rowHeight, sheet.width(), rowHeight, grounds[row]);
        for (qsizetype i = 0; i < icons.size(); ++i) {
            const QImage &icon = icons[i];
            const int x = gap + int(i) * column;
            const int y = row * rowHeight + gap;
            if (row == 2)
                for (int cy = 0; cy < zoomed; cy += 16)
                    for (int cx = 0; cx < zoomed; cx += 16)
                        p.fillRect(x + cx, y + cy, 16, 16,
                                   (cx + cy) / 16 % 2 ? QColor(200, 200, 200)
                                                      : QColor(240, 240, 240));
            p.drawImage(QRect(x, y, zoomed, zoomed), icon);
            p.drawImage(QPoint(x + zoomed + 8, y), icon);
        }
    }
    return sheet;
}
