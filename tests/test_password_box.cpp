#include "controls/password_box.h"
#include "skin/skin.h"
#include "skin/skin_style.h"
#include "tests/support/gui_test_main.h"

#include <QAccessible>
#include <QClipboard>
#include <QKeySequence>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QStyleHints>
#include <memory>

using namespace orvane;
using namespace Qt::StringLiterals;

namespace {

// Fusion's standard palette, pinned by the GUI test main: COLOR_WINDOWTEXT is
// WindowText, COLOR_WINDOW is Base, COLOR_GRAYTEXT is the disabled Text.
const QColor kWindowText(0, 0, 0), kWindow(255, 255, 255), kGrayText(190, 190, 190);
const QColor kDisabledWindow(239, 239, 239), kHighlight(48, 140, 198),
    kHighlightText(255, 255, 255);

// The test skin's "edit": a flat colour per face state, and its own font colours.
const QColor kFace[] = {{250, 240, 200}, {200, 250, 240}, {240, 200, 250}, {220, 220, 220}};
const QColor kInk(0x10, 0x20, 0x30), kActiveInk(0x40, 0x50, 0x60), kDisabledInk(0x70, 0x80, 0x90);
const QRect kSkinArea(3, 3, 347, 16), kPlainArea(2, 2, 349, 17); // of a 353 x 21 box

// The marker of `cell` in a text area, by the rule: cells h / 2 + 3 wide, the
// marker 2 in from the sides and (h - w) / 2 + 2 from the top and the bottom.
QRect markerOf(const QRect &area, int cell)
{
    const int h = area.height(), w = h / 2 + 3, inset = (h - w) / 2 + 2;
    return {area.left() + cell * w + 2, area.top() + inset, w - 4, h - 2 * inset};
}

// A window with the box between two line edits, in that keyboard order.
struct Scene {
    QWidget window;
    QLineEdit *before = new QLineEdit(&window);
    PasswordBox *box = new PasswordBox(&window);
    QLineEdit *after = new QLineEdit(&window);

    Scene(SkinStyle *skin, QSize size, const QByteArray &text = {})
    {
        window.resize(400, 100);
        before->setGeometry(0, 70, 100, 20);
        after->setGeometry(200, 70, 100, 20);
        if (skin) {
            box->setProperty(kSkinElementProperty, u"edit"_s);
            box->setStyle(skin);
        }
        box->setGeometry(QRect(QPoint(10, 10), size));
        box->setText(text);
        before->setFocus();
        window.show();
    }
    // Shown, active, and the pointer away from the box wherever the last test left it.
    bool ready()
    {
        const bool active = QTest::qWaitForWindowActive(&window);
        QTest::mouseMove(&window, {395, 95});
        return active;
    }
    QColor at(QPoint point) const { return QColor::fromRgb(box->grab().toImage().pixel(point)); }
};

// "=text" types each character; anything else is a key sequence such as "Ctrl+Shift+Left".
void perform(QWidget *widget, const QStringList &steps)
{
    for (const QString &step : steps) {
        if (!step.startsWith(u'=')) {
            const QKeyCombination key = QKeySequence::fromString(step)[0];
            QTest::keyClick(widget, key.key(), key.keyboardModifiers());
            continue;
        }
        for (qsizetype i = 1; i < step.size(); i += step[i].isHighSurrogate() ? 2 : 1) {
            QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                            step.mid(i, step[i].isHighSurrogate() ? 2 : 1));
            QApplication::sendEvent(widget, &typed);
        }
    }
}

} // namespace

class TestPasswordBox : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void editing_data();
    void editing();
    void clipboard_data();
    void clipboard();
    void keysLeftToTheWindow_data();
    void keysLeftToTheWindow();
    void focusByKeyboardSelectsAll();
    void pointer_data();
    void pointer();
    void painting_data();
    void painting();
    void selectionShowsOnlyWithFocus_data();
    void selectionShowsOnlyWithFocus();
    void crispAtDoubleDensity();
    void hidesItsText();

private:
    std::unique_ptr<SkinStyle> m_skin;
};

