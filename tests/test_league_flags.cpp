#include "table/league_flags.h"
#include "tests/support/gui_test_main.h"

#include <QHash>
#include <QTest>

using namespace orvane;
using namespace Qt::StringLiterals;

namespace {

// The league names as the service writes them, kept apart from the code's
// table so that a typo or a stray entry there shows up here.
struct Expected {
    const char *name;
    int index;
};
constexpr Expected kExpectedNames[] = {
    {"Argentina", 1},      {"Armenia", 2},       {"Australia", 3},     {"Austria", 4},
    {"Bahrain", 5},        {"Belarus", 6},       {"Belgium", 7},       {"Bosnia", 8},
    {"Brazil", 9},         {"Bulgaria", 10},     {"Cameroon", 11},     {"Canada", 12},
    {"Chile", 13},         {"China", 14},        {"Colombia", 15},     {"Ecuador", 15},
    {"Costa Rica", 16},    {"Croatia", 17},      {"Cyprus", 18},       {"Czech Rep", 19},
    {"Denmark", 20},       {"Egypt", 21},        {"El Salvador", 22},  {"England", 23},
    {"Estonia", 24},       {"UEFA", 25},         {"AFC", 25},          {"CAF", 25},
    {"CONCACAF", 25},      {"CONMEBOL", 25},     {"FIFA", 25},         {"Finland", 26},
    {"France", 27},        {"Georgia", 28},      {"Germany", 29},      {"Greece", 30},
    {"Guatemala", 31},     {"Honduras", 32},     {"Hong Kong", 33},    {"Hungary", 34},
    {"Iceland", 35},       {"India", 36},        {"Indonesia", 37},    {"Iran", 38},
    {"Iraq", 39},          {"Ireland", 40},      {"Israel", 41},       {"Italy", 42},
    {"Japan", 43},         {"Jordan", 44},       {"Kazakhstan", 45},   {"Kuwait", 46},
    {"Lebanon", 47},       {"Lithuania", 48},    {"Malaysia", 50},     {"Mexico", 51},
    {"Moldova", 52},       {"Montenegro", 53},   {"Morocco", 54},      {"Holland", 55},
    {"New Zealand", 56},   {"Norway", 57},       {"Paraguay", 58},     {"Peru", 59},
    {"Philippines", 60},   {"Poland", 61},       {"Portugal", 62},     {"Qatar", 63},
    {"Romania", 64},       {"Russia", 65},       {"Saudi Arabia", 66}, {"Scotland", 67},
    {"Senegal", 68},       {"Serbia", 69},       {"Singapoure", 70},   {"Slovakia", 71},
    {"Slovenia", 72},      {"South Africa", 73}, {"South Korea", 74},  {"Spain", 75},
    {"Sweden", 76},        {"Switzerland", 77},  {"Thailand", 78},     {"Tunisia", 79},
    {"Turkey", 80},        {"Ukraine", 81},      {"UAE", 82},          {"United States", 83},
    {"Uruguay", 84},       {"Uzbekistan", 85},   {"Venezuela", 86},    {"Vietnam", 87},
    {"Wales", 88},         {"Yemen", 89},        {"Andorra", 90},      {"Nigeria", 91},
    {"Swaziland", 92},     {"Algeria", 93},      {"Syria", 94},        {"Malta", 95},
    {"Macedonia FYR", 96}, {"Albania", 97},      {"Kosovo", 98},       {"Azerbaijan", 99},
    {"Uganda", 100},       {"Latvia", 101},      {"Luxemburg", 102},
};

bool onlyOpaqueOrClear(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const int a = qAlpha(image.pixel(x, y)); a != 0 && a != 255)
                return false;
    return true;
}

bool near(QRgb pixel, QColor expected)
{
    return qAbs(qRed(pixel) - expected.red()) < 80 && qAbs(qGreen(pixel) - expected.green()) < 80 &&
           qAbs(qBlue(pixel) - expected.blue()) < 80;
}

} // namespace

class TestLeagueFlags : public QObject {
    Q_OBJECT

private slots:
    void leagueFlagIndex_data();
    void leagueFlagIndex();
    void everyName();
    void pictures_data();
    void pictures();
    void picturesDistinct();
    void pictureContent_data();
    void pictureContent();
    void headerFlag_data();
    void headerFlag();
    void icons_data();
    void icons();
    void emptyAndCopiedSets();
};

