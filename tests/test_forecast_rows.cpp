#include "forecast_rows.h"
#include "gui_test_main.h"

#include <QTest>
#include <limits>

using namespace orvane;
using namespace Qt::StringLiterals;

namespace {

struct Fields {
    QByteArray id{}, date{}, time{}, home{}, away{}, kf{}, itog{}, bet{}, score{}, liga{}, orvane{},
        musum{};
};

MatchRecord record(const Fields &f)
{
    return MatchRecord::fromValues({f.id, f.date, f.time, f.home, f.away, f.kf, f.itog, f.bet,
                                    f.score, f.liga, f.orvane, f.musum});
}

constexpr qint32 kMin = std::numeric_limits<qint32>::min();
constexpr qint32 kMax = std::numeric_limits<qint32>::max();

} // namespace

class TestForecastRows : public QObject {
    Q_OBJECT

private slots:
    void replaceAll_data();
    void replaceAll();
    void replaceAllLongText();
    void readProfit_data();
    void readProfit();
    void fillsEveryColumn();
    void outcome_data();
    void outcome();
    void profit_data();
    void profit();
    void emptyRecord();
    void appendsAfterTheLastRow();
};

void TestForecastRows::replaceAll_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("pattern");
    QTest::addColumn<QByteArray>("replacement");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("odds") << "1.85"_ba
                          << "."_ba
                          << ","_ba
                          << "1,85"_ba;
    QTest::newRow("no point") << "2"_ba
                              << "."_ba
                              << ","_ba
                              << "2"_ba;
    QTest::newRow("two points") << "1.2.3"_ba
                                << "."_ba
                                << ","_ba
                                << "1,2,3"_ba;
    QTest::newRow("trailing zero") << "1.2.30"_ba
                                   << "."_ba
                                   << ","_ba
                                   << "1,2,30"_ba;
    QTest::newRow("empty pattern") << "1.2"_ba
                                   << ""_ba
                                   << ","_ba
                                   << "1.2"_ba;
    QTest::newRow("empty text") << ""_ba
                                << "."_ba
                                << ","_ba
                                << ""_ba;
    QTest::newRow("empty replacement") << "a..b"_ba
                                       << "."_ba
                                       << ""_ba
                                       << "ab"_ba;
    // Searching again from the start: replaced text joins its neighbours.
    QTest::newRow("joins the left") << "aabb"_ba
                                    << "ab"_ba
                                    << "a"_ba
                                    << "aa"_ba;
    QTest::newRow("shrinks repeatedly") << "a...b"_ba
                                        << ".."_ba
                                        << "."_ba
                                        << "a.b"_ba;
    QTest::newRow("joins inserted text") << "aab"_ba
                                         << "ab"_ba
                                         << "ba"_ba
                                         << "baa"_ba;
    QTest::newRow("bytes above 127") << "\xc0.\xff"_ba
                                     << "."_ba
                                     << "\xe0"_ba
                                     << "\xc0\xe0\xff"_ba;
    // Outside the searching-again contract: left to right, inserted text left alone.
    QTest::newRow("replacement holds pattern") << "a.b."_ba
                                               << "."_ba
                                               << ".."_ba
                                               << "a..b.."_ba;
    QTest::newRow("doubling") << "xax"_ba
                              << "a"_ba
                              << "aa"_ba
                              << "xaax"_ba;
    QTest::newRow("grows without end") << "aab"_ba
                                       << "ab"_ba
                                       << "bbaa"_ba
                                       << "abbaa"_ba;
}

void TestForecastRows::replaceAll()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, pattern);
    QFETCH(QByteArray, replacement);
    QFETCH(QByteArray, expected);
    QCOMPARE(ReplaceAll(text, pattern, replacement), expected);
}

void TestForecastRows::replaceAllLongText()
{
    QByteArray text;
    for (int i = 0; i < 200000; ++i)
        text += QByteArray::number(i) + (i % 3 ? "." : "..");
    QCOMPARE(ReplaceAll(text, ".", ","), QByteArray(text).replace('.', ','));
}