void TestPasswordBox::initTestCase()
{
    QGuiApplication::styleHints()->setCursorFlashTime(0); // a steady caret
    // "edit" as the stored skin has it: 59 x 21 at any width, content 3, 3, 3, 2.
    Skin skin;
    QImage faces(236, 21, QImage::Format_ARGB32);
    QPainter painter(&faces);
    SkinElement &edit = skin.elements["edit"];
    SkinPiece &face = edit.pieces["face"];
    for (int state = 0; state < 4; ++state) {
        painter.fillRect(59 * state, 0, 59, 21, kFace[state]);
        face.rects[state] = QRect(59 * state, 0, 59, 21);
    }
    painter.end();
    skin.pictures.append({u"edit.png"_s, faces, {}});
    face.picture = 0;
    face.slices = QMargins(5, 5, 5, 5);
    edit.stretch = SkinStretch::Width;
    edit.content = QMargins(3, 3, 3, 2);
    edit.colors = {{"color", kInk}, {"activecolor", kActiveInk}, {"disabledcolor", kDisabledInk}};
    m_skin = std::make_unique<SkinStyle>(std::make_shared<const Skin>(std::move(skin)));
}

void TestPasswordBox::editing_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("caretAfter");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("edits");

    // A plain box of 353: cells of 11, 31 in full; the caret may stand 31 cells in.
    const QByteArray words = "one two  three", x40(40, 'x'), x100(100, 'x');
    const auto row = [](const char *name, const QByteArray &start, int caret,
                        const QStringList &steps, const QByteArray &text, int anchor, int after,
                        int first = 0, int edits = 0) {
        QTest::newRow(name) << start << caret << steps << text << anchor << after << first << edits;
    };
    row("types at the caret", "abcd", 2, {u"=xy"_s}, "abxycd", 4, 4, 0, 2);
    row("no length limit", "", 0, {u'=' + QString(300, u'k')}, QByteArray(300, 'k'), 300, 300,
        300 - 31, 300);
    row("replaces the selection", "abcdef", 1, {u"Shift+Right"_s, u"Shift+Right"_s, u"=Z"_s},
        "aZdef", 2, 2, 0, 1);
    row("Cyrillic", "", 0, {u"=пароль"_s}, "\xEF\xE0\xF0\xEE\xEB\xFC", 6, 6, 0, 6);
    row("outside the code page", "", 0, {u"=€✓😀"_s}, "\x88??", 3, 3, 0, 3);
    row("control characters", "", 0, {u"=a\u0001\u001fb"_s}, "ab", 2, 2, 0, 2);
    row("Backspace", "abc", 3, {u"Backspace"_s, u"Home"_s, u"Backspace"_s}, "ab", 0, 0, 0, 1);
    row("Backspace a selection", "abcdef", 4, {u"Shift+Left"_s, u"Shift+Left"_s, u"Backspace"_s},
        "abef", 2, 2, 0, 1);
    row("Delete", "abc", 0, {u"Del"_s, u"End"_s, u"Del"_s}, "bc", 2, 2, 0, 1);
    row("Delete a selection", "abcdef", 1, {u"Shift+End"_s, u"Del"_s}, "a", 1, 1, 0, 1);
    row("Left stops at the start", "ab", 1, {u"Left"_s, u"Left"_s, u"Shift+Right"_s}, "ab", 0, 1);
    row("Right stops at the end", "ab", 1, {u"Right"_s, u"Right"_s, u"Shift+Left"_s}, "ab", 2, 1);
    row("Left drops the selection", "abc", 1, {u"Shift+Right"_s, u"Shift+Right"_s, u"Left"_s},
        "abc", 2, 2);
    row("Shift+Left back past the anchor", "abcdef", 3,
        {u"Shift+Right"_s, u"Shift+Left"_s, u"Shift+Left"_s}, "abcdef", 3, 2);
    row("Ctrl+Right", words, 0, {u"Ctrl+Right"_s}, words, 4, 4);
    row("Ctrl+Right over two spaces to the end", words, 4, {u"Ctrl+Right"_s, u"Ctrl+Right"_s},
        words, 14, 14);
    row("Ctrl+Left inside a word", words, 6, {u"Ctrl+Left"_s}, words, 4, 4);
    row("Ctrl+Left over spaces", words, 9, {u"Ctrl+Left"_s, u"Ctrl+Left"_s}, words, 0, 0);
    row("Ctrl+Shift+Right", words, 0, {u"Ctrl+Shift+Right"_s}, words, 0, 4);
    row("End shows the last cells", x100, 0, {u"End"_s}, x100, 100, 100, 100 - 31);
    row("Home shows the first", x100, 100, {u"Home"_s}, x100, 0, 0, 0);
    row("Right past the edge scrolls one", x40, 31, {u"Right"_s}, x40, 32, 32, 1);
    row("deleting at the end scrolls back", x40, 40, {u"Backspace"_s}, QByteArray(39, 'x'), 39, 39,
        8, 1);
}

