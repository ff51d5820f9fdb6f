#include "forecast_grid.h"
#include "gui_test_main.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QTest>
#include <algorithm>

using namespace orvane;
using namespace Qt::StringLiterals;

namespace {

// One row per text, in `column`; column 0 numbers the rows in adding order.
void addRows(ForecastGrid &grid, int column, const QStringList &texts)
{
    for (const QString &text : texts) {
        grid.AddRow();
        const int row = grid.RowCount() - 1;
        grid.SetCellText(Id, row, QString::number(row));
        grid.SetCellText(column, row, text);
    }
}

QStringList columnTexts(const ForecastGrid &grid, int column)
{
    QStringList texts;
    for (int row = 0; row < grid.RowCount(); ++row)
        texts << grid.gridModel()->text(column, row);
    return texts;
}

QColor pixelAt(const QImage &image, QPoint at)
{
    return QColor::fromRgb(image.pixel(at));
}

} // namespace

class TestForecastGrid : public QObject {
    Q_OBJECT

private slots:
    void columnsAndRows();
    void ignoresCellsOutsideTheTable();
    void modelStaysConsistent();
    void sortsTextsByCodeUnits_data();
    void sortsTextsByCodeUnits();
    void sortsFlagsByIndex();
    void equalKeysKeepTheirOrder();
    void remembersDirectionPerColumn();
    void newLoadKeepsReplyOrder();
    void headerClickSorts();
    void noRowSelectedAfterLoad();
    void popupPlan_data();
    void popupPlan();
    void sortMark_data();
    void sortMark();
    void popupShowsOnRest();
    void paints();
    void selectionShowsOnlyWithFocus();
};

void TestForecastGrid::columnsAndRows()
{
    ForecastGrid grid;
    const int widths[ColumnCount] = {65, 70, 31, 38, 118, 131, 130, 45, 120, 59, 33, 68};
    int shown = 0;
    for (int column = 0; column < ColumnCount; ++column) {
        QCOMPARE(grid.isColumnHidden(column), column == Id || column == Sport);
        grid.showColumn(column);
        QCOMPARE(grid.columnWidth(column), widths[column]);
        if (column != Id && column != Sport)
            shown += widths[column];
    }
    QCOMPARE(shown, 773);
    QCOMPARE(grid.horizontalHeader()->height(), 18);
    QVERIFY(grid.verticalHeader()->isHidden());
    grid.AddRow();
    QCOMPARE(grid.rowHeight(0), 16);
    const ForecastGridModel &model = *grid.gridModel();
    QVERIFY(!(model.flags(model.index(0, Home)) & Qt::ItemIsEditable));
    grid.SetCellColor(Rez, 0, QColor(0, 255, 0));
    grid.SetCellColor(Rez, 0, QColor());
    QVERIFY2(!model.background(Rez, 0).isValid(), "an invalid colour is the window colour again");
    QCOMPARE(grid.gridModel()->headerData(Orvane, Qt::Horizontal).toString(), u"orvane"_s);
    QCOMPARE(grid.gridModel()->headerData(Flag, Qt::Horizontal).toString(), QString());
}

void TestForecastGrid::ignoresCellsOutsideTheTable()
{
    ForecastGrid grid;
    grid.AddRow();
    grid.SetCellText(ColumnCount, 0, u"x"_s);
    grid.SetCellHint(Home, -1, u"x"_s);
    grid.SetCellColor(Home, 1, Qt::red);
    grid.SetCellImageIndex(Home, 0, 3);
    QCOMPARE(grid.RowCount(), 1);
    QCOMPARE(grid.gridModel()->imageIndex(0), 0);
}

