// Writes the league flag pictures of the forecast table: 103 glossy rounded
// squares at 16x16 and 32x32, the header's waving flag, and the .qrc listing
// them. Flags 1..102 come from the square SVGs of the flag-icons package; the
// football (index 0) and the header flag are drawn here.
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgRenderer>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// flag-icons file name by picture index. 49 repeats Luxembourg so that the
// later indices keep their places; 0 is the football.
constexpr std::array<const char *, 103> kFlagCodes = {
    nullptr, "ar", "am", "au",     "at", "bh", "by", "be",     "ba",     "br", // 0-9
    "bg",    "cm", "ca", "cl",     "cn", "co", "cr", "hr",     "cy",     "cz", // 10-19
    "dk",    "eg", "sv", "gb-eng", "ee", "eu", "fi", "fr",     "ge",     "de", // 20-29
    "gr",    "gt", "hn", "hk",     "hu", "is", "in", "id",     "ir",     "iq", // 30-39
    "ie",    "il", "it", "jp",     "jo", "kz", "kw", "lb",     "lt",     "lu", // 40-49
    "my",    "mx", "md", "me",     "ma", "nl", "nz", "no",     "py",     "pe", // 50-59
    "ph",    "pl", "pt", "qa",     "ro", "ru", "sa", "gb-sct", "sn",     "rs", // 60-69
    "sg",    "sk", "si", "za",     "kr", "es", "se", "ch",     "th",     "tn", // 70-79
    "tr",    "ua", "ae", "us",     "uy", "uz", "ve", "vn",     "gb-wls", "ye", // 80-89
    "ad",    "ng", "sz", "dz",     "sy", "mt", "mk", "al",     "xk",     "az", // 90-99
    "ug",    "lv", "lu",                                                       // 100-102
};

// Each output pixel is drawn as kSuper x kSuper samples and box-filtered here,
// so the result does not depend on the smoothing of a particular Qt version.
constexpr int kSuper = 16;

struct Rgba {
    double r = 0, g = 0, b = 0, a = 0;
};

class Canvas {
public:
    explicit Canvas(int size)
        : m_size(size), m_image(size * kSuper, size * kSuper, QImage::Format_ARGB32_Premultiplied)
    {
        m_image.fill(Qt::transparent);
    }

    QImage &image() { return m_image; }
    double side() const { return m_image.width(); }

    // Straight colour and coverage (a in 0..1) of every output pixel.
    std::vector<Rgba> downscale() const
    {
        std::vector<Rgba> out(size_t(m_size) * m_size);
        for (int y = 0; y < m_image.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(m_image.constScanLine(y));
            for (int x = 0; x < m_image.width(); ++x) {
                Rgba &o = out[size_t(y / kSuper) * m_size + x / kSuper];
                o.r += qRed(line[x]);
                o.g += qGreen(line[x]);
                o.b += qBlue(line[x]);
                o.a += qAlpha(line[x]);
            }
        }
        for (Rgba &o : out) {
            if (o.a > 0) {
                o.r *= 255.0 / o.a;
                o.g *= 255.0 / o.a;
                o.b *= 255.0 / o.a;
            }
            o.a /= kSuper * kSuper * 255.0;
        }
        return out;
    }

    // Pixels at least half covered become opaque, all others fully
    // transparent: the grid draws on any background without fringes. Opaque
    // pixels within `rim` steps of the outside are mixed towards rimColour.
    QImage finish(int rim, QColor rimColour, double rimMix) const
    {
        const std::vector<Rgba> px = downscale();
        const auto index = [this](int x, int y) {
            return size_t(y) * m_size + x;
        };
        std::vector<int> depth(px.size());
        for (size_t i = 0; i < px.size(); ++i)
            depth[i] = px[i].a >= 0.5 ? rim + 1 : 0;
        for (int pass = 0; pass < rim; ++pass) {
            std::vector<int> next = depth;
            for (int y = 0; y < m_size; ++y) {
                for (int x = 0; x < m_size; ++x) {
                    const auto at = [&](int xx, int yy) {
                        const bool off = xx < 0 || yy < 0 || xx >= m_size || yy >= m_size;
                        return off ? 0 : depth[index(xx, yy)];
                    };
                    if (depth[index(x, y)] > 0)
                        next[index(x, y)] =
                            std::min({depth[index(x, y)], at(x - 1, y) + 1, at(x + 1, y) + 1,
                                      at(x, y - 1) + 1, at(x, y + 1) + 1});
                }
            }
            depth = std::move(next);
        }

        QImage out(m_size, m_size, QImage::Format_ARGB32);
        out.fill(0);
        for (int y = 0; y < m_size; ++y) {
            auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
            for (int x = 0; x < m_size; ++x) {
                const int d = depth[index(x, y)];
                if (d == 0)
                    continue;
                Rgba c = px[index(x, y)];
                if (d <= rim) {
                    c.r += (rimColour.red() - c.r) * rimMix;
                    c.g += (rimColour.green() - c.g) * rimMix;
                    c.b += (rimColour.blue() - c.b) * rimMix;
                }
                const auto channel = [](double v) {
                    return std::clamp(int(std::lround(v)), 0, 255);
                };
                line[x] = qRgb(channel(c.r), channel(c.g), channel(c.b));
            }
        }
        return out;
    }

private:
    int m_size;
    QImage m_image;
};

