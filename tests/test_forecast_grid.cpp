#include "table/forecast_columns.h"
#include "table/forecast_grid.h"
#include "tests/support/grid_layout_rules.h"
#include "tests/support/grid_rows.h"
#include "tests/support/gui_test_main.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QTest>
#include <algorithm>

using namespace orvane;
using namespace orvane::test;
using enum orvane::ForecastGridModel::Column;
using namespace Qt::StringLiterals;

namespace {

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
    void cellRoles_data();
    void cellRoles();
    void flagRoles_data();
    void flagRoles();
    void headerRoles();
    void inksFollowThePalette();
    void noRowSelectedAfterLoad();
    void paints();
    void noImagesNoFlags();
    void selectionShowsOnlyWithFocus();
    void columnEdges_data();
    void columnEdges();
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
    grid.setFlagImages(FlagImages::bundled());
    QPalette dark = grid.palette();
    dark.setColor(QPalette::ButtonText, Qt::gray);
    grid.setPalette(dark);
    grid.selectRow(2);
    grid.sortByHeaderClick(Home);
    QCOMPARE(columnTexts(grid, Home), QStringList({u"a"_s, u"b"_s, u"c"_s}));
    QCOMPARE(grid.selectionModel()->selectedRows(), QModelIndexList{grid.gridModel()->index(2, 0)});
    grid.sortByHeaderClick(Flag);
    grid.sortByHeaderClick(Home);
    grid.sortByHeaderClick(Home);
    QCOMPARE(grid.selectionModel()->selectedRows().value(0).row(), 0);
    QCOMPARE(grid.gridModel()->text(Home, 0), u"c"_s);
    grid.setFlagImages(FlagImages());
    grid.ClearRows();
    addRows(grid, Away, {u"x"_s});
    grid.sortByHeaderClick(Away);
}

// The colours are those of Fusion's standard palette, which the test main
// pins: COLOR_BTNTEXT is its ButtonText (black), COLOR_BTNHIGHLIGHT its Light
// (white) and COLOR_WINDOW its Base (white).
void TestForecastGrid::cellRoles_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QColor>("ink");

    const int centre = Qt::AlignHCenter | Qt::AlignVCenter;
    const int left = Qt::AlignLeft | Qt::AlignVCenter;
    const QColor black(0, 0, 0);
    QTest::newRow("id") << int(Id) << centre << false << black;
    QTest::newRow("Sport") << int(Sport) << centre << false << black;
    QTest::newRow("flag") << int(Flag) << centre << false << black;
    QTest::newRow("Time") << int(Time) << centre << false << black;
    QTest::newRow("Home") << int(Home) << left << false << black;
    QTest::newRow("Away") << int(Away) << left << false << black;
    QTest::newRow("Bet") << int(Bet) << centre << true << black;
    QTest::newRow("Odd") << int(Odd) << centre << false << QColor(0, 0, 255);
    QTest::newRow("orvane") << int(Orvane) << centre << false << QColor(128, 0, 128);
    QTest::newRow("Score") << int(Score) << centre << false << black;
    QTest::newRow("Rez") << int(Rez) << centre << true << black;
    QTest::newRow("Profit") << int(Profit) << centre << true << QColor(255, 255, 255);
}

void TestForecastGrid::cellRoles()
{
    QFETCH(int, column);
    QFETCH(int, alignment);
    QFETCH(bool, bold);
    QFETCH(QColor, ink);

    ForecastGrid grid;
    grid.AddRow();
    grid.SetCellText(column, 0, u"text"_s);
    grid.SetCellHint(column, 0, u"hint"_s);
    grid.AddRow();
    grid.SetCellColor(column, 1, QColor(0, 64, 0));
    const ForecastGridModel &model = *grid.gridModel();
    const QModelIndex cell = model.index(0, column);

    QCOMPARE(cell.data(Qt::DisplayRole).toString(), column == Flag ? QString() : u"text"_s);
    QCOMPARE(cell.data(ForecastGridModel::HintRole).toString(), u"hint"_s);
    QCOMPARE(int(cell.data(Qt::TextAlignmentRole).value<Qt::Alignment>()), alignment);
    QCOMPARE(cell.data(Qt::ForegroundRole).value<QBrush>().color(), ink);
    QCOMPARE(cell.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 255, 255));
    QCOMPARE(model.index(1, column).data(Qt::BackgroundRole).value<QBrush>().color(),
             QColor(0, 64, 0));

    // Arial 14 px high: the largest em whose cell (ascent plus descent, 2288
    // units of 2048) stays within 14 pixels is 12 pixels.
    const QFont font = cell.data(Qt::FontRole).value<QFont>();
    QCOMPARE(font.family(), u"Liberation Sans"_s);
    QCOMPARE(font.pixelSize(), 12);
    QCOMPARE(font.bold(), bold);
}

