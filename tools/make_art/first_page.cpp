#include "tools/make_art/first_page.h"

#include "tools/make_art/brand_logo.h"
#include "tools/make_art/businessman.h"
#include "tools/make_art/page_layout.h"
#include "tools/make_art/raster.h"
#include "tools/make_art/stadium_scene.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr QSizeF kCanvas = PageLayout::kPicture;

QFont boldFont(double pixelSize, double spacing = 0)
{
    QFont font(u"Liberation Sans"_s);
    font.setBold(true);
    font.setPixelSize(int(pixelSize));
    font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QPainterPath centredText(const QString &text, const QFont &font, double centreX, double baseline)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF bounds = path.boundingRect();
    return path.translated(centreX - bounds.center().x(), baseline);
}

void fillLayer(Layer &layer, const QPainterPath &path, const QColor &colour)
{
    QPainter p;
    layer.begin(p);
    p.fillPath(path, colour);
}

// A small four-pointed star of light where the chrome catches the floodlight.
void paintGlint(QPainter &p, double scale, QPointF at)
{
    Layer halo(kCanvas, scale);
    {
        QPainter h;
        halo.begin(h);
        h.setPen(Qt::NoPen);
        h.setBrush(QColor(200, 230, 255));
        h.drawEllipse(at, 7, 7);
    }
    halo.blur(8);
    halo.drawOnto(p);
    QPainterPath star;
    const double a = 16, b = 1.8;
    star.moveTo(at + QPointF(0, -a));
    star.quadTo(at + QPointF(b, -b), at + QPointF(a, 0));
    star.quadTo(at + QPointF(b, b), at + QPointF(0, a));
    star.quadTo(at + QPointF(-b, b), at + QPointF(-a, 0));
    star.quadTo(at + QPointF(-b, -b), at + QPointF(0, -a));
    p.fillPath(star, Qt::white);
}

// "ORVANE" in blue chrome with a glow, a drop shadow and some depth.
void paintTitle(QPainter &p, double scale)
{
    const QPainterPath title = centredText(u"ORVANE"_s, boldFont(104, 6), 404, 128);
    const QRectF bounds = title.boundingRect();

    Layer glow(kCanvas, scale);
    fillLayer(glow, title, QColor(50, 140, 255));
    glow.blur(26);
    glow.drawOnto(p, {}, 0.9);

    Layer shadow(kCanvas, scale);
    fillLayer(shadow, title, QColor(0, 0, 0));
    shadow.blur(8);
    shadow.drawOnto(p, QPointF(0, 8), 0.75);

    for (int depth = 6; depth >= 1; --depth)
        p.fillPath(title.translated(0, depth), QColor(8 + depth * 2, 30 + depth * 4, 90));

    QLinearGradient face(0, bounds.top(), 0, bounds.bottom());
    face.setColorAt(0.0, QColor(255, 255, 255));
    face.setColorAt(0.46, QColor(196, 222, 255));
    face.setColorAt(0.50, QColor(110, 168, 250));
    face.setColorAt(1.0, QColor(40, 104, 220));
    p.fillPath(title, face);

    p.save();
    p.setClipPath(title);
    p.strokePath(title.translated(0, 1.2), QPen(QColor(255, 255, 255, 170), 1.6));
    p.restore();
    p.strokePath(title, QPen(QColor(6, 20, 60, 200), 1.2));
    paintGlint(p, scale, QPointF(bounds.left() + 20, bounds.top() + 8));

    const QFont taglineFont = boldFont(14, 3.5);
    const QPainterPath tagline =
        centredText(u"FOOTBALL FORECASTS \u2022 EXPERT TIPS"_s, taglineFont, 404, 166);
    const QRectF tagBounds = tagline.boundingRect();
    QLinearGradient gold(0, tagBounds.top(), 0, tagBounds.bottom());
    gold.setColorAt(0, QColor(255, 232, 160));
    gold.setColorAt(1, QColor(226, 170, 70));
    Layer tagShadow(kCanvas, scale);
    fillLayer(tagShadow, tagline, QColor(0, 0, 0));
    tagShadow.blur(3);
    tagShadow.drawOnto(p, QPointF(0, 1.5), 0.9);
    p.fillPath(tagline, gold);
    for (const double side : {-1.0, 1.0}) {
        const double inner = side < 0 ? tagBounds.left() - 14 : tagBounds.right() + 14;
        QLinearGradient line(inner, 0, inner + side * 70, 0);
        line.setColorAt(0, QColor(236, 196, 110, 220));
        line.setColorAt(1, QColor(236, 196, 110, 0));
        p.fillRect(
            QRectF(std::min(inner, inner + side * 70), tagBounds.center().y() - 0.75, 70, 1.5),
            line);
    }
}

