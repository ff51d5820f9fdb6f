#include "skin/skin_reader.h"
#include "skin/skin_settings.h"

#include <QHash>
#include <QResource>
#include <QTest>

using namespace orvane;
using namespace Qt::StringLiterals;

namespace {

// A small skin that is complete: every section, a frame, four caption objects
// and three control elements.
const QByteArray kGood = R"(; comment
[VERSION]
name=Test
format=1

[PICTURES]
frame=frame.png
mask=mask.png
parts=parts.png

[FORMINFO]
picture=frame
mask=mask
slices=8,20,8,8
client=4,20,4,4

[SKINCOLORS]
face=#7388A6

[SKINOBJECTS]
caption.box=30,0,30,20
caption.font=Arial,16,bold
caption.color=#FFFFFF
caption.inactivecolor=#808080
sysmenu.picture=parts
sysmenu.anchor=left
sysmenu.offset=4,2
sysmenu.normal=0,0,10,10
minimize.picture=parts
minimize.offset=20,2
minimize.normal=10,0,10,10
close.picture=parts
close.offset=4,2
close.normal=20,0,10,10
close.hover=30,0,10,10

[SKINCONTROLS]
edit.face.picture=parts
edit.face.normal=0,10,20,12
edit.face.slices=3,3,3,3
edit.stretch=width
edit.content=3,3,3,2
edit.font=Arial,14
edit.color=#000000
edit.disabledcolor=#808080
stdlabel.font=Arial,14,underline
stdlabel.color=#FFFFFF
panel.face.picture=parts
panel.face.normal=20,10,20,20
panel.stretch=any
)";

QHash<QString, QImage> goodPictures()
{
    QHash<QString, QImage> pictures;
    pictures.insert(u"frame.png"_s, QImage(60, 40, QImage::Format_ARGB32));
    pictures.insert(u"frame@2x.png"_s, QImage(120, 80, QImage::Format_ARGB32));
    pictures.insert(u"mask.png"_s, QImage(60, 40, QImage::Format_Mono));
    pictures.insert(u"parts.png"_s, QImage(40, 30, QImage::Format_ARGB32));
    return pictures;
}

SkinRead read(const QByteArray &text, const QHash<QString, QImage> &pictures = goodPictures())
{
    return readSkin(text, [&](const QString &file) { return pictures.value(file); });
}

} // namespace

class TestSkinReader : public QObject {
    Q_OBJECT

private slots:
    void settingsText_data();
    void settingsText();
    void goodSkin();
    void refused_data();
    void refused();
    void highDensityPictureMustBeTwiceTheSize();
    void highDensityPictureMeasured_data();
    void highDensityPictureMeasured();
    void storedSkin();
    void heightRule_data();
    void heightRule();
};

void TestSkinReader::settingsText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");    // empty: read
    QTest::addColumn<QByteArray>("value"); // of [A] k

    QTest::newRow("plain") << QByteArray("[A]\nk=v\n") << QString() << QByteArray("v");
    QTest::newRow("blanks and CR")
        << QByteArray("  [ A ] \r\n k = v w \r\n") << QString() << QByteArray("v w");
    QTest::newRow("comments") << QByteArray("; x\n# y\n[A]\n;k=no\nk=v") << QString()
                              << QByteArray("v");
    QTest::newRow("value holds =") << QByteArray("[A]\nk=a=b") << QString() << QByteArray("a=b");
    QTest::newRow("empty value") << QByteArray("[A]\nk=") << QString() << QByteArray("");
    QTest::newRow("setting before a section")
        << QByteArray("k=v\n[A]") << u"line 1: a setting before the first section"_s
        << QByteArray();
    QTest::newRow("no equals") << QByteArray("[A]\nkv") << u"line 2: expected key=value"_s
                               << QByteArray();
    QTest::newRow("open header") << QByteArray("[A\nk=v")
                                 << u"line 1: a section header must read [NAME]"_s << QByteArray();
    QTest::newRow("empty header") << QByteArray("[]")
                                  << u"line 1: a section header must read [NAME]"_s << QByteArray();
    QTest::newRow("key twice") << QByteArray("[A]\nk=1\nk=2")
                               << u"line 3: this key was given before in its section"_s
                               << QByteArray();
    QTest::newRow("section twice") << QByteArray("[A]\n[B]\n[A]")
                                   << u"line 3: this section was given before"_s << QByteArray();
    QTest::newRow("no key") << QByteArray("[A]\n=v") << u"line 2: a setting without a key"_s
                            << QByteArray();
}