void TestLeagueFlags::leagueFlagIndex_data()
{
    QTest::addColumn<QByteArray>("liga");
    QTest::addColumn<int>("expected");

    QTest::newRow("country and league") << QByteArray("Spain. Copa del Rey") << 75;
    QTest::newRow("nothing after the dot") << QByteArray("Spain.") << 75;
    QTest::newRow("no dot") << QByteArray("Spain") << 0;
    QTest::newRow("leading dot") << QByteArray(".Spain") << 0;
    QTest::newRow("lone dot") << QByteArray(".") << 0;
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("lower case") << QByteArray("spain. Copa") << 0;
    QTest::newRow("blank before dot") << QByteArray("Spain . Copa") << 0;
    QTest::newRow("leading blank") << QByteArray(" Spain. Copa") << 0;
    QTest::newRow("prefix of a name") << QByteArray("Spai. Copa") << 0;
    QTest::newRow("name is a prefix") << QByteArray("Spains. Copa") << 0;
    QTest::newRow("no blank after dot") << QByteArray("Wales.Premier") << 88;
    QTest::newRow("first dot ends key") << QByteArray("Czech Rep. 1. Liga") << 19;
    QTest::newRow("cut at an earlier dot") << QByteArray("Czech. Rep. Liga") << 0;
    QTest::newRow("several dots") << QByteArray("England. Premier League. Matchday 2") << 23;
    QTest::newRow("inner blank") << QByteArray("Hong Kong. Premier") << 33;
    QTest::newRow("Ecuador shares") << QByteArray("Ecuador. Serie A") << 15;
    QTest::newRow("Colombia") << QByteArray("Colombia. Liga") << 15;
    QTest::newRow("UEFA") << QByteArray("UEFA. Champions League") << 25;
    QTest::newRow("FIFA") << QByteArray("FIFA. World Cup") << 25;
    QTest::newRow("CONMEBOL") << QByteArray("CONMEBOL. Libertadores") << 25;
    QTest::newRow("Luxemburg") << QByteArray("Luxemburg. Cup") << 102;
    QTest::newRow("Luxembourg") << QByteArray("Luxembourg. Cup") << 0;
    QTest::newRow("Netherlands") << QByteArray("Netherlands. Eredivisie") << 0;
    QTest::newRow("Holland") << QByteArray("Holland. Eredivisie") << 55;
    QTest::newRow("Singapore") << QByteArray("Singapore. League") << 0;
    QTest::newRow("Europe") << QByteArray("Europe. Friendlies") << 0;
    QTest::newRow("Macedonia short") << QByteArray("Macedonia. Cup") << 0;
    QTest::newRow("Macedonia FYR") << QByteArray("Macedonia FYR. Cup") << 96;
    QTest::newRow("embedded NUL") << QByteArray("Spain\0. Copa", 12) << 0;
    QTest::newRow("cp1251 text") << QByteArray("\xC8\xF1\xEF\xE0\xED\xE8\xFF. \xCB\xE8\xE3\xE0")
                                 << 0;
    QTest::newRow("high bytes after key")
        << QByteArray("Russia. \xCF\xF0\xE5\xEC\xFC\xE5\xF0") << 65;
}

void TestLeagueFlags::leagueFlagIndex()
{
    QFETCH(QByteArray, liga);
    QFETCH(int, expected);
    QCOMPARE(LeagueFlagIndex(liga), expected);
}

void TestLeagueFlags::everyName()
{
    QHash<QByteArray, int> expected;
    for (const Expected &e : kExpectedNames)
        expected.insert(QByteArray(e.name), e.index);
    QCOMPARE(expected.size(), 107);

    for (const LeagueFlagName &entry : kLeagueFlagNames) {
        const QByteArray name(entry.name.data(), qsizetype(entry.name.size()));
        QVERIFY2(expected.contains(name), name.constData());
        QCOMPARE(entry.index, expected.value(name));
    }
    QCOMPARE(kLeagueFlagNames.size(), size_t(expected.size()));

    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        QCOMPARE(LeagueFlagIndex(QByteArray(it.key() + ". League")), it.value());
        QCOMPARE(LeagueFlagIndex(QByteArray(it.key() + ".")), it.value());
        QCOMPARE(LeagueFlagIndex(it.key()), 0);
        QVERIFY(LeagueFlagIndex(QByteArray(it.key() + ". League")) != 49);
    }
}

void TestLeagueFlags::pictures_data()
{
    QTest::addColumn<int>("scale");
    QTest::newRow("16x16") << 1;
    QTest::newRow("32x32") << 2;
}

void TestLeagueFlags::pictures()
{
    QFETCH(int, scale);
    const int side = kFlagSize * scale;
    for (int i = 0; i < kFlagCount; ++i) {
        const QImage image = flagImage(i, scale);
        QVERIFY2(!image.isNull(), qPrintable(QString::number(i)));
        QCOMPARE(image.size(), QSize(side, side));
        QVERIFY2(image.hasAlphaChannel(), qPrintable(QString::number(i)));
        QVERIFY2(onlyOpaqueOrClear(image), qPrintable(QString::number(i)));
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(side - 1, 0), QPoint(0, side - 1), QPoint(side - 1, side - 1)})
            QCOMPARE(qAlpha(image.pixel(corner)), 0);
        QCOMPARE(qAlpha(image.pixel(side / 2, side / 2)), 255);
    }
    QVERIFY(flagImage(-1, scale).isNull());
    QVERIFY(flagImage(kFlagCount, scale).isNull());
}