QPainterPath panelPath()
{
    QPainterPath path;
    path.addRoundedRect(PageLayout::kPanel, PageLayout::kPanelRadius, PageLayout::kPanelRadius);
    return path;
}

// Dark brown frosted glass behind the login controls: the scene beneath is
// blurred away so that nothing busy shows behind the texts.
void paintPanel(QImage &canvas, double scale)
{
    const QPainterPath panel = panelPath();
    QImage frosted = canvas.copy();
    blurImage(frosted, int(std::lround(18 * scale)));

    QPainter p(&canvas);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    p.scale(scale, scale);

    Layer shadow(kCanvas, scale);
    fillLayer(shadow, panel, QColor(0, 0, 0));
    shadow.blur(22);
    shadow.drawOnto(p, QPointF(0, 10), 0.7);

    p.save();
    p.setClipPath(panel);
    p.drawImage(QRectF(QPointF(0, 0), kCanvas), frosted);
    p.fillPath(panel, QColor(30, 17, 9, 214));
    const QRectF box = PageLayout::kPanel;
    QLinearGradient sheen(0, box.top(), 0, box.top() + box.height() * 0.45);
    sheen.setColorAt(0, QColor(255, 214, 170, 26));
    sheen.setColorAt(1, QColor(255, 214, 170, 0));
    p.fillRect(box, sheen);
    p.restore();

    QLinearGradient rim(0, box.top(), 0, box.bottom());
    rim.setColorAt(0, QColor(232, 184, 112, 200));
    rim.setColorAt(1, QColor(150, 100, 50, 110));
    p.strokePath(panel, QPen(QBrush(rim), 1.4));
    QPainterPath inner;
    inner.addRoundedRect(box.adjusted(2, 2, -2, -2), PageLayout::kPanelRadius - 2,
                         PageLayout::kPanelRadius - 2);
    p.strokePath(inner, QPen(QColor(255, 240, 220, 22), 1));

    // A quiet heading above the first field, clear of the labels.
    QPainterPath heading;
    heading.addText(392, 259, boldFont(12, 2.5), u"WELCOME BACK"_s);
    p.fillPath(heading, QColor(236, 196, 120));
    QLinearGradient hairline(392, 0, 737, 0);
    hairline.setColorAt(0, QColor(236, 196, 120, 150));
    hairline.setColorAt(1, QColor(236, 196, 120, 0));
    p.fillRect(QRectF(392, 267, 345, 1), hairline);

    // "PASSWORD:" is drawn in the desktop's window text colour, black on most
    // desktops: it gets a light tag of its own, in the version badge's style.
    const QRectF tag(PageLayout::kPasswordTag);
    QPainterPath tagPath;
    tagPath.addRoundedRect(tag, 4, 4);
    QLinearGradient tagFace(0, tag.top(), 0, tag.bottom());
    tagFace.setColorAt(0, QColor(246, 248, 252));
    tagFace.setColorAt(1, QColor(206, 216, 232));
    p.fillPath(tagPath, tagFace);
    p.strokePath(tagPath, QPen(QColor(255, 255, 255, 200), 1));
}

// A light badge hanging from the top edge for the dark version label; the
// link below it stands on the dark night sky.
void paintCorner(QPainter &p, double scale)
{
    const QRectF badge(684, -14, 132, 44);
    QPainterPath path;
    path.addRoundedRect(badge, 10, 10);

    Layer shadow(kCanvas, scale);
    fillLayer(shadow, path, QColor(0, 0, 0));
    shadow.blur(8);
    shadow.drawOnto(p, QPointF(0, 3), 0.6);

    QLinearGradient face(0, 0, 0, badge.bottom());
    face.setColorAt(0, QColor(246, 248, 252));
    face.setColorAt(1, QColor(206, 216, 232));
    p.fillPath(path, face);
    p.strokePath(path, QPen(QColor(255, 255, 255, 220), 1));
    p.fillRect(QRectF(badge.left() + 10, badge.bottom() - 1.5, badge.width() - 20, 1.5),
               QColor(60, 140, 255, 200));
}

} // namespace

QStringList firstPageEmoji()
{
    return businessmanEmoji();
}

QImage paintFirstPage(const EmojiLibrary &emoji, double scale)
{
    QImage canvas(int(kCanvas.width() * scale), int(kCanvas.height() * scale),
                  QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::black);
    const auto painterOn = [scale](QPainter &p, QImage &image) {
        p.begin(&image);
        p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        p.scale(scale, scale);
    };
    {
        QPainter p;
        painterOn(p, canvas);
        paintStadium(p, scale);
    }
    paintPanel(canvas, scale);
    {
        QPainter p;
        painterOn(p, canvas);
        paintBusinessman(p, emoji, scale);
        paintTitle(p, scale);
        paintCorner(p, scale);
        paintBrandLogo(p, QPointF(598, 532), scale);
    }
    return canvas.convertToFormat(QImage::Format_RGB32);
}