void TestPasswordBox::editing()
{
    QFETCH(QByteArray, start);
    QFETCH(int, caret);
    QFETCH(QStringList, steps);
    QFETCH(int, anchor);
    QFETCH(int, caretAfter);

    Scene scene(nullptr, {353, 21}, start);
    scene.box->setCursorPosition(0); // scrolled from the start
    scene.box->setCursorPosition(caret);
    QSignalSpy edits(scene.box, &PasswordBox::textEdited);
    perform(scene.box, steps);
    QTEST(scene.box->text(), "text");
    QCOMPARE(scene.box->cursorPosition(), caretAfter);
    QCOMPARE(scene.box->selectionStart(), std::min(anchor, caretAfter));
    QCOMPARE(scene.box->selectionLength(), std::abs(caretAfter - anchor));
    QTEST(int(scene.box->firstVisible()), "first");
    QTEST(int(edits.count()), "edits");
}

void TestPasswordBox::clipboard_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("selectionFrom"); // to the caret at the end of "abcd"
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("Ctrl+V") << u"XY"_s << u"Ctrl+V"_s << 4 << QByteArray("abcdXY");
    QTest::newRow("Shift+Insert") << u"XY"_s << u"Shift+Ins"_s << 4 << QByteArray("abcdXY");
    QTest::newRow("over the selection") << u"XY"_s << u"Ctrl+V"_s << 1 << QByteArray("aXY");
    QTest::newRow("controls dropped") << u"\r\nX\tY\n"_s << u"Ctrl+V"_s << 2 << QByteArray("abXY");
    QTest::newRow("Cyrillic") << u"Жд"_s << u"Ctrl+V"_s << 4 << QByteArray("abcd\xC6\xE4");
    QTest::newRow("outside the code page")
        << u"€✓😀"_s << u"Shift+Ins"_s << 4 << QByteArray("abcd\x88??");
    QTest::newRow("nothing left to paste") << u"\r\n"_s << u"Ctrl+V"_s << 1 << QByteArray("abcd");
    // No copy, no cut: and a cut that kept nothing must not lose the selection either.
    for (const char *key : {"Ctrl+C", "Ctrl+Ins", "Ctrl+X", "Shift+Del"})
        QTest::newRow(key) << u"sentinel"_s << QString::fromLatin1(key) << 1 << QByteArray("abcd");
}

void TestPasswordBox::clipboard()
{
    QFETCH(QString, clipboard);
    QFETCH(QString, key);
    QFETCH(int, selectionFrom);
    QFETCH(QByteArray, text);

    Scene scene(nullptr, {353, 21}, "abcd");
    scene.box->setSelection(selectionFrom, 4 - selectionFrom);
    QGuiApplication::clipboard()->setText(clipboard);
    perform(scene.box, {key});
    QCOMPARE(scene.box->text(), text);
    QCOMPARE(scene.box->cursorPosition(), text.size());
    QCOMPARE(scene.box->selectionLength(), text == "abcd" ? 4 - selectionFrom : 0);
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
}

void TestPasswordBox::keysLeftToTheWindow_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("typed");
    QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier) << u"\r"_s;
    QTest::newRow("Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << u"\r"_s;
    QTest::newRow("Ctrl+B") << int(Qt::Key_B) << int(Qt::ControlModifier) << u"b"_s;
}

void TestPasswordBox::keysLeftToTheWindow()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, typed);
    PasswordBox box;
    QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), typed);
    QApplication::sendEvent(&box, &press);
    QVERIFY(!press.isAccepted());
    QVERIFY(box.text().isEmpty());
}

