// Checks the committed pictures of iOS4_Ext against what the engine needs of
// them: they read with skin.ini, stretch cleanly, keep to their rectangles,
// agree with the mask, carry their text legibly, and are what the generator
// paints today.
#include "skin/skin_reader.h"
#include "tools/make_skin/art_shapes.h"
#include "tools/make_skin/skin_pictures.h"

#include <QDir>
#include <QFile>
#include <QRegion>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;
using orvane::Skin;
using orvane::SkinPiece;
using orvane::SkinState;

namespace {

const QDir kSkinDir(QStringLiteral(ORVANE_SKIN_DIR));
constexpr SkinState kStates[] = {SkinState::Normal, SkinState::Hovered, SkinState::Pressed,
                                 SkinState::Disabled};
const char *const kStateNames[] = {"normal", "hover", "pressed", "disabled"};

QImage argb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

// WCAG contrast ratio of two opaque colours.
double contrast(QColor a, QColor b)
{
    const auto luminance = [](QColor c) {
        const auto linear = [](double v) {
            v /= 255;
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) <= 1 && std::abs(qGreen(a) - qGreen(b)) <= 1 &&
           std::abs(qBlue(a) - qBlue(b)) <= 1 && std::abs(qAlpha(a) - qAlpha(b)) <= 1;
}

QString at(QPoint p)
{
    return u"(%1, %2)"_s.arg(p.x()).arg(p.y());
}

} // namespace

class TestSkinArt : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void committedPicturesAreCurrent_data();
    void committedPicturesAreCurrent();
    void nothingOutsideRectangles_data();
    void nothingOutsideRectangles();
    void stretchedSlicesAreUniform_data();
    void stretchedSlicesAreUniform();
    void maskFollowsFrameOutline_data();
    void maskFollowsFrameOutline();
    void facesAreTheSkinFace_data();
    void facesAreTheSkinFace();
    void textReadsOnItsSurface_data();
    void textReadsOnItsSurface();
    void editTextAreaIsClear_data();
    void editTextAreaIsClear();
    void writingAgainGivesTheSameBytes();

private:
    const QImage &picture(int index, int scale) const;
    void addPieceRows(const QByteArray &name, const SkinPiece &piece, bool vertical);

    std::optional<Skin> m_skin;
};

void TestSkinArt::initTestCase()
{
    QFile settings(kSkinDir.filePath(u"skin.ini"_s));
    QVERIFY(settings.open(QIODevice::ReadOnly));
    orvane::SkinRead read = orvane::readSkin(settings.readAll(), [](const QString &file) {
        return argb(QImage(kSkinDir.filePath(file)));
    });
    QVERIFY2(read.skin, qPrintable(read.error));
    for (const orvane::SkinPicture &one : read.skin->pictures)
        QVERIFY2(!one.image2x.isNull(), qPrintable(one.file + u" has no @2x file"_s));
    m_skin = std::move(read.skin);
}

const QImage &TestSkinArt::picture(int index, int scale) const
{
    const orvane::SkinPicture &one = m_skin->pictures[index];
    return scale == 2 ? one.image2x : one.image;
}

void TestSkinArt::committedPicturesAreCurrent_data()
{
    QTest::addColumn<QImage>("painted");
    QTest::addColumn<QString>("file");
    for (const orvane::skinart::PaintedPicture &one : orvane::skinart::paintSkinPictures())
        QTest::newRow(qPrintable(one.file)) << one.image << one.file;
}

void TestSkinArt::committedPicturesAreCurrent()
{
    QFETCH(QImage, painted);
    QFETCH(QString, file);
    const QImage committed = argb(QImage(kSkinDir.filePath(file)));
    QCOMPARE(committed.size(), painted.size());
    const QImage now = argb(painted);
    for (int y = 0; y < now.height(); ++y)
        for (int x = 0; x < now.width(); ++x)
            if (now.pixel(x, y) != committed.pixel(x, y))
                QFAIL(qPrintable(u"differs at "_s + at({x, y}) + u": regenerate the skin"_s));
}