void TestForecastGrid::modelStaysConsistent()
{
    ForecastGrid grid;
    QAbstractItemModelTester tester(grid.gridModel(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    grid.show();
    addRows(grid, Home, {u"b"_s, u"a"_s, u"c"_s});
    grid.SetCellImageIndex(Flag, 1, 23);
    grid.SetCellColor(Rez, 2, Qt::green);
    grid.SetCellHint(Score, 0, u"Завершен"_s);
    grid.selectRow(2);
    grid.sortByHeaderClick(Home);
    QCOMPARE(columnTexts(grid, Home), QStringList({u"a"_s, u"b"_s, u"c"_s}));
    QCOMPARE(grid.selectionModel()->selectedRows(), QModelIndexList{grid.gridModel()->index(2, 0)});
    grid.sortByHeaderClick(Flag);
    grid.sortByHeaderClick(Home);
    grid.sortByHeaderClick(Home);
    QCOMPARE(grid.selectionModel()->selectedRows().value(0).row(), 0);
    QCOMPARE(grid.gridModel()->text(Home, 0), u"c"_s);
    grid.ClearRows();
    addRows(grid, Away, {u"x"_s});
    grid.sortByHeaderClick(Away);
}

void TestForecastGrid::sortsTextsByCodeUnits_data()
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

void TestForecastGrid::sortsTextsByCodeUnits()
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

void TestForecastGrid::sortsFlagsByIndex()
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

void TestForecastGrid::equalKeysKeepTheirOrder()
{
    ForecastGrid grid;
    addRows(grid, Time, {u"b"_s, u"a"_s, u"b"_s, u"a"_s});
    grid.sortByHeaderClick(Time);
    QCOMPARE(columnTexts(grid, Id), QStringList({u"1"_s, u"3"_s, u"0"_s, u"2"_s}));
    grid.sortByHeaderClick(Time);
    QCOMPARE(columnTexts(grid, Id), QStringList({u"0"_s, u"2"_s, u"1"_s, u"3"_s}));
}

void TestForecastGrid::remembersDirectionPerColumn()
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

void TestForecastGrid::newLoadKeepsReplyOrder()
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

void TestForecastGrid::headerClickSorts()
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

void TestForecastGrid::noRowSelectedAfterLoad()
{
    ForecastGrid grid;
    grid.resize(798, 100);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    addRows(grid, Home, QStringList(40, u"x"_s));

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      grid.visualRect(grid.gridModel()->index(1, Home)).center());
    const QModelIndexList selected = grid.selectionModel()->selectedIndexes();
    QCOMPARE(selected.size(), ColumnCount);
    QVERIFY(std::all_of(selected.begin(), selected.end(),
                        [](const QModelIndex &i) { return i.row() == 1; }));

    grid.scrollToBottom();
    QVERIFY(grid.verticalScrollBar()->value() > 0);
    grid.ClearRows();
    QVERIFY(!grid.selectionModel()->hasSelection());
    QCOMPARE(grid.verticalScrollBar()->value(), 0);
    addRows(grid, Home, QStringList(40, u"y"_s));
    QVERIFY(!grid.selectionModel()->hasSelection());
}

void TestForecastGrid::popupPlan_data()
{
    QTest::addColumn<bool>("active");
    QTest::addColumn<QRect>("cell");
    QTest::addColumn<bool>("fullText");
    QTest::addColumn<int>("textWidth");
    QTest::addColumn<bool>("hasHint");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QPoint>("topLeft");

    const QRect score(500, 40, 59, 16);
    QTest::newRow("fits exactly, no hint")
        << true << score << true << 54 << false << int(CellPopupPlan::None) << QRect() << QPoint();
    QTest::newRow("fits, hint") << true << score << true << 54 << true << int(CellPopupPlan::Hint)
                                << QRect() << QPoint(559, 20);
    QTest::newRow("one pixel too wide")
        << true << score << true << 55 << true << int(CellPopupPlan::FullText)
        << QRect(500, 40, 60, 16) << QPoint();
    QTest::newRow("inactive window")
        << false << score << true << 200 << true << int(CellPopupPlan::None) << QRect() << QPoint();
    QTest::newRow("no full text in column")
        << true << score << false << 200 << true << int(CellPopupPlan::Hint) << QRect()
        << QPoint(559, 20);
    QTest::newRow("kept inside the table")
        << true << score << true << 400 << false << int(CellPopupPlan::FullText)
        << QRect(393, 40, 405, 16) << QPoint();
    QTest::newRow("as wide as the table at most")
        << true << QRect(100, 0, 118, 16) << true << 2000 << false << int(CellPopupPlan::FullText)
        << QRect(0, 0, 798, 16) << QPoint();
    QTest::newRow("hint above the top row")
        << true << QRect(31, 0, 31, 16) << false << 0 << true << int(CellPopupPlan::Hint) << QRect()
        << QPoint(62, -20);
}

void TestForecastGrid::popupPlan()
{
    QFETCH(bool, active);
    QFETCH(QRect, cell);
    QFETCH(bool, fullText);
    QFETCH(int, textWidth);
    QFETCH(bool, hasHint);
    QFETCH(int, kind);
    QFETCH(QRect, rect);
    QFETCH(QPoint, topLeft);

    const CellPopupPlan plan =
        planCellPopup(active, cell, QRect(0, 0, 798, 576), fullText, textWidth, hasHint);
    QCOMPARE(int(plan.kind), kind);
    if (kind == CellPopupPlan::FullText)
        QCOMPARE(plan.rect, rect);
    if (kind == CellPopupPlan::Hint) {
        QCOMPARE(plan.topLeft, topLeft);
        QCOMPARE(plan.maxWidth, 250);
    }
}

void TestForecastGrid::sortMark_data()
{
    QTest::addColumn<QRect>("section");
    QTest::addColumn<int>("contentRight");
    QTest::addColumn<bool>("fits");

    QTest::newRow("wide section") << QRect(100, 0, 118, 18) << 170 << true;
    QTest::newRow("last pixel") << QRect(0, 0, 40, 18) << 25 << true;
    QTest::newRow("one pixel short") << QRect(0, 0, 40, 18) << 26 << false;
    QTest::newRow("narrow section") << QRect(0, 0, 33, 18) << 29 << false;
}

void TestForecastGrid::sortMark()
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

void TestForecastGrid::popupShowsOnRest()
{
    ForecastGrid grid;
    grid.resize(798, 200);
    grid.show();
    grid.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&grid));

    const QString longScore = u"2:1 (1:0, 1:1) after extra time"_s;
    addRows(grid, Score, {longScore, u"2:1"_s, QString()});
    grid.SetCellHint(Score, 0, u"Завершен"_s);
    grid.SetCellHint(Score, 1, u"Завершен"_s);
    grid.SetCellHint(Flag, 1, u"England. Premier League"_s);

    const auto rest = [&grid](int column, int row) {
        const QPoint at = grid.visualRect(grid.gridModel()->index(row, column)).center();
        QHelpEvent help(QEvent::ToolTip, at, grid.viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(grid.viewport(), &help);
        return grid.cellPopup();
    };

    const CellPopup *popup = rest(Score, 0);
    QVERIFY(popup && popup->isVisible());
    QCOMPARE(popup->kind(), CellPopupPlan::FullText);
    QCOMPARE(popup->text(), longScore);
    QCOMPARE(popup->geometry().topLeft(), grid.mapToGlobal(grid.cellRect(Score, 0).topLeft()));

    popup = rest(Score, 1);
    QVERIFY(popup->isVisible());
    QCOMPARE(popup->kind(), CellPopupPlan::Hint);
    QCOMPARE(popup->text(), u"Завершен"_s);
    const QRect cell = grid.cellRect(Score, 1);
    QCOMPARE(popup->geometry().topLeft(),
             grid.mapToGlobal(QPoint(cell.right() + 1, cell.top() - 20)));
    QVERIFY(popup->width() <= 250);

    QCOMPARE(rest(Flag, 1)->text(), u"England. Premier League"_s);
    QVERIFY(!rest(Score, 2)->isVisible());

    // A kick-off time fits its narrow column, so it needs no pop-up.
    grid.SetCellText(Time, 2, u"19:45"_s);
    QVERIFY(!rest(Time, 2)->isVisible());

    const QString words = QStringList(30, u"League"_s).join(u' ');
    grid.SetCellHint(Flag, 2, words);
    QVERIFY(rest(Flag, 2)->isVisible());
    QVERIFY(popup->width() <= 250);
    QVERIFY(popup->height() > 2 * QFontMetrics(popup->font()).height());
    grid.SetCellHint(Flag, 2, QString(300, u'W'));
    QVERIFY(rest(Flag, 2)->width() <= 250);
}