void TestPasswordBox::focusByKeyboardSelectsAll()
{
    for (const bool backwards : {false, true}) {
        Scene scene(nullptr, {353, 21}, "secret");
        QVERIFY(scene.ready());
        scene.box->setCursorPosition(2);
        QLineEdit *from = backwards ? scene.after : scene.before;
        from->setFocus();
        QTest::keyClick(from, Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
        QVERIFY(scene.box->hasFocus());
        QCOMPARE(scene.box->selectionLength(), 6);
        QCOMPARE(scene.box->cursorPosition(), 6);
        perform(scene.box, {u"=n"_s});
        QCOMPARE(scene.box->text(), QByteArray("n"));
    }
}

void TestPasswordBox::pointer_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QStringList>("steps"); // what at x
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("caret");

    // "ab cdef hi" and more z's; plain, so cells of 11 from x = 2; 50 show from 19.
    const auto row = [](const char *name, int length, const QStringList &steps, int anchor,
                        int caret) {
        QTest::newRow(name) << length << steps << anchor << caret;
    };
    row("click: the left half of a cell, before it", 10, {u"click 40"_s}, 3, 3);
    row("click: the right half of a cell, before it", 10, {u"click 44"_s}, 3, 3);
    row("click: left of the first cell", 10, {u"click 0"_s}, 0, 0);
    row("click: past the last cell", 10, {u"click 300"_s}, 10, 10);
    row("click: scrolled", 50, {u"click 40"_s}, 22, 22);
    row("drag", 10, {u"press 24"_s, u"move 60"_s, u"release 60"_s}, 2, 5);
    row("drag back", 10, {u"press 24"_s, u"move 60"_s, u"move 13"_s, u"release 13"_s}, 2, 1);
    row("move without the button", 10, {u"click 24"_s, u"move 60"_s}, 2, 2);
    row("double click: a word", 10, {u"double 50"_s}, 3, 7);
    row("double click: a space", 10, {u"double 25"_s}, 2, 3);
}

void TestPasswordBox::pointer()
{
    QFETCH(int, length);
    QFETCH(QStringList, steps);
    QFETCH(int, anchor);
    QFETCH(int, caret);
    Scene scene(nullptr, {353, 21}, QByteArray("ab cdef hi").leftJustified(length, 'z'));
    QVERIFY(scene.ready());
    for (const QString &step : steps) {
        const QPoint point(step.section(u' ', 1).toInt(), 10);
        const QString what = step.section(u' ', 0, 0);
        if (what == "click"_L1 || what == "double"_L1)
            QTest::mouseClick(scene.box, Qt::LeftButton, {}, point);
        if (what == "press"_L1 || what == "double"_L1)
            QTest::mousePress(scene.box, Qt::LeftButton, {}, point);
        if (what == "double"_L1) // press, release, press, double click, release
            QTest::mouseDClick(scene.box, Qt::LeftButton, {}, point);
        if (what == "release"_L1 || what == "double"_L1)
            QTest::mouseRelease(scene.box, Qt::LeftButton, {}, point);
        if (what == "move"_L1)
            QTest::mouseMove(scene.box, point);
    }
    QVERIFY(scene.box->hasFocus());
    QCOMPARE(scene.box->cursorPosition(), caret);
    QCOMPARE(scene.box->selectionStart(), std::min(anchor, caret));
    QCOMPARE(scene.box->selectionLength(), std::abs(caret - anchor));
}

