#include "table/forecast_grid.h"
#include "tests/support/grid_layout_rules.h"
#include "tests/support/gui_test_main.h"

#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QTest>
#include <QWindow>

using namespace orvane;
using enum orvane::ForecastGridModel::Column;
using namespace Qt::StringLiterals;

// The pop-ups under a real X server, where showing a window under the pointer
// makes the server send the grid crossing events of its own.
class TestCellPopupX11 : public QObject {
    Q_OBJECT

private slots:
    void staysWhileThePointerRests_data();
    void staysWhileThePointerRests();
};

void TestCellPopupX11::staysWhileThePointerRests_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QPoint>("away");
    QTest::addColumn<bool>("overPopup");

    const QString team = u"Borussia Mönchengladbach Amateure"_s;
    const QRect home = test::expectedCellRect(Home, 1);
    const QPoint otherCell = test::expectedCellRect(Bet, 3).center();
    QTest::newRow("cut team name, then another cell")
        << int(Home) << int(CellPopupPlan::FullText) << team << otherCell << false;
    // Still over the pop-up, which is wider than the cell: where the display
    // gives the pointer to the pop-up, only the pop-up sees it leave the cell.
    QTest::newRow("cut team name, then beside it")
        << int(Home) << int(CellPopupPlan::FullText) << team
        << QPoint(home.right() + 30, home.center().y()) << true;
    QTest::newRow("league hint, then another cell")
        << int(Flag) << int(CellPopupPlan::Hint) << u"England. Premier League"_s << otherCell
        << false;
}

void TestCellPopupX11::staysWhileThePointerRests()
{
    QFETCH(int, column);
    QFETCH(int, kind);
    QFETCH(QString, text);
    QFETCH(QPoint, away);
    QFETCH(bool, overPopup);
    constexpr int kPatience = 15000; // a loaded machine's X server can be slow

    ForecastGrid grid;
    grid.setFlagImages(FlagImages::bundled());
    grid.setGeometry(40, 40, 798, 200);
    for (int row = 0; row < 4; ++row) {
        grid.AddRow();
        grid.SetCellText(Home, row, u"Borussia Mönchengladbach Amateure"_s);
        grid.SetCellImageIndex(Flag, row, 23);
        grid.SetCellHint(Flag, row, u"England. Premier League"_s);
    }
    QCursor::setPos(10, 10); // off the grid, so that reaching the cell is a real move
    grid.show();
    grid.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&grid, kPatience));

    QCursor::setPos(grid.mapToGlobal(test::expectedCellRect(column, 1).center()));
    QTRY_VERIFY_WITH_TIMEOUT(grid.cellPopup() && grid.cellPopup()->isVisible(), kPatience);
    const CellPopup *popup = grid.cellPopup();

    // Whatever the server sends about the new window arrives now.
    QGuiApplication::sync();
    QTest::qWait(300);
    QGuiApplication::sync();
    QCoreApplication::processEvents();
    QVERIFY(popup->isVisible());
    QVERIFY(popup->windowHandle() && popup->windowHandle()->isExposed());
    QCOMPARE(int(popup->kind()), kind);
    QCOMPARE(popup->text(), text);
    if (kind == CellPopupPlan::FullText) {
        // Not cut: the text and both margins fit.
        QVERIFY(popup->width() >= QFontMetrics(popup->font()).horizontalAdvance(text) + 4);
        QCOMPARE(popup->geometry().topLeft(),
                 grid.mapToGlobal(test::expectedCellRect(column, 1).topLeft()));
    }

    QCOMPARE(popup->geometry().contains(grid.mapToGlobal(away)), overPopup);
    QCursor::setPos(grid.mapToGlobal(away));
    QTRY_VERIFY_WITH_TIMEOUT(!popup->isVisible(), kPatience);
}

ORVANE_GUI_TEST_MAIN_ON(TestCellPopupX11, orvane::test::TestPlatform::X11)
#include "test_cell_popup_x11.moc"
