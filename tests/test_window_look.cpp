#include "app/main_window.h"
#include "controls/password_box.h"
#include "skin/caption_button.h"
#include "skin/skin_reader.h"
#include "tests/support/gui_test_main.h"
#include "tests/support/recording_hooks.h"
#include "tests/support/widget_lookup.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>

using namespace orvane;
using namespace Qt::StringLiterals;
using orvane::test::widget;

namespace {

// The stored skin's frame around the client area, and the plain one.
constexpr QMargins kSkinnedFrame(6, 30, 6, 6);
constexpr QMargins kPlainFrame(3, 24, 3, 3);

std::shared_ptr<const Skin> stored()
{
    const SkinRead &read = storedSkin();
    return read.skin ? std::make_shared<const Skin>(*read.skin) : nullptr;
}

// A window with no network and no dialogs, in a folder without a saved login.
struct Window {
    explicit Window(bool skinned)
    {
        form = std::make_unique<TForm1>(
            ServiceEndpoints{"127.0.0.1:1", u"maker.example"_s},
            test::recordingHooks(messages, messages, opened, folder.path()),
            skinned ? stored() : nullptr);
        form->show();
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get()))
            qWarning("window not active");
    }

    QTemporaryDir folder;
    QStringList messages;
    QList<QUrl> opened;
    std::unique_ptr<TForm1> form;
};

QImage skinPicture(const char *file)
{
    return QImage(u":/orvane/skins/iOS4_Ext.skn/"_s + QLatin1StringView(file));
}

} // namespace

class TestWindowLook : public QObject {
    Q_OBJECT

private slots:
    void storedSkinReads();
    void frame_data();
    void frame();
    void geometry_data();
    void geometry();
    void heightRuleGoesWithTheSkin();
    void fonts_data();
    void fonts();
    void focusOrder_data();
    void focusOrder();
    void keysThatDoNothing();
    void captionButtonsAndSystemMenu_data();
    void captionButtonsAndSystemMenu();
    void movedByItsCaptionBarOnly_data();
    void movedByItsCaptionBarOnly();
    void outlineOnAGrab();
    void statesPaintedFromTheSkin_data();
    void statesPaintedFromTheSkin();
    void checkMarkThreePixelsIn_data();
    void checkMarkThreePixelsIn();
    void everyControlHasAnAccessibleName();
};

void TestWindowLook::storedSkinReads()
{
    QVERIFY2(storedSkin().skin, qPrintable(storedSkin().error));
}

void TestWindowLook::frame_data()
{
    QTest::addColumn<bool>("skinned");
    QTest::addColumn<QMargins>("frame");
    QTest::newRow("skin") << true << kSkinnedFrame;
    QTest::newRow("plain") << false << kPlainFrame;
}

void TestWindowLook::frame()
{
    QFETCH(bool, skinned);
    QFETCH(QMargins, frame);
    Window window(skinned);
    TForm1 &form = *window.form;

    QCOMPARE(form.frameThickness(), frame);
    QCOMPARE(form.size(), QSize(800, 623).grownBy(frame));
    QCOMPARE(form.minimumSize(), form.maximumSize()); // never resized
    QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(widget<QTabWidget>(form, "page")->geometry(),
             QRect(QPoint(frame.left(), frame.top()), QSize(800, 623)));
    QCOMPARE(form.windowTitle(), u"Orvane"_s);

    // Centred on the primary screen's available area, frame included.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(form.geometry().center().x() - screen.center().x(), 0);
    QVERIFY(qAbs(form.geometry().center().y() - screen.center().y()) <= 1);

    // A maximize asked of the window, as a window manager's shortcut would, changes nothing.
    const QRect before = form.geometry();
    form.setWindowState(Qt::WindowMaximized);
    QCoreApplication::processEvents();
    QVERIFY(!form.isMaximized());
    QCOMPARE(form.size(), before.size());

    // A double click on the caption bar neither maximizes nor shrinks it.
    QTest::mouseDClick(&form, Qt::LeftButton, {}, QPoint(form.width() / 3, frame.top() / 2));
    QCOMPARE(form.geometry(), before);
}