void TestPasswordBox::painting_data()
{
    QTest::addColumn<bool>("skinned");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("caretAtEnd");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<int>("shown"); // cells painted, after the first visible one
    QTest::addColumn<QColor>("ink");
    QTest::addColumn<QColor>("paper");

    const auto row = [](const char *name, bool skinned, QSize size, int length, bool atEnd,
                        const QString &state, QRect area, int shown, const QColor &ink,
                        const QColor &paper) {
        QTest::newRow(name) << skinned << size << length << atEnd << state << area << shown << ink
                            << paper;
    };
    // Skinned, h = 16: w = 11, markers 7 x 8; 31 cells fit in 347. The height rule makes it 21.
    row("skin: 31 of 40 from the start", true, {353, 30}, 40, false, {}, kSkinArea, 31, kInk,
        kFace[0]);
    row("skin: the last 31 of 40", true, {353, 21}, 40, true, {}, kSkinArea, 31, kInk, kFace[0]);
    row("skin: narrow, 4 of 10", true, {60, 21}, 10, false, {}, {3, 3, 54, 16}, 4, kInk, kFace[0]);
    row("skin: hovered", true, {353, 21}, 3, false, u"hover"_s, kSkinArea, 3, kActiveInk, kFace[1]);
    row("skin: focused", true, {353, 21}, 3, true, u"focus"_s, kSkinArea, 3, kActiveInk, kFace[2]);
    row("skin: disabled", true, {353, 21}, 3, false, u"disabled"_s, kSkinArea, 3, kDisabledInk,
        kFace[3]);
    // Plain, h = 17: w = 11, markers 7 x 7.
    row("plain: 5 characters", false, {353, 21}, 5, false, {}, kPlainArea, 5, kWindowText, kWindow);
    row("plain: empty", false, {353, 21}, 0, false, u"focus"_s, kPlainArea, 0, kWindowText,
        kWindow);
    // h = 26: w = 16, markers 12 x 12; 6 cells fit in 96, the caret 5 cells in.
    row("plain: taller, at the end", false, {100, 30}, 20, true, u"focus"_s, {2, 2, 96, 26}, 5,
        kWindowText, kWindow);
    // h = 8: w = 7, markers 3 x 4; 13 cells fit in 97.
    row("plain: low", false, {101, 12}, 30, false, {}, {2, 2, 97, 8}, 13, kWindowText, kWindow);
    row("plain: disabled", false, {353, 21}, 3, false, u"disabled"_s, kPlainArea, 3, kGrayText,
        kDisabledWindow);
}

void TestPasswordBox::painting()
{
    QFETCH(bool, skinned);
    QFETCH(QSize, size);
    QFETCH(int, length);
    QFETCH(bool, caretAtEnd);
    QFETCH(QString, state);
    QFETCH(QRect, area);
    QFETCH(int, shown);
    QFETCH(QColor, ink);
    QFETCH(QColor, paper);

    Scene scene(skinned ? m_skin.get() : nullptr, size, QByteArray(length, 'p'));
    QVERIFY(scene.ready());
    QCOMPARE(scene.box->height(), skinned ? 21 : size.height());
    scene.box->setCursorPosition(caretAtEnd ? length : 0);
    if (state == "hover"_L1)
        QTest::mouseMove(scene.box, {5, 5});
    else if (state == "focus"_L1)
        scene.box->setFocus();
    else if (state == "disabled"_L1)
        scene.box->setEnabled(false);
    const QImage image = scene.box->grab().toImage();
    const auto at = [&](int x, int y) {
        return QColor::fromRgb(image.pixel(x, y));
    };

    const int cell = area.height() / 2 + 3;
    for (int i = 0; i <= shown && markerOf(area, i).left() <= area.right(); ++i) {
        const QRect m = markerOf(area, i);
        const int middle = m.top() + m.height() / 2;
        const QColor expected = i < shown ? ink : paper; // the cell after the last stays bare
        QCOMPARE(at(m.center().x(), m.center().y()), expected);
        QCOMPARE(at(m.left(), middle), expected);
        QCOMPARE(at(std::min(m.right(), area.right()), middle), expected);
        QCOMPARE(at(m.center().x(), m.top()), expected);
        QCOMPARE(at(m.center().x(), m.bottom()), expected);
        QCOMPARE(at(m.left() - 1, middle), paper); // the gap between markers
        QCOMPARE(at(m.center().x(), m.top() - 1), paper);
        QCOMPARE(at(m.center().x(), m.bottom() + 1), paper);
    }
    // The caret: at the left edge of its cell, as high as the text area.
    const qsizetype caretCell = scene.box->cursorPosition() - scene.box->firstVisible();
    QCOMPARE(caretCell, caretAtEnd ? std::min(length, (area.width() - 1) / cell) : 0);
    const int caretX = area.left() + int(caretCell) * cell;
    QCOMPARE(at(caretX, area.top()), state == "focus"_L1 ? ink : paper);
    QCOMPARE(at(caretX, area.bottom()), state == "focus"_L1 ? ink : paper);
    QCOMPARE(at(caretX + 1, area.center().y()), paper);

    if (state == "hover"_L1) {
        QTest::mouseMove(&scene.window, {5, 95});
        QCOMPARE(scene.at(markerOf(area, 0).center()), skinned ? kInk : kWindowText);
    }
}