void TestForecastGrid::paints()
{
    ForecastGrid grid;
    grid.resize(798, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.AddRow();
    grid.SetCellText(Home, 0, u"Arsenal & Chelsea & Tottenham Hotspur"_s);
    grid.SetCellColor(Rez, 0, QColor(0, 255, 0));
    grid.SetCellImageIndex(Flag, 0, 23);
    grid.AddRow();
    grid.SetCellImageIndex(Flag, 1, 500); // outside the set: nothing drawn

    const QImage image = grid.grab().toImage();
    const QPalette &palette = grid.palette();
    const QHeaderView *header = grid.horizontalHeader();
    const QPoint headerAt = header->mapTo(&grid, QPoint(0, 0));

    const int timeLeft = header->sectionViewportPosition(Time) + headerAt.x();
    QCOMPARE(pixelAt(image, {timeLeft + 1, headerAt.y() + 1}), QColor(128, 128, 255));
    QCOMPARE(pixelAt(image, {timeLeft + 1, headerAt.y() + 17}),
             systemColor(SystemColor::GrayText, palette));
    QCOMPARE(pixelAt(image, {timeLeft - 1, headerAt.y() + 5}),
             systemColor(SystemColor::GrayText, palette));

    const QRect rez = grid.cellRect(Rez, 0);
    QCOMPARE(pixelAt(image, rez.topLeft() + QPoint(1, 1)), QColor(0, 255, 0));
    QCOMPARE(pixelAt(image, {rez.right(), rez.center().y()}),
             systemColor(SystemColor::ActiveCaption, palette));
    QCOMPARE(pixelAt(image, {rez.center().x(), rez.bottom()}), QColor(153, 180, 209));

    // The flag is centred in the cell inside its lines.
    const QImage flag = flagImage(23);
    const QRect flagCell = grid.cellRect(Flag, 0);
    const QPoint flagAt(flagCell.left() + (flagCell.width() - 1 - 16) / 2,
                        flagCell.top() + (flagCell.height() - 1 - 16) / 2);
    QCOMPARE(pixelAt(image, flagAt + QPoint(8, 8)), QColor::fromRgb(flag.pixel(8, 8)));
    const QRect empty = grid.cellRect(Flag, 1);
    QCOMPARE(pixelAt(image, empty.topLeft() + QPoint(15, 8)),
             systemColor(SystemColor::Window, palette));

    // Below the last row: the window colour.
    QCOMPARE(pixelAt(image, grid.cellRect(Home, 1).bottomLeft() + QPoint(5, 10)),
             systemColor(SystemColor::Window, palette));

    // The triangle shows in a wide header, and is left out of a narrow one.
    const auto section = [&](int column) {
        return grid
            .grab(QRect(headerAt + QPoint(header->sectionViewportPosition(column), 0),
                        QSize(header->sectionSize(column), 18)))
            .toImage();
    };
    const QImage homePlain = section(Home);
    const QImage rezPlain = section(Rez);
    grid.sortByHeaderClick(Home);
    const QImage homeUp = section(Home);
    grid.sortByHeaderClick(Home);
    QVERIFY(homeUp != homePlain);
    QVERIFY(section(Home) != homeUp);
    grid.sortByHeaderClick(Rez);
    QCOMPARE(section(Rez), rezPlain);
}

void TestForecastGrid::selectionShowsOnlyWithFocus()
{
    ForecastGrid grid;
    grid.resize(798, 200);
    grid.show();
    grid.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&grid));
    grid.AddRow();
    grid.SetCellColor(Rez, 0, QColor(0, 255, 0));
    grid.selectRow(0);
    const QPoint inRez = grid.cellRect(Rez, 0).topLeft() + QPoint(1, 1);

    grid.clearFocus();
    QVERIFY(!grid.hasFocus());
    QCOMPARE(pixelAt(grid.grab().toImage(), inRez), QColor(0, 255, 0));
    grid.setFocus();
    QVERIFY(grid.hasFocus());
    QCOMPARE(pixelAt(grid.grab().toImage(), inRez), QColor(128, 128, 192));
}

ORVANE_GUI_TEST_MAIN(TestForecastGrid)
#include "test_forecast_grid.moc"
