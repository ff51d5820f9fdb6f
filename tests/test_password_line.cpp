#include "controls/password_line.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QTest>

using namespace orvane;
using namespace Qt::StringLiterals;

class TestPasswordLine : public QObject {
    Q_OBJECT

private slots:
    void steps_data();
    void steps();
};

void TestPasswordLine::steps_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("reach");
    QTest::addColumn<QString>("clipboard");
    // A key sequence such as "Ctrl+Shift+Left", "=text" typed, or "press",
    // "drag" or "word" at a place in cells from the text area's left edge.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("caretAfter");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("edits");
    QTest::addColumn<int>("leftToWindow");

    const QByteArray words = "one two  three", x40(40, 'x');
    const auto row = [](const char *name, const QByteArray &start, int caret, int reach,
                        const QStringList &steps, const QByteArray &text, int anchor, int after,
                        int first = 0, int edits = 0, const QString &clipboard = {},
                        int leftToWindow = 0) {
        QTest::newRow(name) << start << caret << reach << clipboard << steps << text << anchor
                            << after << first << edits << leftToWindow;
    };
    row("word moves skip runs of spaces", words, 0, 31,
        {u"Ctrl+Right"_s, u"Ctrl+Right"_s, u"Ctrl+Left"_s}, words, 4, 4);
    row("Ctrl+Shift+Left selects back a word", words, 14, 31, {u"Ctrl+Shift+Left"_s}, words, 14, 9);
    row("Backspace at the start edits nothing", "abc", 0, 31, {u"Backspace"_s}, "abc", 0, 0);
    row("paste drops control characters", "abcd", 4, 31, {u"Shift+Left"_s, u"Ctrl+V"_s}, "abcXY", 5,
        5, 0, 1, u"\r\nX\tY"_s);
    row("paste of nothing keeps the selection", "abcd", 4, 31, {u"Shift+Home"_s, u"Shift+Ins"_s},
        "abcd", 4, 0, 0, 0, u"\n"_s);
    row("no copy, no cut", "abcd", 4, 31,
        {u"Shift+Left"_s, u"Ctrl+C"_s, u"Ctrl+Ins"_s, u"Ctrl+X"_s, u"Shift+Del"_s}, "abcd", 4, 3, 0,
        0, u"x"_s);
    row("Return and shortcuts are the window's", "ab", 1, 31, {u"Return"_s, u"Ctrl+B"_s}, "ab", 1,
        1, 0, 0, {}, 2);
    row("Left past the first cell scrolls one", x40, 35, 5,
        {u"End"_s, u"Left"_s, u"Left"_s, u"Left"_s, u"Left"_s, u"Left"_s, u"Left"_s}, x40, 34, 34,
        34);
    row("deleting at the end shows more cells", x40, 40, 5,
        {u"Backspace"_s, u"Backspace"_s, u"Backspace"_s}, QByteArray(37, 'x'), 37, 37, 32, 3);
    row("press: before the cell under the pointer", "abcdef", 0, 31, {u"press 1.9"_s}, "abcdef", 1,
        1);
    row("press: scrolled", x40, 40, 5, {u"press 2.7"_s}, x40, 37, 37, 35);
    row("press: past the text", "abc", 0, 31, {u"press 9.5"_s}, "abc", 3, 3);
    row("drag: to the nearest boundary", "abcdef", 0, 31,
        {u"press 1"_s, u"drag 3.6"_s, u"drag 3.4"_s}, "abcdef", 1, 3);
    row("word: the run around the cell", "ab cdef hi", 0, 31, {u"word 4.2"_s}, "ab cdef hi", 3, 7);
    row("word: a space", "ab cdef hi", 0, 31, {u"word 2.5"_s}, "ab cdef hi", 2, 3);
}

void TestPasswordLine::steps()
{
    QFETCH(QByteArray, start);
    QFETCH(int, caret);
    QFETCH(int, reach);
    QFETCH(QString, clipboard);
    QFETCH(QStringList, steps);
    QFETCH(int, anchor);
    QFETCH(int, caretAfter);

    PasswordLine line;
    line.setReach(reach);
    line.setText(start);
    line.moveTo(0, false); // scrolled from the start
    line.moveTo(caret, false);
    int edits = 0, leftToWindow = 0;
    for (const QString &step : steps) {
        const qreal at = step.section(u' ', 1).toDouble();
        if (step.startsWith(u"press "_s)) {
            line.press(at);
        } else if (step.startsWith(u"drag "_s)) {
            line.drag(at);
        } else if (step.startsWith(u"word "_s)) {
            line.selectWordAt(at);
        } else {
            const bool typed = step.startsWith(u'=');
            const QKeyCombination key =
                typed ? QKeyCombination(Qt::Key_unknown) : QKeySequence::fromString(step)[0];
            const QKeyEvent event(QEvent::KeyPress, key.key(), key.keyboardModifiers(),
                                  typed ? step.mid(1) : QString());
            const PasswordLine::KeyOutcome outcome = line.key(event, [&] { return clipboard; });
            edits += outcome.edited;
            leftToWindow += !outcome.taken;
        }
    }
    QTEST(line.text(), "text");
    QCOMPARE(line.anchor(), anchor);
    QCOMPARE(line.caret(), caretAfter);
    QTEST(int(line.first()), "first");
    QTEST(edits, "edits");
    QTEST(leftToWindow, "leftToWindow");
}

QTEST_GUILESS_MAIN(TestPasswordLine)
#include "test_password_line.moc"