void TestForecastGrid::flagRoles_data()
{
    QTest::addColumn<bool>("withImages");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("picture");

    QTest::newRow("England") << true << 23 << true;
    QTest::newRow("football") << true << 0 << true;
    QTest::newRow("outside the set") << true << 103 << false;
    QTest::newRow("negative") << true << -1 << false;
    QTest::newRow("no images") << false << 23 << false;
}

void TestForecastGrid::flagRoles()
{
    QFETCH(bool, withImages);
    QFETCH(int, index);
    QFETCH(bool, picture);

    ForecastGrid grid;
    if (withImages)
        grid.setFlagImages(FlagImages::bundled());
    grid.AddRow();
    grid.SetCellImageIndex(Flag, 0, index);
    const QModelIndex cell = grid.gridModel()->index(0, Flag);
    QCOMPARE(cell.data(ForecastGridModel::ImageIndexRole).toInt(), index);
    QCOMPARE(grid.gridModel()->index(0, Home).data(Qt::DecorationRole), QVariant());

    const QVariant decoration = cell.data(Qt::DecorationRole);
    QCOMPARE(decoration.isValid(), picture);
    if (!picture)
        return;
    const QIcon icon = decoration.value<QIcon>();
    const auto argb = [](const QImage &image) {
        return image.convertToFormat(QImage::Format_ARGB32);
    };
    const QPixmap normal = icon.pixmap(QSize(16, 16), 1.0);
    QCOMPARE(normal.size(), QSize(16, 16));
    QCOMPARE(argb(normal.toImage()), argb(flagImage(index, 1)));
    const QPixmap dense = icon.pixmap(QSize(16, 16), 2.0);
    QCOMPARE(dense.size(), QSize(32, 32));
    QCOMPARE(dense.deviceIndependentSize(), QSizeF(16, 16));
    QCOMPARE(argb(dense.toImage()), argb(flagImage(index, 2)));
}

void TestForecastGrid::headerRoles()
{
    ForecastGrid grid;
    const ForecastGridModel &model = *grid.gridModel();
    const QStringList captions = {u"id"_s,     u"Sport"_s, QString(), u"Time"_s,
                                  u"Home"_s,   u"Away"_s,  u"Bet"_s,  u"Odd"_s,
                                  u"orvane"_s, u"Score"_s, u"Rez"_s,  u"Profit"_s};
    for (int column = 0; column < ColumnCount; ++column) {
        const auto role = [&](int r) {
            return model.headerData(column, Qt::Horizontal, r);
        };
        QCOMPARE(role(Qt::DisplayRole).toString(), captions[column]);
        QCOMPARE(role(Qt::BackgroundRole).value<QBrush>().color(), QColor(128, 128, 255));
        QCOMPARE(role(Qt::ForegroundRole).value<QBrush>().color(), QColor(255, 255, 0));
        QVERIFY(role(Qt::FontRole).value<QFont>().bold());
        QCOMPARE(role(Qt::FontRole).value<QFont>().pixelSize(), 12);
        QCOMPARE(role(Qt::DecorationRole), QVariant());
    }
    grid.setFlagImages(FlagImages::bundled());
    const QIcon flag = model.headerData(Flag, Qt::Horizontal, Qt::DecorationRole).value<QIcon>();
    QCOMPARE(flag.pixmap(QSize(16, 16), 1.0).toImage().convertToFormat(QImage::Format_ARGB32),
             headerFlagImage(1).convertToFormat(QImage::Format_ARGB32));
    QCOMPARE(model.headerData(Home, Qt::Horizontal, Qt::DecorationRole), QVariant());
    QCOMPARE(model.headerData(0, Qt::Vertical), QVariant());
}