void TestWindowLook::geometry_data()
{
    QTest::addColumn<bool>("skinned");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect"); // in its parent

    const auto both = [](const char *name, QRect skin, QRect plain) {
        QTest::addRow("skin %s", name) << true << QString::fromLatin1(name) << skin;
        QTest::addRow("plain %s", name) << false << QString::fromLatin1(name) << plain;
    };
    const auto same = [&both](const char *name, QRect rect) {
        both(name, rect, rect);
    };
    // The height rule: an edit is 21 high with the skin, a button 28, a status label 20;
    // positions never move.
    both("loginedit", {384, 296, 353, 21}, {384, 296, 353, 18});
    same("passedit", {384, 344, 353, 21});
    both("spSkinXFormButton1", {504, 432, 137, 28}, {504, 432, 137, 25});
    same("zap", {392, 392, 97, 25}); // the flat check box keeps its size
    same("Image1", {0, 0, 798, 601});
    same("spSkinTabSheet1", {1, 22, 798, 601});
    same("spSkinPanel1", {0, 0, 798, 25});
    same("spSkinXFormButton2", {0, 0, 97, 25}); // stretches to any size
    same("NG", {0, 25, 798, 576});
    // Against the panel's inner right edge: margins 2, 3, 2, 2 with the skin, 1 without.
    both("pr2", {655, 3, 141, 20}, {656, 1, 141, 23});
    both("pr1", {495, 3, 160, 20}, {496, 1, 160, 23});
    same("spSkinShadowLabel1", {696, 8, 87, 19});
}

void TestWindowLook::geometry()
{
    QFETCH(bool, skinned);
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    Window window(skinned);
    QWidget *control = widget<QWidget>(*window.form, name.toLatin1().constData());
    if (name == u"spSkinTabSheet1") { // the page area, in the page control
        QTabWidget *page = widget<QTabWidget>(*window.form, "page");
        page->setCurrentIndex(0);
        QCOMPARE(QRect(control->mapTo(page, QPoint(0, 0)), control->size()), rect);
        return;
    }
    if (name == u"spSkinShadowLabel1") { // sized to its text; the rest is the label's test
        QCOMPARE(control->pos(), rect.topLeft());
        QCOMPARE(control->height(), rect.height());
        return;
    }
    QCOMPARE(control->geometry(), rect);
    // The rule holds when the bounds change later, too.
    if (skinned && name == u"loginedit") {
        control->resize(300, 40);
        QCOMPARE(control->size(), QSize(300, 21));
    }
}

void TestWindowLook::heightRuleGoesWithTheSkin()
{
    Window window(true);
    QWidget *edit = widget<QWidget>(*window.form, "loginedit");
    window.form->setSkin(nullptr);
    edit->resize(353, 18);
    QCOMPARE(edit->size(), QSize(353, 18));
    window.form->setSkin(stored());
    QCOMPARE(edit->size(), QSize(353, 21));
}

void TestWindowLook::fonts_data()
{
    QTest::addColumn<bool>("skinned");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("em"); // pixel size: a desktop height of 14 is a 12-pixel em
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QColor>("ink"); // its text role: Fusion's black where the desktop's

    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    QTest::newRow("skin LOGIN:") << true << u"spSkinStdLabel1"_s << 12 << false << white;
    QTest::newRow("plain LOGIN:") << false << u"spSkinStdLabel1"_s << 11 << false << black;
    QTest::newRow("skin PASSWORD:") << true << u"spSkinStdLabel2"_s << 11 << false << black;
    QTest::newRow("plain PASSWORD:") << false << u"spSkinStdLabel2"_s << 11 << false << black;
    QTest::newRow("skin version") << true << u"spSkinShadowLabel1"_s << 14 << true << black;
    QTest::newRow("skin check box") << true << u"zap"_s << 12 << false << white;
    QTest::newRow("plain check box") << false << u"zap"_s << 12 << false << black;
    QTest::newRow("skin LOGIN button") << true << u"spSkinXFormButton1"_s << 12 << false << black;
    QTest::newRow("skin status label") << true << u"pr1"_s << 12 << false << QColor(73, 86, 104);
    QTest::newRow("plain status label") << false << u"pr1"_s << 12 << false << black;
    QTest::newRow("skin edit") << true << u"loginedit"_s << 12 << false << black;
}