void TestForecastRows::readProfit_data()
{
    QTest::addColumn<QByteArray>("musum");
    QTest::addColumn<qint32>("expected");

    QTest::newRow("plain") << "15"_ba << 15;
    QTest::newRow("negative") << "-7"_ba << -7;
    QTest::newRow("plus") << "+15"_ba << 15;
    QTest::newRow("leading zero") << "015"_ba << 15;
    QTest::newRow("zero") << "0"_ba << 0;
    QTest::newRow("empty") << ""_ba << 0;
    QTest::newRow("decimal point") << "12.5"_ba << 0;
    QTest::newRow("trailing blank") << "15 "_ba << 0;
    QTest::newRow("letters") << "abc"_ba << 0;
    QTest::newRow("leading blanks") << "   42"_ba << 42;
    QTest::newRow("blanks then sign") << "  -42"_ba << -42;
    QTest::newRow("blank after sign") << "- 5"_ba << 0;
    QTest::newRow("leading tab") << "\t5"_ba << 0;
    QTest::newRow("two signs") << "+-5"_ba << 0;
    QTest::newRow("max") << "2147483647"_ba << kMax;
    QTest::newRow("above max") << "2147483648"_ba << 0;
    QTest::newRow("min") << "-2147483648"_ba << kMin;
    QTest::newRow("below min") << "-2147483649"_ba << 0;
    QTest::newRow("dollar") << "$1F"_ba << 31;
    QTest::newRow("x") << "x1f"_ba << 31;
    QTest::newRow("0x") << "0x1F"_ba << 31;
    QTest::newRow("prefix only") << "$"_ba << 0;
    QTest::newRow("0x only") << "0x"_ba << 0;
    QTest::newRow("bad hex digit") << "$1G"_ba << 0;
    QTest::newRow("x after decimal zeros") << "00x1"_ba << 0;
    QTest::newRow("negative hex") << "-$10"_ba << -16;
    QTest::newRow("hex max") << "$7FFFFFFF"_ba << kMax;
    QTest::newRow("hex pattern min") << "$80000000"_ba << kMin;
    QTest::newRow("hex pattern -1") << "$FFFFFFFF"_ba << -1;
    QTest::newRow("negated pattern") << "-$FFFFFFFF"_ba << 1;
    QTest::newRow("leading hex zeros") << "$0000000000000001"_ba << 1;
    QTest::newRow("nine hex digits") << "$100000000"_ba << 0;
}

void TestForecastRows::readProfit()
{
    QFETCH(QByteArray, musum);
    QFETCH(qint32, expected);
    QCOMPARE(orvane::readProfit(musum), expected);
}

void TestForecastRows::fillsEveryColumn()
{
    ForecastGrid NG;
    // "Динамо" in Windows-1251.
    AddForecastRow(NG,
                   record({"42", "12.03.2026", "19:45", "\xc4\xe8\xed\xe0\xec\xee", "Real & Co",
                           "1.85", "?", "1X", "2:1", "England. Premier League", "Expert", "abc"}));
    const ForecastGridModel &model = *NG.gridModel();
    QCOMPARE(NG.RowCount(), 1);
    QCOMPARE(model.text(Id, 0), u"42"_s);
    QCOMPARE(model.text(Sport, 0), QString());
    QCOMPARE(model.imageIndex(0), 23);
    QCOMPARE(model.hint(Flag, 0), u"England. Premier League"_s);
    QCOMPARE(model.text(Time, 0), u"19:45"_s);
    QCOMPARE(model.text(Home, 0), u"Динамо"_s);
    QCOMPARE(model.text(Away, 0), u"Real & Co"_s);
    QCOMPARE(model.text(Bet, 0), u"1X"_s);
    QCOMPARE(model.text(Odd, 0), u"1,85"_s);
    QCOMPARE(model.text(Orvane, 0), u"Expert"_s);
    QCOMPARE(model.text(Score, 0), u"2:1"_s);
    QCOMPARE(model.text(Rez, 0), u"?"_s);
    QCOMPARE(model.text(Profit, 0), QString());
    for (int column = 0; column < ColumnCount; ++column) {
        QVERIFY2(model.text(column, 0) != u"12.03.2026"_s, "the date is shown nowhere");
        QVERIFY(!model.background(column, 0).isValid());
        if (column != Flag)
            QVERIFY(model.hint(column, 0).isEmpty());
    }
}