const QColor kRim(24, 28, 36);

QPainterPath roundedSquare(double side)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, side, side), side * 0.25, side * 0.25);
    return path;
}

// Light from above: a bright band over the upper half with a crisp lower edge,
// and a soft shadow towards the bottom.
void paintGloss(QPainter &p, double side)
{
    QLinearGradient shade(0, side * 0.5, 0, side);
    shade.setColorAt(0, QColor(0, 0, 0, 0));
    shade.setColorAt(1, QColor(0, 0, 0, 50));
    p.fillRect(QRectF(0, side * 0.5, side, side * 0.5), shade);

    QPainterPath band;
    band.moveTo(0, 0);
    band.lineTo(side, 0);
    band.lineTo(side, side * 0.40);
    band.cubicTo(side * 0.7, side * 0.52, side * 0.3, side * 0.52, 0, side * 0.40);
    band.closeSubpath();
    QLinearGradient light(0, 0, 0, side * 0.5);
    light.setColorAt(0, QColor(255, 255, 255, 125));
    light.setColorAt(1, QColor(255, 255, 255, 35));
    p.fillPath(band, light);
}

// QtSvg 6.4 ignores markers, and the US flag draws its stars as marker-mid on
// a polyline. Puts a copy of the marker's content at every inner vertex of such
// a path instead. Handles one subpath of M, L, H, V and Z commands, which is
// all that flag-icons uses markers with; anything else is left alone.
QString inlineMidMarkers(QString svg)
{
    static const QRegularExpression markerPattern(
        uR"re(<marker id="([^"]+)"[^>]*>(.*?)</marker>)re"_s,
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tokenPattern(uR"([MmLlHhVvZz]|-?(?:\d+\.?\d*|\.\d+))"_s);

    for (QRegularExpressionMatch marker = markerPattern.match(svg); marker.hasMatch();
         marker = markerPattern.match(svg)) {
        const QString content = marker.captured(2);
        const QRegularExpression pathPattern(
            uR"re(<path[^>]*marker-mid="url\(#%1\)"[^>]*d="([^"]*)"[^>]*/>)re"_s.arg(
                QRegularExpression::escape(marker.captured(1))));
        svg.remove(marker.capturedStart(), marker.capturedLength());
        const QRegularExpressionMatch path = pathPattern.match(svg);
        if (!path.hasMatch())
            continue;

        QList<QPointF> vertices;
        bool closed = false;
        QChar command;
        QList<double> args;
        QPointF at;
        const auto flush = [&]() {
            const bool relative = command.isLower();
            const QChar c = command.toUpper();
            const qsizetype step = (c == u'H' || c == u'V') ? 1 : 2;
            for (qsizetype i = 0; i + step <= args.size(); i += step) {
                if (c == u'H')
                    at.setX(relative ? at.x() + args[i] : args[i]);
                else if (c == u'V')
                    at.setY(relative ? at.y() + args[i] : args[i]);
                else
                    at = relative && !vertices.isEmpty() ? at + QPointF(args[i], args[i + 1])
                                                         : QPointF(args[i], args[i + 1]);
                vertices << at;
            }
            args.clear();
        };
        bool supported = true;
        for (auto it = tokenPattern.globalMatch(path.captured(1)); it.hasNext();) {
            const QString token = it.next().captured();
            if (token.front().isLetter()) {
                flush();
                if (closed || (token.front().toUpper() == u'M' && !vertices.isEmpty()))
                    supported = false;
                command = token.front();
                closed = command.toUpper() == u'Z';
            } else {
                args << token.toDouble();
            }
        }
        flush();
        if (!supported || vertices.size() < 3)
            continue;

        QString copies;
        const qsizetype last = closed ? vertices.size() : vertices.size() - 1;
        for (qsizetype i = 1; i < last; ++i)
            copies += u"<g transform=\"translate(%1 %2)\">%3</g>"_s.arg(vertices[i].x())
                          .arg(vertices[i].y())
                          .arg(content);
        svg.replace(path.capturedStart(), path.capturedLength(), copies);
    }
    return svg;
}

QImage flagPicture(QSvgRenderer &svg, int size)
{
    Canvas canvas(size);
    const double side = canvas.side();
    QPainter p(&canvas.image());
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipPath(roundedSquare(side));
    p.fillRect(QRectF(0, 0, side, side), Qt::white);
    svg.render(&p, QRectF(0, 0, side, side));
    paintGloss(p, side);
    p.end();
    return canvas.finish(size / 16, kRim, 0.72);
}

QPolygonF pentagon(QPointF centre, double radius, double turn)
{
    QPolygonF polygon;
    for (int i = 0; i < 5; ++i) {
        const double a = turn + i * 2 * std::numbers::pi / 5;
        polygon << centre + QPointF(std::cos(a), std::sin(a)) * radius;
    }
    return polygon;
}

QImage football(int size)
{
    Canvas canvas(size);
    const double side = canvas.side();
    const double r = side / 2;
    const QPointF c(r, r);
    QPainter p(&canvas.image());
    p.setRenderHint(QPainter::Antialiasing);

    QPainterPath disk;
    disk.addEllipse(c, r, r);
    QRadialGradient body(c - QPointF(r, r) * 0.35, r * 1.5);
    body.setColorAt(0, QColor(255, 255, 255));
    body.setColorAt(0.55, QColor(236, 238, 240));
    body.setColorAt(1, QColor(150, 156, 164));
    p.fillPath(disk, body);
    p.setClipPath(disk);

    const double up = -std::numbers::pi / 2;
    const QColor patch(32, 34, 40);
    p.setPen(QPen(QColor(90, 94, 100), side * 0.035));
    for (int i = 0; i < 5; ++i) {
        const double a = up + i * 2 * std::numbers::pi / 5;
        const QPointF dir(std::cos(a), std::sin(a));
        p.drawLine(c + dir * r * 0.30, c + dir * r * 0.78);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(patch);
    p.drawPolygon(pentagon(c, r * 0.36, up));
    for (int i = 0; i < 5; ++i) {
        const double a = up + (i + 0.5) * 2 * std::numbers::pi / 5;
        const QPointF dir(std::cos(a), std::sin(a));
        p.drawPolygon(pentagon(c - dir * r * 0.98, r * 0.36, a));
    }
    p.end();
    return canvas.finish(size / 16, kRim, 0.72);
}

// A small red flag waving from a pole; only the flag and the pole are opaque.
QImage headerFlag(int size)
{
    Canvas canvas(size);
    const double s = canvas.side();
    QPainter p(&canvas.image());
    p.setRenderHint(QPainter::Antialiasing);

    // Edges on whole pixels at 16x16, so pole and cloth stay crisp.
    const double px = s / 16;
    QLinearGradient pole(px * 1.5, 0, px * 3, 0);
    pole.setColorAt(0, QColor(72, 72, 78));
    pole.setColorAt(0.4, QColor(140, 140, 148));
    pole.setColorAt(1, QColor(56, 56, 62));
    p.fillRect(QRectF(px * 1.5, px * 0.5, px * 1.5, px * 15.5), pole);

    const double x0 = px * 3, x1 = px * 15.5, top = px * 1.5, bottom = px * 9.5, amp = px * 0.75;
    const auto wave = [&](double x) {
        return amp * std::sin((x - x0) / (x1 - x0) * 2 * std::numbers::pi);
    };
    QPainterPath cloth;
    cloth.moveTo(x0, top);
    for (int i = 1; i <= 32; ++i) {
        const double x = x0 + (x1 - x0) * i / 32;
        cloth.lineTo(x, top + wave(x));
    }
    for (int i = 32; i >= 0; --i) {
        const double x = x0 + (x1 - x0) * i / 32;
        cloth.lineTo(x, bottom + wave(x));
    }
    cloth.closeSubpath();
    QLinearGradient folds(x0, 0, x1, 0);
    folds.setColorAt(0.0, QColor(200, 20, 24));
    folds.setColorAt(0.22, QColor(250, 60, 60));
    folds.setColorAt(0.55, QColor(170, 12, 18));
    folds.setColorAt(0.80, QColor(236, 44, 48));
    folds.setColorAt(1.0, QColor(190, 18, 22));
    p.fillPath(cloth, folds);
    p.end();
    return canvas.finish(0, kRim, 0);
}

bool save(const QImage &image, const QString &path)
{
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

QString flagFile(int index, int scale)
{
    return u"flag_%1%2.png"_s.arg(index, 3, 10, QLatin1Char('0'))
        .arg(scale == 2 ? u"@2x"_s : QString());
}

// Every picture at 8x (16 px) or 4x (32 px) on a checkerboard, for checking
// them by eye.
QImage contactSheet(const std::vector<QImage> &pictures, int columns)
{
    const int cell = 140;
    const int rows = int(pictures.size() + columns - 1) / columns;
    QImage sheet(columns * cell, rows * cell, QImage::Format_ARGB32);
    sheet.fill(QColor(255, 255, 255));
    QPainter p(&sheet);
    for (size_t i = 0; i < pictures.size(); ++i) {
        const QImage &pic = pictures[i];
        const int zoom = 128 / pic.width();
        const QPoint origin(int(i) % columns * cell + 6, int(i) / columns * cell + 10);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                p.fillRect(origin.x() + x * 8, origin.y() + y * 8, 8, 8,
                           (x + y) % 2 ? QColor(200, 200, 200) : QColor(240, 240, 240));
        p.drawImage(QRect(origin, QSize(pic.width() * zoom, pic.height() * zoom)), pic);
        p.drawText(origin + QPoint(0, -1), QString::number(i));
    }
    return sheet;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Writes the league flag pictures and their .qrc."_s);
    parser.addHelpOption();
    parser.addPositionalArgument(u"flag-icons"_s, u"Folder of the flag-icons npm package."_s);
    parser.addPositionalArgument(u"output"_s, u"Folder to write into (resources/flags)."_s);
    const QCommandLineOption sheetOption(u"sheet"_s, u"Also write contact sheets to <png>."_s,
                                         u"png"_s);
    parser.addOption(sheetOption);
    parser.process(app);
    if (parser.positionalArguments().size() != 2)
        parser.showHelp(1);
    const QDir source(parser.positionalArguments().at(0));
    const QDir output(parser.positionalArguments().at(1));
    if (!output.exists() && !QDir().mkpath(output.path())) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(output.path()));
        return 1;
    }

    std::vector<QImage> small, large;
    for (size_t i = 0; i < kFlagCodes.size(); ++i) {
        if (!kFlagCodes[i]) {
            small.push_back(football(16));
            large.push_back(football(32));
            continue;
        }
        const QString file =
            source.filePath(u"flags/1x1/%1.svg"_s.arg(QLatin1StringView(kFlagCodes[i])));
        QFile svgFile(file);
        if (!svgFile.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(file));
            return 1;
        }
        QSvgRenderer svg(inlineMidMarkers(QString::fromUtf8(svgFile.readAll())).toUtf8());
        if (!svg.isValid()) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(file));
            return 1;
        }
        small.push_back(flagPicture(svg, 16));
        large.push_back(flagPicture(svg, 32));
    }

    QString qrc =
        u"<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/orvane/flags\">\n"_s;
    for (int i = 0; i < int(small.size()); ++i) {
        if (!save(small[size_t(i)], output.filePath(flagFile(i, 1))) ||
            !save(large[size_t(i)], output.filePath(flagFile(i, 2))))
            return 1;
        qrc += u"    <file>%1</file>\n    <file>%2</file>\n"_s.arg(flagFile(i, 1), flagFile(i, 2));
    }
    const QImage header = headerFlag(16), header2x = headerFlag(32);
    if (!save(header, output.filePath(u"header_flag.png"_s)) ||
        !save(header2x, output.filePath(u"header_flag@2x.png"_s)))
        return 1;
    qrc += u"    <file>header_flag.png</file>\n    <file>header_flag@2x.png</file>\n"_s;
    qrc += u"</qresource>\n</RCC>\n"_s;

    QSaveFile qrcFile(output.filePath(u"orvane_flags.qrc"_s));
    if (!qrcFile.open(QIODevice::WriteOnly) || qrcFile.write(qrc.toUtf8()) < 0 ||
        !qrcFile.commit()) {
        std::fprintf(stderr, "cannot write the .qrc\n");
        return 1;
    }
    const QString licence = output.filePath(u"LICENSE-flag-icons.txt"_s);
    QFile::remove(licence);
    if (!QFile::copy(source.filePath(u"LICENSE"_s), licence)) {
        std::fprintf(stderr, "cannot copy the flag-icons licence\n");
        return 1;
    }

    if (parser.isSet(sheetOption)) {
        const QString sheetPath = parser.value(sheetOption);
        small.push_back(header);
        large.push_back(header2x);
        QString largePath = sheetPath;
        largePath.replace(u".png"_s, u"@2x.png"_s);
        if (!save(contactSheet(small, 13), sheetPath) || !save(contactSheet(large, 13), largePath))
            return 1;
    }
    return 0;
}