void TestWindowLook::fonts()
{
    QFETCH(bool, skinned);
    QFETCH(QString, name);
    QFETCH(int, em);
    QFETCH(bool, bold);
    QFETCH(QColor, ink);
    Window window(skinned);
    QWidget *control = widget<QWidget>(*window.form, name.toLatin1().constData());
    QCOMPARE(QFontInfo(control->font()).family(), u"Liberation Sans"_s);
    QCOMPARE(control->font().pixelSize(), em);
    QCOMPARE(control->font().bold(), bold);
    const QPalette::ColorRole role =
        qobject_cast<QLineEdit *>(control) ? QPalette::Text : QPalette::WindowText;
    QCOMPARE(control->palette().color(role), ink);
}

void TestWindowLook::focusOrder_data()
{
    QTest::addColumn<bool>("skinned");
    QTest::newRow("skin") << true;
    QTest::newRow("plain") << false;
}

void TestWindowLook::focusOrder()
{
    QFETCH(bool, skinned);
    Window window(skinned);
    TForm1 &form = *window.form;
    QTabBar *tabs = widget<QTabWidget>(form, "page")->tabBar();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(tabs));
    QCOMPARE(tabs->height(), skinned ? 21 : 20);

    const QList<QWidget *> cycle{widget<QWidget>(form, "loginedit"),
                                 widget<QWidget>(form, "passedit"), tabs};
    for (QWidget *next : cycle) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    QTest::keyClick(tabs, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), cycle[1]);

    // On the forecast page the strip and the grid take turns.
    widget<QTabWidget>(form, "page")->setCurrentIndex(1);
    tabs->setFocus();
    QTest::keyClick(tabs, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), widget<QWidget>(form, "NG"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(tabs));
    for (const char *never : {"zap", "spSkinXFormButton1", "spSkinXFormButton2"})
        QCOMPARE(widget<QWidget>(form, never)->focusPolicy(), Qt::NoFocus);
}

void TestWindowLook::keysThatDoNothing()
{
    Window window(true);
    TForm1 &form = *window.form;
    int clicks = 0;
    connect(widget<QPushButton>(form, "spSkinXFormButton1"), &QPushButton::clicked,
            [&clicks] { ++clicks; });
    for (const char *edit : {"loginedit", "passedit"}) {
        QWidget *box = widget<QWidget>(form, edit);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(box, Qt::Key_Space);
    }
    QCOMPARE(clicks, 0);
    QVERIFY(!widget<QCheckBox>(form, "zap")->isChecked());

    // The only visible tab: a click on it changes nothing.
    QTabWidget *page = widget<QTabWidget>(form, "page");
    const QRect tab = page->tabBar()->tabRect(0);
    QTest::mouseClick(page->tabBar(), Qt::LeftButton, {}, tab.center());
    QCOMPARE(page->currentIndex(), 0);
    QVERIFY(!page->isTabVisible(1));
    QVERIFY(window.messages.isEmpty());
}

void TestWindowLook::captionButtonsAndSystemMenu_data()
{
    QTest::addColumn<bool>("skinned");
    QTest::addColumn<QString>("how"); // how the window is closed
    for (const bool skinned : {true, false}) {
        const char *look = skinned ? "skin" : "plain";
        for (const char *how : {"close button", "system menu", "Alt+F4"})
            QTest::addRow("%s, %s", look, how) << skinned << QString::fromLatin1(how);
    }
}