void TestSkinArt::nothingOutsideRectangles_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<QRegion>("used");
    QHash<int, QRegion> regions;
    const auto use = [&](const SkinPiece &piece) {
        for (SkinState state : kStates)
            regions[piece.picture] += piece.rect(state);
    };
    for (const orvane::SkinElement &element : m_skin->elements)
        for (const SkinPiece &piece : element.pieces)
            use(piece);
    for (const orvane::SkinFrameButton &button : m_skin->frame.buttons)
        use(button.piece);
    for (auto it = regions.cbegin(); it != regions.cend(); ++it) {
        for (int scale : {1, 2}) {
            QRegion scaled;
            for (const QRect &r : *it)
                scaled += QRect(r.topLeft() * scale, r.size() * scale);
            QTest::addRow("%s@%dx", qPrintable(m_skin->pictures[it.key()].file), scale)
                << picture(it.key(), scale) << scaled;
        }
    }
}

void TestSkinArt::nothingOutsideRectangles()
{
    QFETCH(QImage, image);
    QFETCH(QRegion, used);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!used.contains(QPoint(x, y)) && image.pixel(x, y) != 0)
                QFAIL(qPrintable(u"not clear at "_s + at({x, y})));
}

void TestSkinArt::addPieceRows(const QByteArray &name, const SkinPiece &piece, bool vertical)
{
    if (piece.slices.isNull())
        return;
    for (int scale : {1, 2}) {
        for (size_t s = 0; s < std::size(kStates); ++s) {
            if (s > 0 && piece.rect(kStates[s]) == piece.rect(SkinState::Normal))
                continue;
            const QRect r = piece.rect(kStates[s]);
            QTest::addRow("%s %s@%dx", name.constData(), kStateNames[s], scale)
                << picture(piece.picture, scale) << QRect(r.topLeft() * scale, r.size() * scale)
                << piece.slices * scale << vertical;
        }
    }
}

void TestSkinArt::stretchedSlicesAreUniform_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QMargins>("slices");
    QTest::addColumn<bool>("vertical");
    // The frame and the page frame grow to the window's size in both directions.
    addPieceRows("frame", m_skin->frame.face, true);
    QList<QByteArray> names = m_skin->elements.keys();
    std::sort(names.begin(), names.end());
    for (const QByteArray &name : names) {
        const orvane::SkinElement &element = m_skin->elements[name];
        QList<QByteArray> pieces = element.pieces.keys();
        std::sort(pieces.begin(), pieces.end());
        for (const QByteArray &piece : pieces)
            addPieceRows(name + '.' + piece, element.pieces[piece],
                         name == "tab" && piece == "frame");
    }
}

void TestSkinArt::stretchedSlicesAreUniform()
{
    QFETCH(QImage, image);
    QFETCH(QRect, rect);
    QFETCH(QMargins, slices);
    QFETCH(bool, vertical);
    // Along a stretched axis every pixel of the middle repeats the first one.
    const int left = rect.left() + slices.left(), right = rect.right() - slices.right();
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = left + 1; x <= right; ++x)
            if (!near(image.pixel(x, y), image.pixel(left, y)))
                QFAIL(qPrintable(u"not uniform across at "_s + at({x, y})));
    if (!vertical)
        return;
    const int top = rect.top() + slices.top(), bottom = rect.bottom() - slices.bottom();
    for (int x = rect.left(); x <= rect.right(); ++x)
        for (int y = top + 1; y <= bottom; ++y)
            if (!near(image.pixel(x, y), image.pixel(x, top)))
                QFAIL(qPrintable(u"not uniform down at "_s + at({x, y})));
}

void TestSkinArt::maskFollowsFrameOutline_data()
{
    QTest::addColumn<int>("scale");
    QTest::newRow("1x") << 1;
    QTest::newRow("2x") << 2;
}

