#include "table/forecast_grid.h"
#include "tests/support/grid_layout_rules.h"
#include "tests/support/gui_test_main.h"

#include <QCursor>
#include <QHelpEvent>
#include <QScrollBar>
#include <QTest>

using namespace orvane;
using enum orvane::ForecastGridModel::Column;
using namespace Qt::StringLiterals;

namespace {

const QString kLongHome = u"Borussia Mönchengladbach Amateure"_s;

// A shown, active grid whose rows hold team names too long for the Home
// column, and enough of them to scroll.
struct ActiveGrid {
    ForecastGrid grid;

    ActiveGrid()
    {
        grid.resize(798, 200);
        grid.show();
        grid.activateWindow();
        for (int row = 0; row < 40; ++row) {
            grid.AddRow();
            grid.SetCellText(Home, row, kLongHome);
        }
    }

    QPoint global(const QPoint &inGrid) const { return grid.mapToGlobal(inGrid); }
    QPoint inViewport(const QPoint &inGrid) const
    {
        return grid.viewport()->mapFrom(&grid, inGrid);
    }

    // The pointer comes to rest on the cell's centre, as the platform reports it.
    CellPopup *rest(int column, int row)
    {
        const QPoint at = test::expectedCellRect(column, row).center();
        QCursor::setPos(global(at));
        QHelpEvent help(QEvent::ToolTip, inViewport(at), global(at));
        QCoreApplication::sendEvent(grid.viewport(), &help);
        return grid.cellPopup();
    }
};

bool shown(const CellPopup *popup)
{
    return popup && popup->isVisible();
}

enum Step {
    MoveWithinCell,
    MoveToOtherCell,
    LeaveTheGrid,
    Press,
    Wheel,
    Key,
    Scroll,
    Deactivate,
    PopupSeesPointerInCell,
    PopupSeesPointerLeave,
    PopupSeesPointerMoveAway,
    PressOnPopup,
};

} // namespace

class TestCellPopup : public QObject {
    Q_OBJECT

private slots:
    void popupPlan_data();
    void popupPlan();
    void popupShowsOnRest();
    void fullTextOutlivesItsOwnLeave_data();
    void fullTextOutlivesItsOwnLeave();
    void noPopupInInactiveWindow();
};

void TestCellPopup::popupPlan_data()
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

void TestCellPopup::popupPlan()
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

void TestCellPopup::popupShowsOnRest()
{
    ActiveGrid active;
    ForecastGrid &grid = active.grid;
    QVERIFY(QTest::qWaitForWindowActive(&grid));

    const QString longScore = u"2:1 (1:0, 1:1) after extra time"_s;
    grid.SetCellText(Score, 0, longScore);
    grid.SetCellText(Score, 1, u"2:1"_s);
    grid.SetCellHint(Score, 0, u"Завершен"_s);
    grid.SetCellHint(Score, 1, u"Завершен"_s);
    grid.SetCellHint(Flag, 1, u"England. Premier League"_s);

    // Laid over the cell from its left edge, as high as the cell.
    const CellPopup *popup = active.rest(Score, 0);
    QVERIFY(shown(popup));
    QCOMPARE(popup->kind(), CellPopupPlan::FullText);
    QCOMPARE(popup->text(), longScore);
    const QRect score0 = test::expectedCellRect(Score, 0);
    QCOMPARE(popup->geometry().topLeft(), active.global(score0.topLeft()));
    QCOMPARE(popup->height(), 16);
    QVERIFY(popup->width() > 59 && popup->width() <= 798);

    // Beside the cell: its top-left corner at the cell's right edge, 20 up.
    popup = active.rest(Score, 1);
    QVERIFY(shown(popup));
    QCOMPARE(popup->kind(), CellPopupPlan::Hint);
    QCOMPARE(popup->text(), u"Завершен"_s);
    const QRect score1 = test::expectedCellRect(Score, 1);
    QCOMPARE(popup->geometry().topLeft(),
             active.global(QPoint(score1.left() + 59, score1.top() - 20)));
    QVERIFY(popup->width() <= 250);

    QCOMPARE(active.rest(Flag, 1)->text(), u"England. Premier League"_s);
    QVERIFY(!shown(active.rest(Score, 2)));

    // A kick-off time fits its narrow column, so it needs no pop-up.
    grid.SetCellText(Time, 2, u"19:45"_s);
    QVERIFY(!shown(active.rest(Time, 2)));

    const QString words = QStringList(30, u"League"_s).join(u' ');
    grid.SetCellHint(Flag, 2, words);
    QVERIFY(shown(active.rest(Flag, 2)));
    QVERIFY(popup->width() <= 250);
    QVERIFY(popup->height() > 2 * QFontMetrics(popup->font()).height());
    grid.SetCellHint(Flag, 2, QString(300, u'W'));
    QVERIFY(active.rest(Flag, 2)->width() <= 250);
}