void TestForecastRows::outcome_data()
{
    QTest::addColumn<QByteArray>("itog");
    QTest::addColumn<QColor>("rez");

    QTest::newRow("won") << "+"_ba << QColor(0, 255, 0);
    QTest::newRow("lost") << "-"_ba << QColor(255, 0, 0);
    QTest::newRow("draw") << "="_ba << QColor(0, 0, 255);
    QTest::newRow("open") << ""_ba << QColor();
    QTest::newRow("blank before") << " +"_ba << QColor();
    QTest::newRow("twice") << "++"_ba << QColor();
    QTest::newRow("word") << "win"_ba << QColor();
}

void TestForecastRows::outcome()
{
    QFETCH(QByteArray, itog);
    QFETCH(QColor, rez);

    ForecastGrid NG;
    AddForecastRow(NG, record({.itog = itog, .score = "2:1"}));
    const ForecastGridModel &model = *NG.gridModel();
    QCOMPARE(model.background(Rez, 0), rez);
    QCOMPARE(model.text(Rez, 0), QString::fromLatin1(itog));
    QCOMPARE(model.text(Score, 0), u"2:1"_s);
    if (rez.isValid()) {
        QCOMPARE(model.background(Score, 0), QColor(255, 128, 192));
        QCOMPARE(model.hint(Score, 0), u"Завершен"_s);
    } else {
        QVERIFY(!model.background(Score, 0).isValid());
        QVERIFY(model.hint(Score, 0).isEmpty());
    }
}

void TestForecastRows::profit_data()
{
    QTest::addColumn<QByteArray>("musum");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("background");

    QTest::newRow("gain") << "15"_ba << u"15"_s << QColor(0, 64, 0);
    QTest::newRow("loss") << "-7"_ba << u"-7"_s << QColor(128, 0, 0);
    QTest::newRow("plus sign dropped") << "+15"_ba << u"15"_s << QColor(0, 64, 0);
    QTest::newRow("leading zero dropped") << "015"_ba << u"15"_s << QColor(0, 64, 0);
    QTest::newRow("hex shown decimal") << "$1F"_ba << u"31"_s << QColor(0, 64, 0);
    QTest::newRow("hex negative pattern") << "$FFFFFFFF"_ba << u"-1"_s << QColor(128, 0, 0);
    QTest::newRow("zero") << "0"_ba << QString() << QColor();
    QTest::newRow("empty") << ""_ba << QString() << QColor();
    QTest::newRow("fraction") << "12.5"_ba << QString() << QColor();
    QTest::newRow("trailing blank") << "15 "_ba << QString() << QColor();
}

void TestForecastRows::profit()
{
    QFETCH(QByteArray, musum);
    QFETCH(QString, text);
    QFETCH(QColor, background);

    ForecastGrid NG;
    AddForecastRow(NG, record({.musum = musum}));
    QCOMPARE(NG.gridModel()->text(Profit, 0), text);
    QCOMPARE(NG.gridModel()->background(Profit, 0), background);
}

void TestForecastRows::emptyRecord()
{
    ForecastGrid NG;
    AddForecastRow(NG, MatchRecord());
    const ForecastGridModel &model = *NG.gridModel();
    QCOMPARE(model.imageIndex(0), 0);
    for (int column = 0; column < ColumnCount; ++column) {
        QVERIFY(model.text(column, 0).isEmpty());
        QVERIFY(model.hint(column, 0).isEmpty());
        QVERIFY(!model.background(column, 0).isValid());
    }
}

void TestForecastRows::appendsAfterTheLastRow()
{
    ForecastGrid NG;
    AddForecastRow(NG, record({.id = "1", .itog = "+", .liga = "Spain. Liga"}));
    AddForecastRow(NG, record({.id = "2", .liga = "Narnia. Cup"}));
    const ForecastGridModel &model = *NG.gridModel();
    QCOMPARE(NG.RowCount(), 2);
    QCOMPARE(model.text(Id, 1), u"2"_s);
    QCOMPARE(model.imageIndex(0), 75);
    QCOMPARE(model.imageIndex(1), 0);
    // Nothing of the first forecast passes to the second.
    QVERIFY(!model.background(Rez, 1).isValid());
    QVERIFY(model.hint(Score, 1).isEmpty());
}

ORVANE_GUI_TEST_MAIN(TestForecastRows)
#include "test_forecast_rows.moc"