void TestSkinArt::maskFollowsFrameOutline()
{
    QFETCH(int, scale);
    const QImage &frame = picture(m_skin->frame.face.picture, scale);
    const QImage mask = picture(m_skin->frame.mask, scale);
    const QMargins slices = m_skin->frame.face.slices * scale;
    QCOMPARE(mask.size(), frame.size());
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const QRgb m = mask.pixel(x, y);
            const int alpha = qAlpha(frame.pixel(x, y));
            if (m != qRgb(0, 0, 0) && m != qRgb(255, 255, 255))
                QFAIL(qPrintable(u"mask is grey at "_s + at({x, y})));
            if (alpha != 0 && alpha != 255)
                QFAIL(qPrintable(u"frame is half transparent at "_s + at({x, y})));
            if ((m == qRgb(0, 0, 0)) != (alpha == 255))
                QFAIL(qPrintable(u"mask and frame disagree at "_s + at({x, y})));
            // The rounding stays inside the corner slices, which keep their size.
            const bool inCorner = (x < slices.left() || x >= frame.width() - slices.right()) &&
                                  (y < slices.top() || y >= frame.height() - slices.bottom());
            if (!inCorner && alpha != 255)
                QFAIL(qPrintable(u"outline leaves the corners at "_s + at({x, y})));
        }
    }
    const int w = frame.width() - 1, h = frame.height() - 1;
    for (const QPoint corner : {QPoint(0, 0), QPoint(w, 0), QPoint(0, h), QPoint(w, h)})
        QCOMPARE(qAlpha(frame.pixel(corner)), 0);
}

void TestSkinArt::facesAreTheSkinFace_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<QRect>("face");
    const SkinPiece &page = *m_skin->element("tab")->piece("frame");
    const QRect frameFace =
        m_skin->pictures[m_skin->frame.face.picture].image.rect().marginsRemoved(
            m_skin->frame.client);
    const QRect pageFace = page.rect(SkinState::Normal).marginsRemoved(page.slices);
    for (int scale : {1, 2}) {
        const auto scaled = [scale](QRect r) {
            return QRect(r.topLeft() * scale, r.size() * scale);
        };
        QTest::addRow("frame@%dx", scale)
            << picture(m_skin->frame.face.picture, scale) << scaled(frameFace);
        QTest::addRow("page@%dx", scale) << picture(page.picture, scale) << scaled(pageFace);
    }
}

void TestSkinArt::facesAreTheSkinFace()
{
    QFETCH(QImage, image);
    QFETCH(QRect, face);
    const QRgb expected = m_skin->colors.value("face").rgb();
    QCOMPARE(QColor(expected), orvane::skinart::kFace);
    for (int y = face.top(); y <= face.bottom(); ++y)
        for (int x = face.left(); x <= face.right(); ++x)
            if (image.pixel(x, y) != expected)
                QFAIL(qPrintable(u"not the face colour at "_s + at({x, y})));
}

