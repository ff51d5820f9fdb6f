#include "controls/link_label.h"
#include "controls/shadow_label.h"
#include "controls/soft_shadow.h"
#include "skin/desktop_font.h"
#include "skin/skin_reader.h"
#include "skin/skin_style.h"
#include "tests/support/gui_test_main.h"

#include <QPainter>

using namespace orvane;
using namespace Qt::StringLiterals;

namespace {

// Masks and pictures written as rows of characters: in a mask '#' is text
// (black) and '.' is white.
QImage maskOf(const QStringList &rows)
{
    QImage mask(int(rows[0].size()), int(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x)
            mask.setPixel(x, y, rows[y][x] == u'#' ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return mask;
}

// A picture whose every pixel differs: red from x, green from y.
QImage gradient(QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y, qRgb(40 + 20 * x, 50 + 30 * y, 200));
    return picture;
}

// The shadow rule written out: darken under the text, then soften its edge.
QRgb expectedPixel(const QImage &picture, const QImage &mask, int x, int y)
{
    const auto isWhite = [&mask](int px, int py) {
        return px < 0 || py < 0 || px >= mask.width() || py >= mask.height()
                   ? false
                   : mask.pixel(px, py) == qRgb(255, 255, 255);
    };
    const auto dark = [&](int px, int py) {
        px = std::clamp(px, 0, picture.width() - 1);
        py = std::clamp(py, 0, picture.height() - 1);
        const QRgb p = picture.pixel(px, py);
        if (isWhite(px, py))
            return p;
        return qRgb(qRed(p) * 7 / 10, qGreen(p) * 7 / 10, qBlue(p) * 7 / 10);
    };
    if (isWhite(x, y))
        return picture.pixel(x, y);
    const bool edge = isWhite(x - 1, y - 1) || isWhite(x + 1, y - 1) || isWhite(x - 1, y + 1) ||
                      isWhite(x + 1, y + 1);
    if (!edge)
        return dark(x, y);
    const QRgb n[4] = {dark(x - 1, y - 1), dark(x + 1, y - 1), dark(x - 1, y + 1),
                       dark(x + 1, y + 1)};
    return qRgb((qRed(n[0]) + qRed(n[1]) + qRed(n[2]) + qRed(n[3])) / 4,
                (qGreen(n[0]) + qGreen(n[1]) + qGreen(n[2]) + qGreen(n[3])) / 4,
                (qBlue(n[0]) + qBlue(n[1]) + qBlue(n[2]) + qBlue(n[3])) / 4);
}

// A page with a known picture beneath the label.
class Backdrop : public QWidget {
public:
    explicit Backdrop(QImage picture) : m_picture(std::move(picture)) {}

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).drawImage(0, 0, m_picture); }

private:
    QImage m_picture;
};

} // namespace

class TestDrawnLabels : public QObject {
    Q_OBJECT

private slots:
    void softShadow_data();
    void softShadow();
    void shadowLabelOverItsBackground_data();
    void shadowLabelOverItsBackground();
    void shadowLabelSizesToItsText();
    void linkColours_data();
    void linkColours();
    void linkClick_data();
    void linkClick();
};

void TestDrawnLabels::softShadow_data()
{
    QTest::addColumn<QStringList>("mask");

    QTest::newRow("one pixel") << QStringList{u"....."_s, u"....."_s, u"..#.."_s, u"....."_s};
    QTest::newRow("block: inner pixels only darken")
        << QStringList{u"......"_s, u".####."_s, u".####."_s, u".####."_s, u"......"_s};
    QTest::newRow("diagonal stroke") << QStringList{u"#...."_s, u".#..."_s, u"..#.."_s, u"...#."_s};
    QTest::newRow("all text, no edge") << QStringList{u"###"_s, u"###"_s};
    QTest::newRow("no text") << QStringList{u"...."_s, u"...."_s};
    QTest::newRow("touching the border") << QStringList{u"##.."_s, u"##.."_s, u"...."_s};
}

void TestDrawnLabels::softShadow()
{
    QFETCH(QStringList, mask);
    const QImage shape = maskOf(mask);
    const QImage picture = gradient(shape.size());
    const QImage result = orvane::softShadow(picture, shape);
    QCOMPARE(result.size(), picture.size());
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            QCOMPARE(QColor(result.pixel(x, y)), QColor(expectedPixel(picture, shape, x, y)));
    }
}

void TestDrawnLabels::shadowLabelOverItsBackground_data()
{
    QTest::addColumn<bool>("onSibling"); // the picture is a sibling below, as on the login page
    QTest::newRow("drawn by the parent") << false;
    QTest::newRow("a sibling below") << true;
}