void TestSkinReader::settingsText()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    QFETCH(QByteArray, value);

    const SkinSettingsRead read = parseSkinSettings(text);
    QCOMPARE(read.error, error);
    QCOMPARE(read.settings.has_value(), error.isEmpty());
    if (read.settings) {
        const SkinSection *section = read.settings->section("A");
        QVERIFY(section);
        QCOMPARE(section->value("k"), std::optional(value));
    }
}

void TestSkinReader::goodSkin()
{
    const SkinRead result = read(kGood);
    QVERIFY2(result.skin, qPrintable(result.error));
    const Skin &skin = *result.skin;
    QCOMPARE(skin.name, u"Test"_s);
    QCOMPARE(skin.pictures.size(), 3);
    QVERIFY(!skin.pictures[0].image2x.isNull()); // frame@2x exists
    QVERIFY(skin.pictures[2].image2x.isNull());  // parts@2x does not: 1x only

    QCOMPARE(skin.frame.face.rect(SkinState::Normal), QRect(0, 0, 60, 40));
    QCOMPARE(skin.frame.face.slices, QMargins(8, 20, 8, 8));
    QCOMPARE(skin.frame.client, QMargins(4, 20, 4, 4));
    QCOMPARE(skin.frame.caption, (SkinCaptionBox{30, 0, 30, 20}));
    QCOMPARE(skin.frame.captionFont, (DesktopFontSpec{u"Arial"_s, 16, true, false}));
    QCOMPARE(skin.frame.captionActive, QColor(255, 255, 255));
    QCOMPARE(skin.frame.captionInactive, QColor(128, 128, 128));
    QCOMPARE(skin.colors.value("face"), QColor(115, 136, 166));

    const SkinFrameButton close = skin.frame.buttons.value("close");
    QVERIFY(close.fromRight); // the default anchor
    QCOMPARE(close.offset, QPoint(4, 2));
    QCOMPARE(close.piece.rect(SkinState::Hovered), QRect(30, 0, 10, 10));
    QCOMPARE(close.piece.rect(SkinState::Pressed), QRect(20, 0, 10, 10)); // falls back to normal
    QVERIFY(!skin.frame.buttons.value("sysmenu").fromRight);

    const SkinElement *edit = skin.element("edit");
    QVERIFY(edit);
    QCOMPARE(edit->stretch, SkinStretch::Width);
    QCOMPARE(edit->content, QMargins(3, 3, 3, 2));
    QCOMPARE(edit->color("disabledcolor"), std::optional(QColor(128, 128, 128)));
    QCOMPARE(edit->piece()->slices, QMargins(3, 3, 3, 3));
    const SkinElement *label = skin.element("stdlabel");
    QVERIFY(label && !label->piece());
    QCOMPARE(label->font, (DesktopFontSpec{u"Arial"_s, 14, false, true}));
    QVERIFY(!skin.element("button")); // absent elements draw plainly, they are no error
}