void TestSkinArt::textReadsOnItsSurface_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<QRect>("band");
    QTest::addColumn<QColor>("ink");
    QTest::addColumn<double>("least");
    // The band where a centred caption lies: the middle columns, the middle half of the height.
    const auto add = [this](const char *name, const SkinPiece &piece, SkinState state, QColor ink,
                            double least) {
        const QRect r = piece.rect(state);
        const QRect band(r.left() + piece.slices.left(), r.top() + r.height() / 4,
                         r.width() - piece.slices.left() - piece.slices.right(), r.height() / 2);
        QTest::newRow(name) << picture(piece.picture, 1) << band << ink << least;
    };
    const auto colour = [this](QByteArrayView element, QByteArrayView name) {
        return *m_skin->element(element)->color(name);
    };
    const Skin &s = *m_skin;
    const QMargins box = s.frame.caption; // insets from the top corners, and the height
    const QImage &frame = picture(s.frame.face.picture, 1);
    QTest::newRow("caption") << frame
                             << QRect(box.left(), box.top() + box.bottom() / 4,
                                      frame.width() - box.left() - box.right(), box.bottom() / 2)
                             << s.frame.captionActive << 4.5;
    for (const char *element : {"button", "resizebutton"}) {
        const SkinPiece &face = *s.element(element)->piece();
        for (size_t i = 0; i < 3; ++i)
            add(qPrintable(QString::fromLatin1(element) + u' ' + QLatin1StringView(kStateNames[i])),
                face, kStates[i], colour(element, "color"), 4.5);
    }
    const SkinPiece &edit = *s.element("edit")->piece();
    add("edit normal", edit, SkinState::Normal, colour("edit", "color"), 4.5);
    add("edit focused", edit, SkinState::Pressed, colour("edit", "color"), 4.5);
    add("edit disabled", edit, SkinState::Disabled, colour("edit", "disabledcolor"), 3);
    add("label", *s.element("label")->piece(), SkinState::Normal, colour("label", "color"), 4.5);
    const orvane::SkinElement &tab = *s.element("tab");
    add("tab", *tab.piece("tab"), SkinState::Normal, colour("tab", "color"), 4.5);
    add("tab hover", *tab.piece("tab"), SkinState::Hovered, colour("tab", "hovercolor"), 4.5);
    add("tab selected", *tab.piece("selected"), SkinState::Normal, colour("tab", "selectedcolor"),
        4.5);
}

void TestSkinArt::textReadsOnItsSurface()
{
    QFETCH(QImage, image);
    QFETCH(QRect, band);
    QFETCH(QColor, ink);
    QFETCH(double, least);
    for (int y = band.top(); y <= band.bottom(); ++y) {
        for (int x = band.left(); x <= band.right(); ++x) {
            const QColor surface = image.pixelColor(x, y);
            QCOMPARE(surface.alpha(), 255);
            if (contrast(surface, ink) < least)
                QFAIL(qPrintable(u"contrast %1 at "_s.arg(contrast(surface, ink), 0, 'f', 2) +
                                 at({x, y})));
        }
    }
}

void TestSkinArt::editTextAreaIsClear_data()
{
    QTest::addColumn<QRect>("rect");
    const SkinPiece &face = *m_skin->element("edit")->piece();
    for (size_t i = 0; i < std::size(kStates); ++i)
        QTest::newRow(kStateNames[i]) << face.rect(kStates[i]);
}

void TestSkinArt::editTextAreaIsClear()
{
    QFETCH(QRect, rect);
    // Border and focus glow stay outside the text area: it is all light, opaque fill.
    const QImage &image = picture(m_skin->element("edit")->piece()->picture, 1);
    const QRect text = rect.marginsRemoved(m_skin->element("edit")->content);
    for (int y = text.top(); y <= text.bottom(); ++y) {
        for (int x = text.left(); x <= text.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() != 255 || std::min({c.red(), c.green(), c.blue()}) < 210)
                QFAIL(qPrintable(u"text area not clear at "_s + at({x, y})));
        }
    }
}

void TestSkinArt::writingAgainGivesTheSameBytes()
{
    const std::vector<orvane::skinart::PaintedPicture> pictures =
        orvane::skinart::paintSkinPictures();
    QTemporaryDir first, second;
    QVERIFY(first.isValid() && second.isValid());
    QCOMPARE(orvane::skinart::writeSkinPictures(pictures, QDir(first.path())), QString());
    QCOMPARE(orvane::skinart::writeSkinPictures(orvane::skinart::paintSkinPictures(),
                                                QDir(second.path())),
             QString());
    for (const orvane::skinart::PaintedPicture &one : pictures) {
        QFile a(QDir(first.path()).filePath(one.file)), b(QDir(second.path()).filePath(one.file));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QVERIFY2(a.readAll() == b.readAll(), qPrintable(one.file));
    }
}

QTEST_GUILESS_MAIN(TestSkinArt)
#include "test_skin_art.moc"