void TestLeagueFlags::picturesDistinct()
{
    QList<QImage> images;
    for (int i = 0; i < kFlagCount; ++i)
        images.append(flagImage(i).convertToFormat(QImage::Format_ARGB32));
    for (int i = 0; i < kFlagCount; ++i) {
        for (int j = i + 1; j < kFlagCount; ++j) {
            if (i == 49 && j == 102)
                continue;
            QVERIFY2(images[i] != images[j], qPrintable(u"%1 and %2"_s.arg(i).arg(j)));
        }
    }
}

void TestLeagueFlags::pictureContent_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("football patch") << 0 << QPoint(8, 8) << QColor(30, 30, 30);
    QTest::newRow("football leather") << 0 << QPoint(4, 4) << QColor(240, 240, 240);
    QTest::newRow("England cross") << 23 << QPoint(3, 8) << QColor(200, 20, 40);
    QTest::newRow("England field") << 23 << QPoint(3, 12) << QColor(220, 220, 220);
    QTest::newRow("Europe") << 25 << QPoint(2, 12) << QColor(0, 40, 130);
    QTest::newRow("Holland top") << 55 << QPoint(8, 3) << QColor(200, 60, 70);
    QTest::newRow("Holland bottom") << 55 << QPoint(8, 13) << QColor(30, 60, 130);
    QTest::newRow("Scotland field") << 67 << QPoint(2, 8) << QColor(0, 90, 180);
    QTest::newRow("Spain middle") << 75 << QPoint(12, 9) << QColor(230, 190, 0);
    QTest::newRow("Wales bottom") << 88 << QPoint(2, 13) << QColor(0, 140, 50);
    QTest::newRow("Luxemburg bottom") << 102 << QPoint(8, 13) << QColor(0, 150, 200);
}

void TestLeagueFlags::pictureContent()
{
    QFETCH(int, index);
    QFETCH(QPoint, at);
    QFETCH(QColor, colour);
    const QRgb pixel = flagImage(index).pixel(at);
    QVERIFY2(near(pixel, colour), qPrintable(QColor(pixel).name()));
}

void TestLeagueFlags::headerFlag_data()
{
    pictures_data();
}

void TestLeagueFlags::headerFlag()
{
    QFETCH(int, scale);
    const QImage image = headerFlagImage(scale);
    QCOMPARE(image.size(), QSize(kFlagSize * scale, kFlagSize * scale));
    QVERIFY(onlyOpaqueOrClear(image));
    int red = 0, clear = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) == 0) {
                ++clear;
                continue;
            }
            QVERIFY2(qRed(p) < 230 || qGreen(p) < 230 || qBlue(p) < 230, "white must be clear");
            if (qRed(p) > 150 && qGreen(p) < 80 && qBlue(p) < 80)
                ++red;
        }
    }
    QVERIFY(red > image.width() * image.height() / 4);
    QVERIFY(clear > image.width() * image.height() / 4);
}

void TestLeagueFlags::icons_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<int>("scale");
    QTest::newRow("normal screen") << 1.0 << 1;
    QTest::newRow("dense screen") << 2.0 << 2;
}

void TestLeagueFlags::icons()
{
    QFETCH(qreal, ratio);
    QFETCH(int, scale);
    const auto argb = [](const QPixmap &pixmap) {
        return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    };
    const FlagImages flags = FlagImages::bundled();
    QCOMPARE(flags.count(), 103);
    for (int i = 0; i < flags.count(); ++i) {
        const QPixmap pixmap = flags.icon(i).pixmap(QSize(16, 16), ratio);
        QCOMPARE(pixmap.size(), QSize(16 * scale, 16 * scale));
        QCOMPARE(pixmap.deviceIndependentSize(), QSizeF(16, 16));
        QCOMPARE(argb(pixmap), flagImage(i, scale).convertToFormat(QImage::Format_ARGB32));
    }
    const QPixmap header = flags.headerIcon().pixmap(QSize(16, 16), ratio);
    QCOMPARE(argb(header), headerFlagImage(scale).convertToFormat(QImage::Format_ARGB32));
    QVERIFY(flags.icon(-1).isNull());
    QVERIFY(flags.icon(103).isNull());
}

void TestLeagueFlags::emptyAndCopiedSets()
{
    const FlagImages none;
    QVERIFY(none.isEmpty());
    QVERIFY(none.icon(0).isNull());
    QVERIFY(none.headerIcon().isNull());

    FlagImages copy;
    {
        const FlagImages loaded = FlagImages::bundled();
        copy = loaded;
        QCOMPARE(copy.icon(23).cacheKey(), loaded.icon(23).cacheKey()); // shared, not copied
    }
    QCOMPARE(copy.icon(23).pixmap(QSize(16, 16), 1.0).toImage().pixel(3, 8),
             flagImage(23).pixel(3, 8));
}

ORVANE_GUI_TEST_MAIN(TestLeagueFlags)
#include "test_league_flags.moc"
