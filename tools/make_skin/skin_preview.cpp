#include "tools/make_skin/skin_preview.h"

#include "skin/desktop_font.h"
#include "skin/skin.h"
#include "skin/skin_painter.h"

#include <QBitmap>
#include <QPainter>
#include <QRadialGradient>
#include <QRegion>

using namespace Qt::StringLiterals;

namespace orvane::skinart {
namespace {

constexpr QSize kWindow(812, 659);

void checkerboard(QPainter &p, const QRect &area)
{
    p.save();
    p.setClipRect(area);
    for (int y = area.top(); y < area.bottom(); y += 8)
        for (int x = area.left(); x < area.right(); x += 8)
            p.fillRect(x, y, 8, 8,
                       ((x - area.left()) / 8 + (y - area.top()) / 8) % 2 ? QColor(170, 170, 170)
                                                                          : QColor(215, 215, 215));
    p.restore();
}

void piece(QPainter &p, const Skin &skin, QByteArrayView element, QByteArrayView name,
           const QRect &target, SkinState state = SkinState::Normal)
{
    if (const SkinElement *e = skin.element(element))
        if (const SkinPiece *found = e->piece(name))
            drawSkinPiece(p, skin, *found, state, target);
}

void text(QPainter &p, const QRect &box, const QString &line, const QFont &font, const QColor &ink,
          Qt::Alignment align = Qt::AlignCenter)
{
    p.setFont(font);
    p.setPen(ink);
    p.drawText(box, int(align) | Qt::TextSingleLine, line);
}

// The frame, caption and buttons of a window at the origin; returns the client rectangle.
QRect drawFrame(QPainter &p, const Skin &skin, const QString &title, SkinState closeState)
{
    const QRect window(QPoint(0, 0), kWindow);
    p.setClipRegion(QRegion(frameMask(skin, kWindow)));
    drawSkinPiece(p, skin, skin.frame.face, SkinState::Normal, window);
    const QRect client = window.marginsRemoved(skin.frame.client);
    p.fillRect(client, skin.colors.value("face"));
    const SkinCaptionBox &box = skin.frame.caption;
    text(p, QRect(box.left, box.top, kWindow.width() - box.left - box.right, box.height), title,
         skin.frame.captionFont.font(), skin.frame.captionActive);
    for (auto it = skin.frame.buttons.cbegin(); it != skin.frame.buttons.cend(); ++it) {
        const SkinFrameButton &button = *it;
        if (!button.visible)
            continue;
        const QSize size = button.piece.size();
        const int x = button.fromRight ? kWindow.width() - button.offset.x() - size.width()
                                       : button.offset.x();
        drawSkinPiece(p, skin, button.piece, it.key() == "close" ? closeState : SkinState::Normal,
                      QRect(QPoint(x, button.offset.y()), size));
    }
    p.setClipping(false);
    return client;
}

// The page control's tabs and frame; returns the page area.
QRect drawPageControl(QPainter &p, const Skin &skin, const QRect &control, const QStringList &tabs,
                      int selected)
{
    const QFont font = desktopFont(u"Arial", 14);
    const SkinElement *tab = skin.element("tab");
    const int height = tab->piece("tab")->size().height();
    piece(
        p, skin, "tab", "frame",
        QRect(control.left(), control.top() + height, control.width(), control.height() - height));
    int x = control.left();
    for (int i = 0; i < tabs.size(); ++i) {
        const int width = std::max(62, QFontMetrics(font).horizontalAdvance(tabs[i]) + 20);
        const QRect r(x, control.top(), width, height);
        const bool isSelected = i == selected;
        piece(p, skin, "tab", isSelected ? "selected" : "tab", r,
              i == 1 ? SkinState::Hovered : SkinState::Normal);
        text(p, r, tabs[i], font,
             tab->color(isSelected ? "selectedcolor"
                        : i == 1   ? "hovercolor"
                                   : "color")
                 .value_or(Qt::black));
        x += width;
    }
    return QRect(control.left() + 1, control.top() + 22, 798, 601);
}

void drawLoginPage(QPainter &p, const Skin &skin, const QRect &page)
{
    p.save();
    p.setClipRect(page);
    p.translate(page.topLeft());
    QRadialGradient photo(QPointF(200, 250), 700);
    photo.setColorAt(0, QColor(64, 92, 128));
    photo.setColorAt(1, QColor(12, 18, 30));
    p.fillRect(QRect(0, 0, 800, 600), photo);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(66, 40, 22, 220));
    p.drawRoundedRect(QRectF(330, 228, 455, 285), 22, 22);

    const QFont arial = desktopFont(u"Arial", 14);
    const auto labelAt = [&](QPoint at, const QString &line, const QFont &font, QColor ink) {
        const QSize size = QFontMetrics(font).size(Qt::TextSingleLine, line);
        text(p, QRect(at, size), line, font, ink, Qt::AlignLeft | Qt::AlignTop);
    };
    labelAt({696, 8}, u"VERSION: 5.0"_s, desktopFont(u"Arial", 16, true), Qt::black);
    labelAt({392, 280}, u"LOGIN:"_s, arial, Qt::white);
    labelAt({392, 328}, u"PASSWORD:"_s, desktopFont(u"MS Sans Serif", -11), Qt::black);