void TestSkinReader::refused_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("error");

    const auto row = [](const char *name, const char *from, const char *to, const QString &error) {
        QTest::newRow(name) << QByteArray(from) << QByteArray(to) << error;
    };
    row("no VERSION", "[VERSION]\nname=Test\nformat=1\n", "",
        u"the section [VERSION] is missing"_s);
    row("no SKINCONTROLS", "[SKINCONTROLS]", "[OTHER]", u"the section [SKINCONTROLS] is missing"_s);
    row("another format", "format=1", "format=2",
        u"[VERSION] format 2 is not one this program reads"_s);
    row("no mask", "mask=mask\nslices", "slices", u"[FORMINFO] has no mask"_s);
    row("unknown picture", "picture=frame", "picture=nope",
        u"line 12 (picture): no picture of that name"_s);
    row("picture missing", "parts=parts.png", "parts=gone.png",
        u"line 9 (parts): the picture gone.png cannot be read"_s);
    row("slices too wide", "slices=8,20,8,8", "slices=30,20,30,8",
        u"[FORMINFO] the slices leave no middle to stretch"_s);
    row("rectangle leaves its picture", "panel.face.normal=20,10,20,20",
        "panel.face.normal=30,10,20,20",
        u"line 49 (panel.face.normal): the rectangle leaves its picture"_s);
    row("not a rectangle", "edit.face.normal=0,10,20,12", "edit.face.normal=0,10,20",
        u"line 39 (edit.face.normal): expected 4 numbers"_s);
    row("negative size", "edit.face.normal=0,10,20,12", "edit.face.normal=0,10,-20,12",
        u"line 39 (edit.face.normal): a rectangle needs a place and a size"_s);
    row("bad colour", "face=#7388A6", "face=blue", u"line 18 (face): a colour reads #RRGGBB"_s);
    row("bad font", "edit.font=Arial,14", "edit.font=Arial,big",
        u"line 43 (edit.font): a font reads family,height[,bold][,underline]"_s);
    row("bad stretch", "edit.stretch=width", "edit.stretch=wide",
        u"line 41 (edit.stretch): stretch is any, width, height or fixed"_s);
    row("unknown element property", "panel.stretch=any", "panel.shine=any",
        u"line 50 (panel.shine): not a property of a control element"_s);
    row("piece without picture", "panel.face.picture=parts\n", "",
        u"panel.face names no picture"_s);
    row("no close button", "close.picture=parts", "closer.picture=parts",
        u"line 32 (closer.picture): no frame object of that name"_s);
    row("no caption font", "caption.font=Arial,16,bold\n", "",
        u"[SKINOBJECTS] has no caption.font"_s);
    row("broken header", "[SKINCOLORS]", "[SKINCOLORS",
        u"line 17: a section header must read [NAME]"_s);
}

void TestSkinReader::refused()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, error);

    QByteArray text = kGood;
    QVERIFY(text.contains(from));
    text.replace(from, to);
    const SkinRead result = read(text);
    QVERIFY(!result.skin);
    QCOMPARE(result.error, error);
}

void TestSkinReader::highDensityPictureMustBeTwiceTheSize()
{
    QHash<QString, QImage> pictures = goodPictures();
    pictures.insert(u"parts@2x.png"_s, QImage(80, 61, QImage::Format_ARGB32));
    const SkinRead result = read(kGood, pictures);
    QVERIFY(!result.skin);
    QCOMPARE(result.error, u"line 9 (parts): parts@2x.png is not twice the size of parts.png"_s);
}

void TestSkinReader::highDensityPictureMeasured_data()
{
    QTest::addColumn<QSize>("parts2x");
    QTest::addColumn<QString>("error");
    QTest::newRow("twice the size: read, not decoded") << QSize(80, 60) << QString();
    QTest::newRow("wrong size: refused unread")
        << QSize(80, 61) << u"line 9 (parts): parts@2x.png is not twice the size of parts.png"_s;
}