void TestForecastGrid::inksFollowThePalette()
{
    ForecastGrid grid;
    grid.AddRow();
    QPalette changed = grid.palette();
    changed.setColor(QPalette::ButtonText, QColor(10, 20, 30));
    changed.setColor(QPalette::Light, QColor(40, 50, 60));
    changed.setColor(QPalette::Base, QColor(70, 80, 90));
    grid.setPalette(changed);
    const ForecastGridModel &model = *grid.gridModel();
    const auto brush = [&](int column, int role) {
        return model.index(0, column).data(role).value<QBrush>().color();
    };
    QCOMPARE(brush(Home, Qt::ForegroundRole), QColor(10, 20, 30));
    QCOMPARE(brush(Profit, Qt::ForegroundRole), QColor(40, 50, 60));
    QCOMPARE(brush(Odd, Qt::ForegroundRole), QColor(0, 0, 255));
    QCOMPARE(brush(Home, Qt::BackgroundRole), QColor(70, 80, 90));
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

// Colours by the table's rules, with the desktop colours as Fusion's standard
// palette (pinned by the test main) gives them: COLOR_GRAYTEXT is its
// disabled Text (190, 190, 190), COLOR_WINDOW its Base (white);
// COLOR_ACTIVECAPTION has no palette role and keeps the classic desktop value
// (153, 180, 209).
void TestForecastGrid::paints()
{
    const QColor grayText(190, 190, 190);
    const QColor window(255, 255, 255);
    const QColor activeCaption(153, 180, 209);

    ForecastGrid grid;
    grid.setFlagImages(FlagImages::bundled());
    grid.resize(798, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QCOMPARE(grid.frameWidth(), test::kGridFrame);
    grid.AddRow();
    grid.SetCellText(Home, 0, u"Arsenal & Chelsea & Tottenham Hotspur"_s);
    grid.SetCellColor(Rez, 0, QColor(0, 255, 0));
    grid.SetCellImageIndex(Flag, 0, 23);
    grid.AddRow();
    grid.SetCellImageIndex(Flag, 1, 500); // outside the set: nothing drawn

    const QImage image = grid.grab().toImage();
    const QRect time = test::expectedHeaderRect(Time);
    QCOMPARE(pixelAt(image, time.topLeft() + QPoint(1, 1)), QColor(128, 128, 255));
    QCOMPARE(pixelAt(image, {time.left() + 1, time.bottom()}), grayText);
    QCOMPARE(pixelAt(image, {time.left() - 1, time.top() + 5}), grayText);

    const QRect rez = test::expectedCellRect(Rez, 0);
    QCOMPARE(pixelAt(image, rez.topLeft() + QPoint(1, 1)), QColor(0, 255, 0));
    QCOMPARE(pixelAt(image, {rez.right(), rez.center().y()}), activeCaption);
    QCOMPARE(pixelAt(image, {rez.center().x(), rez.bottom()}), activeCaption);

    // The flag is centred in the cell inside its lines: 30 x 15 pixels.
    const QImage flag = flagImage(23);
    const QPoint flagAt = test::expectedCellRect(Flag, 0).topLeft() + QPoint(7, 0);
    for (const QPoint inFlag : {QPoint(8, 8), QPoint(3, 8), QPoint(3, 12)})
        QCOMPARE(pixelAt(image, flagAt + inFlag), QColor::fromRgb(flag.pixel(inFlag)));
    QCOMPARE(pixelAt(image, test::expectedCellRect(Flag, 1).topLeft() + QPoint(15, 8)), window);

    // Below the last row: the window colour.
    QCOMPARE(pixelAt(image, test::expectedCellRect(Home, 1).bottomLeft() + QPoint(5, 10)), window);

    // The triangle shows in a wide header, and is left out of a narrow one.
    const auto section = [&](int column) {
        return grid.grab(test::expectedHeaderRect(column)).toImage();
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

void TestForecastGrid::noImagesNoFlags()
{
    ForecastGrid grid;
    grid.resize(798, 100);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.AddRow();
    grid.SetCellImageIndex(Flag, 0, 23);

    const QImage image = grid.grab().toImage();
    const QRect cell = test::expectedCellRect(Flag, 0).adjusted(0, 0, -1, -1);
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            QCOMPARE(pixelAt(image, {x, y}), QColor(255, 255, 255));
    const QRect header = test::expectedHeaderRect(Flag).adjusted(0, 0, -1, -1);
    for (int y = header.top(); y <= header.bottom(); ++y)
        for (int x = header.left(); x <= header.right(); ++x)
            QCOMPARE(pixelAt(image, {x, y}), QColor(128, 128, 255));
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
    const QPoint inRez = test::expectedCellRect(Rez, 0).topLeft() + QPoint(1, 1);

    grid.clearFocus();
    QVERIFY(!grid.hasFocus());
    QCOMPARE(pixelAt(grid.grab().toImage(), inRez), QColor(0, 255, 0));
    grid.setFocus();
    QVERIFY(grid.hasFocus());
    QCOMPARE(pixelAt(grid.grab().toImage(), inRez), QColor(128, 128, 192));
}

void TestForecastGrid::columnEdges_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("drag"); // pixels; 0: a double click on the edge
    QTest::addColumn<int>("width");

    // Fitted: the widest of the caption and the texts, each in its own font, plus
    // the margins and the line that a text needs to fit without a pop-up.
    const auto fitted = [](const QString &caption, const QString &text, bool bold) {
        return std::max(QFontMetrics(forecastCellFont(true)).horizontalAdvance(caption),
                        QFontMetrics(forecastCellFont(bold)).horizontalAdvance(text)) +
               5;
    };
    const QString longName = u"Borussia Mönchengladbach II"_s;
    QTest::newRow("drag widens") << int(Home) << QStringList{longName, u"Ajax"_s} << 40 << 158;
    QTest::newRow("drag narrows") << int(Bet) << QStringList{u"1"_s, u"X2"_s} << -60 << 70;
    QTest::newRow("double click fits a long name")
        << int(Home) << QStringList{u"Ajax"_s, longName} << 0 << fitted(u"Home"_s, longName, false);
    QTest::newRow("double click fits the caption")
        << int(Bet) << QStringList{u"1"_s, u"X2"_s} << 0 << fitted(u"Bet"_s, u"X2"_s, true);
}

// An edge resizes and never sorts; a click on the section still sorts; a new
// load keeps the width the user gave.
void TestForecastGrid::columnEdges()
{
    QFETCH(int, column);
    QFETCH(QStringList, texts);
    QFETCH(int, drag);

    ForecastGrid grid;
    grid.resize(798, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    addRows(grid, column, texts);
    QHeaderView *header = grid.horizontalHeader();
    QWidget *port = header->viewport();
    const auto middle = [&] {
        return QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, 8);
    };
    QTest::mouseClick(port, Qt::LeftButton, {}, middle());
    QCOMPARE(grid.sortOrder(), Qt::AscendingOrder);
    const QStringList sorted = columnTexts(grid, column);

    const QPoint edge(header->sectionViewportPosition(column) + header->sectionSize(column) - 1, 8);
    if (drag != 0) {
        QTest::mousePress(port, Qt::LeftButton, {}, edge);
        QTest::mouseMove(port, edge + QPoint(drag / 2, 0));
        QTest::mouseMove(port, edge + QPoint(drag, 0));
        QTest::mouseRelease(port, Qt::LeftButton, {}, edge + QPoint(drag, 0));
    } else { // press, release, press, double click, release
        QTest::mouseClick(port, Qt::LeftButton, {}, edge);
        QTest::mousePress(port, Qt::LeftButton, {}, edge);
        QTest::mouseDClick(port, Qt::LeftButton, {}, edge);
        QTest::mouseRelease(port, Qt::LeftButton, {}, edge);
    }
    QTEST(grid.columnWidth(column), "width");
    QCOMPARE(grid.sortColumn(), column);
    QCOMPARE(grid.sortOrder(), Qt::AscendingOrder);
    QCOMPARE(columnTexts(grid, column), sorted);

    grid.ClearRows();
    addRows(grid, column, texts);
    QTEST(grid.columnWidth(column), "width");
    QTest::mouseClick(port, Qt::LeftButton, {}, middle());
    QCOMPARE(grid.sortOrder(), Qt::DescendingOrder);
}

ORVANE_GUI_TEST_MAIN(TestForecastGrid)
#include "test_forecast_grid.moc"