void TestWindowLook::captionButtonsAndSystemMenu()
{
    QFETCH(bool, skinned);
    QFETCH(QString, how);
    Window window(skinned);
    TForm1 &form = *window.form;

    QMenu *menu = form.systemMenu();
    QStringList commands;
    for (const QAction *action : menu->actions())
        commands << action->text() + u'|' + action->shortcut().toString();
    QCOMPARE(commands, QStringList({u"Mi&nimize|"_s, u"&Close|Alt+F4"_s}));

    CaptionButton *system = form.frameButton(SkinnedWindow::FrameButton::SystemMenu);
    CaptionButton *close = form.frameButton(SkinnedWindow::FrameButton::Close);
    for (CaptionButton *button :
         {system, close, form.frameButton(SkinnedWindow::FrameButton::Minimize)}) {
        QVERIFY(button->isVisible());
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        QVERIFY(button->geometry().bottom() < form.frameThickness().top()); // in the caption bar
        QHelpEvent tip(QEvent::ToolTip, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
        QVERIFY(QCoreApplication::sendEvent(button, &tip)); // taken: no tool tip
        QVERIFY(button->toolTip().isEmpty());
    }
    QVERIFY(system->x() < form.width() / 2);
    QVERIFY(close->x() > form.width() / 2);

    QTest::mouseClick(system, Qt::LeftButton);
    QTRY_VERIFY(menu->isVisible());
    menu->hide();

    if (how == u"close button") {
        // Released outside the button: no click.
        QTest::mousePress(close, Qt::LeftButton);
        QTest::mouseRelease(close, Qt::LeftButton, {}, QPoint(-30, 5));
        QVERIFY(form.isVisible());
        QTest::mouseClick(close, Qt::LeftButton);
    } else if (how == u"system menu") {
        menu->actions().at(1)->trigger();
    } else {
        QTest::keyClick(&form, Qt::Key_F4, Qt::AltModifier);
    }
    QVERIFY(!form.isVisible());
}

void TestWindowLook::movedByItsCaptionBarOnly_data()
{
    QTest::addColumn<bool>("onCaption");
    QTest::newRow("caption bar") << true;
    QTest::newRow("page") << false;
}

void TestWindowLook::movedByItsCaptionBarOnly()
{
    QFETCH(bool, onCaption);
    Window window(true);
    TForm1 &form = *window.form;
    const QPoint before = form.pos();
    // With no window manager to move it (the offscreen platform has none), the
    // window follows the pointer itself.
    const QPoint grab = onCaption ? QPoint(form.width() / 3, 12) : QPoint(200, 300);
    QWidget *target = &form; // as the events reach it when nothing inside takes them
    // The pointer's own path on the screen, whatever the window does meanwhile.
    const auto send = [&](QEvent::Type type, QPoint delta, Qt::MouseButtons buttons) {
        const QPoint global = before + grab + delta;
        QMouseEvent event(type, target->mapFromGlobal(QPointF(global)), QPointF(global),
                          Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    };
    send(QEvent::MouseButtonPress, {}, Qt::LeftButton);
    send(QEvent::MouseMove, {20, 0}, Qt::LeftButton);
    send(QEvent::MouseMove, {40, 25}, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {40, 25}, {});
    QCOMPARE(form.pos(), onCaption ? before + QPoint(40, 25) : before);
}

void TestWindowLook::outlineOnAGrab()
{
    Window skinned(true);
    TForm1 &form = *skinned.form;
    const QRegion outline = form.mask();
    const int w = form.width();
    const int h = form.height();
    // Rounded corners: the corner pixels are outside, the middle of each edge inside.
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
        QVERIFY2(!outline.contains(corner), qPrintable(u"%1,%2"_s.arg(corner.x()).arg(corner.y())));
    for (const QPoint edge :
         {QPoint(w / 2, 0), QPoint(0, h / 2), QPoint(w - 1, h / 2), QPoint(w / 2, h - 1)})
        QVERIFY(outline.contains(edge));
    // The frame picture agrees: clear outside the outline, opaque inside.
    const QImage grab = form.grab().toImage();
    QCOMPARE(grab.pixelColor(0, 0).alpha(), 0);
    QCOMPARE(grab.pixelColor(w / 2, 1).alpha(), 255);
    QCOMPARE(grab.pixelColor(w / 2, h / 2).alpha(), 255);

    Window plain(false);
    QVERIFY(plain.form->mask().isEmpty()); // a plain frame is a rectangle
    QCOMPARE(plain.form->grab().toImage().pixelColor(0, 0).alpha(), 255);
}

void TestWindowLook::statesPaintedFromTheSkin_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("file"); // the element's picture
    QTest::addColumn<QRect>("state");  // the state's rectangle in it
    QTest::addColumn<QString>("how");  // normal, hover, pressed, disabled

    QTest::newRow("button normal")
        << u"spSkinXFormButton1"_s << u"button.png"_s << QRect(0, 0, 88, 28) << u"normal"_s;
    QTest::newRow("button hover") << u"spSkinXFormButton1"_s << u"button.png"_s
                                  << QRect(88, 0, 88, 28) << u"hover"_s;
    QTest::newRow("button pressed")
        << u"spSkinXFormButton1"_s << u"button.png"_s << QRect(176, 0, 88, 28) << u"pressed"_s;
    QTest::newRow("button disabled")
        << u"spSkinXFormButton1"_s << u"button.png"_s << QRect(264, 0, 88, 28) << u"disabled"_s;
    QTest::newRow("edit normal") << u"loginedit"_s << u"edit.png"_s << QRect(0, 0, 59, 21)
                                 << u"normal"_s;
    QTest::newRow("edit disabled")
        << u"loginedit"_s << u"edit.png"_s << QRect(177, 0, 59, 21) << u"disabled"_s;
    QTest::newRow("refresh normal")
        << u"spSkinXFormButton2"_s << u"resizebutton.png"_s << QRect(0, 0, 39, 39) << u"normal"_s;
    QTest::newRow("panel") << u"spSkinPanel1"_s << u"panel.png"_s << QRect(0, 0, 59, 52)
                           << u"normal"_s;
}

void TestWindowLook::statesPaintedFromTheSkin()
{
    QFETCH(QString, name);
    QFETCH(QString, file);
    QFETCH(QRect, state);
    QFETCH(QString, how);
    Window window(true);
    if (name.startsWith(u"spSkinPanel") || name == u"spSkinXFormButton2")
        widget<QTabWidget>(*window.form, "page")->setCurrentIndex(1);
    QWidget *control = widget<QWidget>(*window.form, name.toLatin1().constData());
    if (how == u"hover")
        control->setAttribute(Qt::WA_UnderMouse);
    if (how == u"pressed")
        qobject_cast<QPushButton *>(control)->setDown(true);
    if (how == u"disabled")
        control->setEnabled(false);

    // The middle of the picture is what the middle of the control shows, at the
    // middle of its height; a point left of any text, in the stretched middle.
    const QImage picture = skinPicture(file.toLatin1().constData());
    QVERIFY(!picture.isNull());
    const QImage shown = control->grab().toImage();
    const QColor expected =
        picture.pixelColor(state.left() + state.width() / 2, state.top() + state.height() / 2);
    // The panel's middle between the Refresh button and the status labels.
    const int x = name == u"spSkinPanel1" ? 300 : 12;
    const QColor seen = shown.pixelColor(x, control->height() / 2);
    QVERIFY2(qAbs(seen.red() - expected.red()) <= 2 && qAbs(seen.green() - expected.green()) <= 2 &&
                 qAbs(seen.blue() - expected.blue()) <= 2,
             qPrintable(seen.name() + u" != "_s + expected.name()));
}

void TestWindowLook::checkMarkThreePixelsIn_data()
{
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QRect>("mark"); // in checkbox.png
    QTest::newRow("unticked") << false << QRect(0, 0, 19, 18);
    QTest::newRow("ticked") << true << QRect(76, 0, 19, 18);
}

void TestWindowLook::checkMarkThreePixelsIn()
{
    QFETCH(bool, ticked);
    QFETCH(QRect, mark);
    Window window(true);
    auto *zap = widget<QCheckBox>(*window.form, "zap");
    zap->setChecked(ticked);
    const QImage shown = zap->grab().toImage();
    const QImage picture = skinPicture("checkbox.png").copy(mark);
    // Where the mark is opaque the grab shows it alone, at its own size.
    const QPoint at(3, (zap->height() - mark.height()) / 2);
    int opaque = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixelColor(x, y).alpha() < 255)
                continue;
            ++opaque;
            QCOMPARE(shown.pixelColor(at + QPoint(x, y)), picture.pixelColor(x, y));
        }
    }
    QVERIFY(opaque > 0);
}

void TestWindowLook::everyControlHasAnAccessibleName()
{
    Window window(true);
    for (const char *name : {"page", "loginedit", "passedit", "zap", "spSkinXFormButton1",
                             "spSkinXFormButton2", "NG", "pr1", "pr2", "spSkinShadowLabel1",
                             "spSkinLinkLabel1", "spSkinStdLabel1", "spSkinStdLabel2"}) {
        QAccessibleInterface *accessible =
            QAccessible::queryAccessibleInterface(widget<QWidget>(*window.form, name));
        QVERIFY2(accessible, name);
        QVERIFY2(!accessible->text(QAccessible::Name).isEmpty(), name);
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(widget<QWidget>(*window.form, "loginedit"))
                 ->text(QAccessible::Name),
             u"LOGIN"_s);
}

ORVANE_GUI_TEST_MAIN(TestWindowLook)
#include "test_window_look.moc"