void TestPasswordBox::selectionShowsOnlyWithFocus_data()
{
    QTest::addColumn<bool>("skinned");
    QTest::addColumn<QStringList>("steps"); // after the focus came by Tab
    QTest::addColumn<QList<bool>>("selected");
    QTest::newRow("plain, all") << false << QStringList() << QList{true, true, true, true};
    QTest::newRow("plain, the last two")
        << false << QStringList{u"End"_s, u"Shift+Left"_s, u"Shift+Left"_s}
        << QList{false, false, true, true};
    QTest::newRow("skin, the first")
        << true << QStringList{u"Home"_s, u"Shift+Right"_s} << QList{true, false, false, false};
}

void TestPasswordBox::selectionShowsOnlyWithFocus()
{
    QFETCH(bool, skinned);
    QFETCH(QStringList, steps);
    QFETCH(QList<bool>, selected);
    Scene scene(skinned ? m_skin.get() : nullptr, {353, 21}, "abcd");
    QVERIFY(scene.ready());
    QTest::keyClick(scene.before, Qt::Key_Tab);
    perform(scene.box, steps);

    const QRect area = skinned ? kSkinArea : kPlainArea;
    for (const bool focused : {true, false}) {
        if (!focused)
            scene.after->setFocus(); // the selection stays, unseen
        QCOMPARE(scene.box->selectionLength(), selected.count(true));
        const QColor ink = !skinned ? kWindowText : focused ? kActiveInk : kInk;
        const QColor paper = !skinned ? kWindow : focused ? kFace[2] : kFace[0];
        for (int i = 0; i < 4; ++i) {
            const bool lit = focused && selected[i];
            const QRect m = markerOf(area, i);
            QCOMPARE(scene.at(m.center()), lit ? kHighlightText : ink);
            QCOMPARE(scene.at({m.right() + 2, m.center().y()}), lit ? kHighlight : paper);
        }
    }
}

void TestPasswordBox::crispAtDoubleDensity()
{
    Scene scene(nullptr, {353, 21}, "ab");
    QImage image(scene.box->size() * 2, QImage::Format_ARGB32);
    image.setDevicePixelRatio(2);
    scene.box->render(&image);
    for (int i = 0; i < 2; ++i) {
        const QRect m = markerOf(kPlainArea, i);
        const QRect device(m.topLeft() * 2, m.size() * 2); // whole pixels on every edge
        const auto at = [&](int x, int y) {
            return QColor::fromRgb(image.pixel(x, y));
        };
        QCOMPARE(at(device.left(), device.center().y()), kWindowText);
        QCOMPARE(at(device.left() - 1, device.center().y()), kWindow);
        QCOMPARE(at(device.right(), device.center().y()), kWindowText);
        QCOMPARE(at(device.right() + 1, device.center().y()), kWindow);
        QCOMPARE(at(device.center().x(), device.top()), kWindowText);
        QCOMPARE(at(device.center().x(), device.top() - 1), kWindow);
    }
}

void TestPasswordBox::hidesItsText()
{
    PasswordBox box;
    box.setText("secret");
    box.setAccessibleName(u"Password"_s);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&box);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::EditableText);
    QVERIFY(accessible->state().passwordEdit);
    QCOMPARE(accessible->text(QAccessible::Name), u"Password"_s);
    QVERIFY(accessible->text(QAccessible::Value).isEmpty());
    QVERIFY(!accessible->textInterface() && !accessible->editableTextInterface() &&
            !accessible->valueInterface());

    QCOMPARE(box.inputMethodQuery(Qt::ImEnabled), QVariant(false));
    for (const auto query : {Qt::ImSurroundingText, Qt::ImCurrentSelection, Qt::ImTextBeforeCursor,
                             Qt::ImTextAfterCursor, Qt::ImCursorPosition})
        QVERIFY(!box.inputMethodQuery(query).isValid());
}

ORVANE_GUI_TEST_MAIN(TestPasswordBox)
#include "test_password_box.moc"
