#include "table/forecast_grid.h"
#include "table/forecast_header.h"
#include "tests/support/grid_rows.h"
#include "tests/support/gui_test_main.h"

#include <QHeaderView>
#include <QTest>

using namespace orvane;
using namespace orvane::test;
using enum orvane::ForecastGridModel::Column;
using namespace Qt::StringLiterals;

class TestForecastSorting : public QObject {
    Q_OBJECT

private slots:
    void sortsTextsByCodeUnits_data();
    void sortsTextsByCodeUnits();
    void sortsFlagsByIndex();
    void equalKeysKeepTheirOrder();
    void remembersDirectionPerColumn();
    void newLoadKeepsReplyOrder();
    void headerClickSorts();
    void sortMark_data();
    void sortMark();
};

void TestForecastSorting::sortsTextsByCodeUnits_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("ascending");

    QTest::newRow("profit as text")
        << int(Profit) << QStringList{u"10"_s, u""_s, u"-3"_s, u"7"_s, u"-12"_s, u""_s}
        << QStringList{u""_s, u""_s, u"-12"_s, u"-3"_s, u"10"_s, u"7"_s};
    QTest::newRow("case and prefixes")
        << int(Home) << QStringList{u"b"_s, u"ab"_s, u"B"_s, u"a"_s, u"A"_s}
        << QStringList{u"A"_s, u"B"_s, u"a"_s, u"ab"_s, u"b"_s};
    QTest::newRow("cyrillic after latin")
        << int(Away) << QStringList{u"я"_s, u"Я"_s, u"z"_s, u"Ё"_s}
        << QStringList{u"z"_s, u"Ё"_s, u"Я"_s, u"я"_s};
    // Code units, not code points: a surrogate (D83D) sorts before U+FFFD.
    QTest::newRow("surrogates") << int(Bet) << QStringList{u"\uFFFD"_s, u"\U0001F600"_s}
                                << QStringList{u"\U0001F600"_s, u"\uFFFD"_s};
}

void TestForecastSorting::sortsTextsByCodeUnits()
{
    QFETCH(int, column);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, ascending);

    ForecastGrid grid;
    addRows(grid, column, texts);
    grid.sortByHeaderClick(column);
    QCOMPARE(grid.sortOrder(), Qt::AscendingOrder);
    QCOMPARE(columnTexts(grid, column), ascending);
    grid.sortByHeaderClick(column);
    QCOMPARE(grid.sortOrder(), Qt::DescendingOrder);
    QStringList descending(ascending.crbegin(), ascending.crend());
    if (column == Profit) // the two empty cells keep their order
        descending = QStringList{u"7"_s, u"10"_s, u"-3"_s, u"-12"_s, u""_s, u""_s};
    QCOMPARE(columnTexts(grid, column), descending);
}

void TestForecastSorting::sortsFlagsByIndex()
{
    ForecastGrid grid;
    const QList<int> indices = {23, 0, 102, 9, 100};
    for (const int index : indices) {
        grid.AddRow();
        grid.SetCellImageIndex(Flag, grid.RowCount() - 1, index);
    }
    const auto images = [&grid] {
        QList<int> out;
        for (int row = 0; row < grid.RowCount(); ++row)
            out << grid.gridModel()->imageIndex(row);
        return out;
    };
    grid.sortByHeaderClick(Flag);
    QCOMPARE(images(), QList<int>({0, 9, 23, 100, 102}));
    grid.sortByHeaderClick(Flag);
    QCOMPARE(images(), QList<int>({102, 100, 23, 9, 0}));
}

void TestForecastSorting::equalKeysKeepTheirOrder()
{
    ForecastGrid grid;
    addRows(grid, Time, {u"b"_s, u"a"_s, u"b"_s, u"a"_s});
    grid.sortByHeaderClick(Time);
    QCOMPARE(columnTexts(grid, Id), QStringList({u"1"_s, u"3"_s, u"0"_s, u"2"_s}));
    grid.sortByHeaderClick(Time);
    QCOMPARE(columnTexts(grid, Id), QStringList({u"0"_s, u"2"_s, u"1"_s, u"3"_s}));
}