void TestDrawnLabels::shadowLabelOverItsBackground()
{
    QFETCH(bool, onSibling);
    QImage picture = gradient(QSize(8, 8)).scaled(200, 60);
    Backdrop page(onSibling ? QImage() : picture);
    page.resize(200, 60);
    Backdrop below(picture);
    below.setParent(&page);
    below.setGeometry(0, 0, 200, 60);
    below.setVisible(onSibling);
    ShadowLabel label(&page);
    label.setFont(desktopFont(u"Arial", 16, true));
    label.setText(u"VERSION: 5.0"_s);
    label.move(10, 5);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));

    // The four steps done here by hand, from the same picture and font.
    const QRect place = label.geometry();
    const QImage beneath = picture.copy(place);
    QImage mask(place.size(), QImage::Format_RGB32);
    mask.fill(Qt::white);
    const QRect text(0, 0, place.width() - 3, place.height() - 3);
    {
        QPainter painter(&mask);
        painter.setFont(label.font());
        painter.setPen(Qt::black);
        painter.drawText(text.translated(1, 1), Qt::AlignLeft | Qt::AlignTop, label.text());
        painter.drawText(text.translated(2, 2), Qt::AlignLeft | Qt::AlignTop, label.text());
    }
    QImage expected(place.size(), QImage::Format_RGB32);
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            expected.setPixel(x, y, expectedPixel(beneath, mask, x, y));
    {
        QPainter painter(&expected);
        painter.setFont(label.font());
        painter.setPen(QColor(0, 0, 0)); // COLOR_WINDOWTEXT: Fusion's window text
        painter.drawText(text, Qt::AlignLeft | Qt::AlignTop, label.text());
    }
    const QImage shown = page.grab(place).toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown, expected);
    QVERIFY(shown != beneath.convertToFormat(QImage::Format_RGB32)); // something was drawn
}

void TestDrawnLabels::shadowLabelSizesToItsText()
{
    ShadowLabel label;
    label.setFont(desktopFont(u"Arial", 16, true));
    label.setText(u"VERSION: 5.0"_s);
    const QFontMetrics metrics(label.font());
    QCOMPARE(label.size(),
             QSize(metrics.horizontalAdvance(u"VERSION: 5.0"_s) + 3, metrics.height() + 3));
    QCOMPARE(label.height(), 19); // a 16-pixel cell, plus 3
}

void TestDrawnLabels::linkColours_data()
{
    QTest::addColumn<bool>("skinned");
    QTest::addColumn<QColor>("normal");
    QTest::addColumn<QColor>("hover");

    QTest::newRow("with the skin") << true << QColor(255, 255, 255) << QColor(36, 94, 227);
    QTest::newRow("without") << false << QColor(0, 0, 0) << QColor(0, 0, 255);
}

void TestDrawnLabels::linkColours()
{
    QFETCH(bool, skinned);
    QFETCH(QColor, normal);
    QFETCH(QColor, hover);

    const SkinRead &stored = storedSkin();
    QVERIFY(stored.skin);
    SkinStyle style(skinned ? std::make_shared<Skin>(*stored.skin) : nullptr);
    QWidget page;
    page.resize(300, 60);
    LinkLabel label(&page);
    label.setProperty(kSkinElementProperty, u"stdlabel"_s);
    label.setFont(desktopFont(u"Arial", 14));
    label.setStyle(&style);
    label.setText(u"orvane.example"_s);
    label.move(10, 10);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));

    // Pixels of exactly the ink: the cores of the strokes and of the underline.
    const auto inked = [&label](const QColor &ink) {
        const QImage image = label.grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y) == ink;
        return count;
    };
    const auto inkSeen = [&](const QColor &ink, const QColor &other) {
        return inked(ink) > label.width() / 2 && inked(other) == 0;
    };
    QCOMPARE(label.normalColor(), normal);
    QVERIFY(inkSeen(normal, hover));
    QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), label.mapToGlobal(QPointF(5, 5)));
    QCoreApplication::sendEvent(&label, &enter);
    QVERIFY(label.hovered());
    QVERIFY(inkSeen(hover, normal));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&label, &leave);
    QVERIFY(inkSeen(normal, hover));
    QCOMPARE(label.cursor().shape(), Qt::PointingHandCursor);
}

void TestDrawnLabels::linkClick_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("releasedInside");
    QTest::addColumn<QStringList>("opened");

    QTest::newRow("click") << u"orvane.example"_s << true
                           << QStringList{u"http://orvane.example"_s};
    QTest::newRow("released outside") << u"orvane.example"_s << false << QStringList();
    QTest::newRow("empty target") << QString() << true << QStringList();
}

void TestDrawnLabels::linkClick()
{
    QFETCH(QString, target);
    QFETCH(bool, releasedInside);
    QFETCH(QStringList, opened);

    LinkLabel label;
    label.setText(u"orvane.example"_s);
    label.setTarget(target);
    QStringList seen;
    label.setOpener([&seen](const QUrl &url) { seen.append(url.toString()); });
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&label, Qt::LeftButton, {}, releasedInside ? QPoint(5, 5) : QPoint(-20, 5));
    QTest::mouseClick(&label, Qt::RightButton, {}, QPoint(5, 5)); // only the left button opens
    QCOMPARE(seen, opened);
}

ORVANE_GUI_TEST_MAIN(TestDrawnLabels)
#include "test_drawn_labels.moc"
