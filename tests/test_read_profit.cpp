#include "service/read_profit.h"

#include <QTest>
#include <limits>

using namespace orvane;
using namespace Qt::StringLiterals;

namespace {

constexpr qint32 kMin = std::numeric_limits<qint32>::min();
constexpr qint32 kMax = std::numeric_limits<qint32>::max();

} // namespace

class TestReadProfit : public QObject {
    Q_OBJECT

private slots:
    void readProfit_data();
    void readProfit();
};

void TestReadProfit::readProfit_data()
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
    QTest::newRow("nine significant hex digits") << "$123456789"_ba << 0;
}

void TestReadProfit::readProfit()
{
    QFETCH(QByteArray, musum);
    QFETCH(qint32, expected);
    QCOMPARE(orvane::readProfit(musum), expected);
}

QTEST_GUILESS_MAIN(TestReadProfit)
#include "test_read_profit.moc"