void TestForecastSorting::remembersDirectionPerColumn()
{
    ForecastGrid grid;
    addRows(grid, Home, {u"b"_s, u"a"_s, u"c"_s});
    QCOMPARE(grid.sortColumn(), -1);

    const auto click = [&grid](int column, Qt::SortOrder expected) {
        grid.sortByHeaderClick(column);
        QCOMPARE(grid.sortColumn(), column);
        QCOMPARE(grid.sortOrder(), expected);
    };
    click(Home, Qt::AscendingOrder);
    click(Home, Qt::DescendingOrder);
    QCOMPARE(columnTexts(grid, Home), QStringList({u"c"_s, u"b"_s, u"a"_s}));
    click(Away, Qt::AscendingOrder);
    click(Home, Qt::DescendingOrder); // kept while Away was the sort column
    click(Away, Qt::AscendingOrder);
    click(Away, Qt::DescendingOrder);
    click(Home, Qt::DescendingOrder);
    click(Home, Qt::AscendingOrder);

    // Hidden columns have no header to click.
    grid.sortByHeaderClick(Id);
    grid.sortByHeaderClick(ColumnCount);
    QCOMPARE(grid.sortColumn(), int(Home));
}

void TestForecastSorting::newLoadKeepsReplyOrder()
{
    ForecastGrid grid;
    addRows(grid, Home, {u"b"_s, u"a"_s, u"c"_s});
    grid.sortByHeaderClick(Home);
    addRows(grid, Home, {u"0"_s});
    QCOMPARE(columnTexts(grid, Home), QStringList({u"a"_s, u"b"_s, u"c"_s, u"0"_s}));

    grid.ClearRows();
    addRows(grid, Home, {u"b"_s, u"a"_s, u"c"_s});
    QCOMPARE(columnTexts(grid, Home), QStringList({u"b"_s, u"a"_s, u"c"_s}));
    grid.sortByHeaderClick(Home);
    QCOMPARE(grid.sortOrder(), Qt::DescendingOrder);
    QCOMPARE(columnTexts(grid, Home), QStringList({u"c"_s, u"b"_s, u"a"_s}));
}

void TestForecastSorting::headerClickSorts()
{
    ForecastGrid grid;
    grid.resize(798, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    addRows(grid, Away, {u"b"_s, u"c"_s, u"a"_s});
    QHeaderView *header = grid.horizontalHeader();
    const QPoint away(header->sectionViewportPosition(Away) + 10, 8);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, away);
    QCOMPARE(columnTexts(grid, Away), QStringList({u"a"_s, u"b"_s, u"c"_s}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, away);
    QCOMPARE(columnTexts(grid, Away), QStringList({u"c"_s, u"b"_s, u"a"_s}));
}

void TestForecastSorting::sortMark_data()
{
    QTest::addColumn<QRect>("section");
    QTest::addColumn<int>("contentRight");
    QTest::addColumn<bool>("fits");

    QTest::newRow("wide section") << QRect(100, 0, 118, 18) << 170 << true;
    QTest::newRow("last pixel") << QRect(0, 0, 40, 18) << 25 << true;
    QTest::newRow("one pixel short") << QRect(0, 0, 40, 18) << 26 << false;
    QTest::newRow("narrow section") << QRect(0, 0, 33, 18) << 29 << false;
}

void TestForecastSorting::sortMark()
{
    QFETCH(QRect, section);
    QFETCH(int, contentRight);
    QFETCH(bool, fits);

    const std::optional<QRect> mark = sortMarkRect(section, contentRight);
    QCOMPARE(mark.has_value(), fits);
    if (fits) {
        QCOMPARE(mark->width(), 8);
        QCOMPARE(mark->left(), contentRight + 4);
        QVERIFY(section.contains(*mark));
    }
}

ORVANE_GUI_TEST_MAIN(TestForecastSorting)
#include "test_forecast_sorting.moc"