    const QRect login(384, 296, 353, 21), password(384, 344, 353, 21);
    piece(p, skin, "edit", "face", login, SkinState::Hovered);
    piece(p, skin, "edit", "face", password, SkinState::Pressed);
    text(p, login.marginsRemoved(QMargins(3, 3, 3, 2)), u"subscriber"_s, arial, Qt::black,
         Qt::AlignLeft | Qt::AlignVCenter);
    text(p, password.marginsRemoved(QMargins(3, 3, 3, 2)), u"\u25CF\u25CF\u25CF\u25CF\u25CF"_s,
         arial, Qt::black, Qt::AlignLeft | Qt::AlignVCenter);

    const QRect check(392, 392, 97, 25);
    piece(p, skin, "checkbox", "checked", QRect(check.left() + 3, check.top() + 3, 19, 18));
    text(p, QRect(check.left() + 26, check.top(), 71, 25), u"Запомнить"_s, arial, Qt::white,
         Qt::AlignLeft | Qt::AlignVCenter);
    piece(p, skin, "checkbox", "unchecked", QRect(check.left() + 120, check.top() + 3, 19, 18),
          SkinState::Hovered);

    const QRect button(504, 432, 137, 28);
    piece(p, skin, "button", "face", button);
    text(p, button, u"LOGIN"_s, arial, Qt::black);
    p.restore();
}

void drawForecastPage(QPainter &p, const Skin &skin, const QRect &page)
{
    p.save();
    p.setClipRect(page);
    p.translate(page.topLeft());
    const QFont arial = desktopFont(u"Arial", 14);
    piece(p, skin, "panel", "face", QRect(0, 0, 798, 25));
    const QRect refresh(0, 0, 97, 25);
    piece(p, skin, "resizebutton", "face", refresh);
    text(p, refresh, u"Refresh"_s, arial, Qt::black);
    const QColor ink = skin.element("label")->color("color").value_or(Qt::black);
    const QRect pr1(495, 3, 160, 20), pr2(655, 3, 141, 20);
    piece(p, skin, "label", "face", pr1);
    piece(p, skin, "label", "face", pr2);
    text(p, pr1, u"Profit: +14.20"_s, arial, ink);
    text(p, pr2, u"Forecasts: 12"_s, arial, ink);

    // A plain stand-in for the grid below the panel.
    const QRect grid(0, 25, 798, 576);
    p.fillRect(grid, Qt::white);
    p.fillRect(QRect(grid.left(), grid.top(), grid.width(), 20), QColor(236, 236, 236));
    const QColor rows[] = {{214, 244, 214}, {255, 222, 222}, {255, 255, 255}};
    for (int i = 0; i < 12; ++i)
        p.fillRect(QRect(grid.left(), grid.top() + 20 + i * 18, grid.width(), 17), rows[i % 3]);
    p.setPen(QColor(128, 128, 128));
    p.setBrush(Qt::NoBrush);
    p.drawRect(grid.adjusted(0, 0, -1, -1));
    p.restore();
}

} // namespace

QImage contactSheet(const std::vector<PaintedPicture> &pictures)
{
    constexpr int gap = 24, label = 18;
    std::vector<std::pair<const QImage *, const QImage *>> pairs;
    QStringList names;
    for (const PaintedPicture &one : pictures)
        if (!one.file.contains(u"@2x"))
            for (const PaintedPicture &two : pictures)
                if (two.file == QString(one.file).replace(u".png"_s, u"@2x.png"_s)) {
                    pairs.emplace_back(&one.image, &two.image);
                    names << one.file;
                }
    int width = 0, height = gap;
    for (const auto &[one, two] : pairs) {
        width = std::max(width, one->width() * 8 + 3 * gap);
        height += one->height() * 4 + label + gap;
    }
    QImage sheet(width, height, QImage::Format_ARGB32);
    sheet.fill(QColor(250, 250, 250));
    QPainter p(&sheet);
    const QFont font = desktopFont(u"Arial", 14);
    int y = gap;
    for (size_t i = 0; i < pairs.size(); ++i) {
        const auto [one, two] = pairs[i];
        const QSize size = one->size() * 4;
        text(p, QRect(gap, y, width, label), names[int(i)] + u"   (4x, and @2x at 2x)"_s, font,
             Qt::black, Qt::AlignLeft | Qt::AlignTop);
        y += label;
        const QRect left(QPoint(gap, y), size), right(QPoint(2 * gap + size.width(), y), size);
        checkerboard(p, left);
        checkerboard(p, right);
        p.drawImage(left, *one);
        p.drawImage(right, *two);
        y += size.height() + gap;
    }
    return sheet;
}

QImage skinMockup(const Skin &skin, int scale)
{
    const QSize size(2 * kWindow.width() + 60, kWindow.height() + 40);
    QImage image(size * scale, QImage::Format_ARGB32);
    image.setDevicePixelRatio(scale);
    QPainter p(&image);
    p.fillRect(QRect(QPoint(0, 0), size), QColor(92, 100, 112));

    p.translate(20, 20);
    QRect client = drawFrame(p, skin, u"Orvane"_s, SkinState::Normal);
    QRect page = drawPageControl(p, skin, QRect(client.topLeft(), QSize(800, 623)),
                                 {u"About"_s, u"Forecast"_s}, 0);
    drawLoginPage(p, skin, page);

    p.translate(kWindow.width() + 20, 0);
    client = drawFrame(p, skin, u"Orvane (Gold, until 31.12)"_s, SkinState::Hovered);
    page = drawPageControl(p, skin, QRect(client.topLeft(), QSize(800, 623)), {u"Forecast"_s}, 0);
    drawForecastPage(p, skin, page);
    return image;
}

} // namespace orvane::skinart