// With a size probe, the @2x pictures are only measured while reading: each is
// decoded when first drawn, once for every copy of the skin.
void TestSkinReader::highDensityPictureMeasured()
{
    QFETCH(QSize, parts2x);
    QFETCH(QString, error);
    QHash<QString, QImage> pictures = goodPictures();
    pictures.insert(u"parts@2x.png"_s, QImage(parts2x, QImage::Format_ARGB32));
    QStringList decoded;
    const SkinRead result = readSkin(
        kGood,
        [&](const QString &file) {
            decoded << file;
            return pictures.value(file);
        },
        [&](const QString &file) { return pictures.value(file).size(); });
    QVERIFY(!decoded.contains(u"frame@2x.png"_s));
    QVERIFY(!decoded.contains(u"parts@2x.png"_s));
    QCOMPARE(result.error, error);
    if (!error.isEmpty()) {
        QVERIFY(!result.skin);
        return;
    }
    QVERIFY(result.skin);
    const Skin copy = *result.skin;
    QCOMPARE(copy.pictures[2].image2x.size(), parts2x);
    QCOMPARE(copy.pictures[2].image2x.image().size(), parts2x);
    QCOMPARE(result.skin->pictures[2].image2x.image().size(), parts2x);
    QCOMPARE(decoded.count(u"parts@2x.png"_s), 1);
}

void TestSkinReader::storedSkin()
{
    const SkinRead &stored = orvane::storedSkin();
    QVERIFY2(stored.skin, qPrintable(stored.error));
    const Skin &skin = *stored.skin;
    QCOMPARE(skin.name, u"iOS4_Ext"_s);
    QCOMPARE(skin.frame.face.size(), QSize(391, 166));
    QCOMPARE(skin.colors.value("face"), QColor(115, 136, 166));
    const auto size = [&skin](const char *element, const char *piece) {
        const SkinElement *found = skin.element(element);
        return found && found->piece(piece) ? found->piece(piece)->size() : QSize();
    };
    QCOMPARE(size("tab", "tab"), QSize(62, 21));
    QCOMPARE(size("tab", "selected"), QSize(62, 22));
    QCOMPARE(size("tab", "frame"), QSize(59, 52));
    QCOMPARE(size("edit", "face"), QSize(59, 21));
    QCOMPARE(size("checkbox", "checked"), QSize(19, 18));
    QCOMPARE(size("button", "face"), QSize(88, 28));
    QCOMPARE(size("resizebutton", "face"), QSize(39, 39));
    QCOMPARE(size("panel", "face"), QSize(59, 52));
    QCOMPARE(size("label", "face"), QSize(33, 20));
    QVERIFY(skin.element("stdlabel"));
    for (const SkinPicture &picture : skin.pictures)
        QVERIFY2(!picture.image2x.isNull(), qPrintable(picture.file));
    // Stored compressed with zlib, as the window definition carries it.
    const QResource settings(u":/orvane/skins/iOS4_Ext.skn/skin.ini"_s);
    QCOMPARE(settings.compressionAlgorithm(), QResource::ZlibCompression);
}

void TestSkinReader::heightRule_data()
{
    QTest::addColumn<int>("stretch");
    QTest::addColumn<QSize>("fitted");

    // The element's own picture is 59 x 21; the control asks for 353 x 18.
    QTest::newRow("any size") << int(SkinStretch::Any) << QSize(353, 18);
    QTest::newRow("any width") << int(SkinStretch::Width) << QSize(353, 21);
    QTest::newRow("any height") << int(SkinStretch::Height) << QSize(59, 18);
    QTest::newRow("fixed") << int(SkinStretch::Fixed) << QSize(59, 21);
}

void TestSkinReader::heightRule()
{
    QFETCH(int, stretch);
    QFETCH(QSize, fitted);

    SkinElement element;
    element.pieces["face"].rects[0] = QRect(0, 0, 59, 21);
    element.stretch = SkinStretch(stretch);
    QCOMPARE(element.fitted(QSize(353, 18)), fitted);
    QCOMPARE(SkinElement().fitted(QSize(353, 18)), QSize(353, 18)); // no picture, no rule
}

QTEST_GUILESS_MAIN(TestSkinReader)
#include "test_skin_reader.moc"
