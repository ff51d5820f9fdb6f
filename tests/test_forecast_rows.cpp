#include "table/forecast_rows.h"
#include "tests/support/gui_test_main.h"

#include <QTest>

using namespace orvane;
using enum orvane::ForecastGridModel::Column;
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

} // namespace

class TestForecastRows : public QObject {
    Q_OBJECT

private slots:
    void fillsEveryColumn();
    void outcome_data();
    void outcome();
    void profit_data();
    void profit();
    void emptyRecord();
    void appendsAfterTheLastRow();
};

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