void TestCellPopup::fullTextOutlivesItsOwnLeave_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("stays");

    QTest::newRow("move within the cell") << int(MoveWithinCell) << true;
    QTest::newRow("move to another cell") << int(MoveToOtherCell) << false;
    QTest::newRow("leave the grid") << int(LeaveTheGrid) << false;
    QTest::newRow("press") << int(Press) << false;
    QTest::newRow("wheel") << int(Wheel) << false;
    QTest::newRow("key") << int(Key) << false;
    QTest::newRow("scroll") << int(Scroll) << false;
    QTest::newRow("window deactivated") << int(Deactivate) << false;
    QTest::newRow("pop-up entered on its cell") << int(PopupSeesPointerInCell) << true;
    QTest::newRow("pop-up left off its cell") << int(PopupSeesPointerLeave) << false;
    QTest::newRow("pop-up sees a move off its cell") << int(PopupSeesPointerMoveAway) << false;
    QTest::newRow("press on the pop-up") << int(PressOnPopup) << false;
}

// What a real display sends: the pointer rests on a cut cell, the pop-up
// shows under it, and its showing takes the pointer from the viewport.
void TestCellPopup::fullTextOutlivesItsOwnLeave()
{
    QFETCH(int, step);
    QFETCH(bool, stays);

    ActiveGrid active;
    ForecastGrid &grid = active.grid;
    QVERIFY(QTest::qWaitForWindowActive(&grid));
    CellPopup *popup = active.rest(Home, 0);
    QVERIFY(shown(popup));
    QCOMPARE(popup->kind(), CellPopupPlan::FullText);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(grid.viewport(), &leave);
    QVERIFY2(shown(popup), "its own showing must not close it");

    const QRect cell = test::expectedCellRect(Home, 0);
    const QPoint inCell = cell.center() + QPoint(30, 0);
    const QPoint offCell = test::expectedCellRect(Away, 0).center();
    QWidget other;
    switch (Step(step)) {
    case MoveWithinCell:
        QTest::mouseMove(grid.viewport(), active.inViewport(inCell));
        break;
    case MoveToOtherCell:
        QTest::mouseMove(grid.viewport(),
                         active.inViewport(test::expectedCellRect(Home, 1).center()));
        break;
    case LeaveTheGrid:
        QCursor::setPos(active.global(QPoint(-40, -40)));
        QCoreApplication::sendEvent(grid.viewport(), &leave);
        break;
    case Press:
        QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, active.inViewport(inCell));
        break;
    case Wheel: {
        const QPoint at = active.inViewport(inCell);
        QWheelEvent wheel(at, active.global(inCell), {}, {0, -120}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(grid.viewport(), &wheel);
        break;
    }
    case Key:
        QTest::keyClick(&grid, Qt::Key_Down);
        break;
    case Scroll:
        grid.verticalScrollBar()->setValue(1);
        break;
    case Deactivate:
        other.setGeometry(900, 0, 100, 100);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        break;
    case PopupSeesPointerInCell: {
        QEnterEvent enter(popup->mapFromGlobal(active.global(cell.center())),
                          active.global(cell.center()), active.global(cell.center()));
        QCoreApplication::sendEvent(popup, &enter);
        break;
    }
    case PopupSeesPointerLeave:
        QCursor::setPos(active.global(offCell));
        QCoreApplication::sendEvent(popup, &leave);
        break;
    case PopupSeesPointerMoveAway: {
        const QPoint to = active.global(QPoint(cell.right() + 10, cell.center().y()));
        QMouseEvent move(QEvent::MouseMove, popup->mapFromGlobal(to), to, Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(popup, &move);
        break;
    }
    case PressOnPopup:
        QTest::mousePress(popup, Qt::LeftButton, {}, QPoint(5, 5));
        break;
    }
    QCOMPARE(shown(popup), stays);

    // Resting on the cell again brings it back, whatever closed it.
    if (!stays && step != Deactivate) {
        QVERIFY(shown(active.rest(Home, 2)));
        QCOMPARE(popup->text(), kLongHome);
    }
}

void TestCellPopup::noPopupInInactiveWindow()
{
    ActiveGrid active;
    QVERIFY(QTest::qWaitForWindowActive(&active.grid));
    QWidget other;
    other.setGeometry(900, 0, 100, 100);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    active.grid.SetCellHint(Flag, 0, u"England. Premier League"_s);
    QVERIFY(!shown(active.rest(Home, 0)));
    QVERIFY(!shown(active.rest(Flag, 0)));
}

ORVANE_GUI_TEST_MAIN(TestCellPopup)
#include "test_cell_popup.moc"
