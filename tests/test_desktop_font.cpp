#include "skin/bundled_fonts.h"
#include "skin/desktop_font.h"
#include "tests/support/gui_test_main.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

using namespace orvane;

class TestDesktopFont : public QObject {
    Q_OBJECT

private slots:
    void heights_data();
    void heights();
    void namesResolveToTheBundledFamily_data();
    void namesResolveToTheBundledFamily();
    void kickOffTimeFitsItsColumn();
    void onlyTheBundledFamilyIsSeen();
};

void TestDesktopFont::heights_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<int>("em");

    // Liberation Sans: usWinAscent 1854 + usWinDescent 434 = 2288 units of 2048.
    QTest::newRow("cell 14") << 14 << false << 12; // 13 px would need a 14.5 px cell
    QTest::newRow("cell 14 bold") << 14 << true << 12;
    QTest::newRow("cell 16 bold") << 16 << true << 14;
    QTest::newRow("cell 20") << 20 << false << 17;
    QTest::newRow("cell 1 is never empty") << 1 << false << 1;
    QTest::newRow("em 11") << -11 << false << 11;
    QTest::newRow("em 16") << -16 << true << 16;
}

void TestDesktopFont::heights()
{
    QFETCH(int, height);
    QFETCH(bool, bold);
    QFETCH(int, em);

    const QFont font = desktopFont(u"Arial", height, bold);
    QCOMPARE(font.pixelSize(), em);
    QCOMPARE(font.bold(), bold);
    if (height > 0) {
        // The em that fits: its cell stays within the height, one pixel more does not.
        QVERIFY(em * 2288 <= height * 2048 || em == 1);
        QVERIFY((em + 1) * 2288 > height * 2048);
    }
}

void TestDesktopFont::namesResolveToTheBundledFamily_data()
{
    QTest::addColumn<QString>("family");
    QTest::newRow("Arial") << QStringLiteral("Arial");
    QTest::newRow("MS Sans Serif") << QStringLiteral("MS Sans Serif");
}

void TestDesktopFont::namesResolveToTheBundledFamily()
{
    QFETCH(QString, family);
    const QFont font = desktopFont(family, -11);
    QCOMPARE(font.family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(QFontInfo(desktopFont(family, -11, true)).bold(), true);
}

void TestDesktopFont::kickOffTimeFitsItsColumn()
{
    // The Time column is 38 pixels; a text fits when it is 5 narrower.
    QVERIFY(QFontMetrics(desktopFont(u"Arial", 14)).horizontalAdvance(QStringLiteral("19:45")) +
                5 <=
            38);
}

void TestDesktopFont::onlyTheBundledFamilyIsSeen()
{
    // Whatever fonts the machine has, tests see the same one: fontconfig's
    // generic names remain, and they too give the bundled face.
    const QString bundled = QStringLiteral("Liberation Sans");
    QStringList families = QFontDatabase::families();
    families.removeOne(QStringLiteral("Sans Serif"));
    families.removeOne(QStringLiteral("Serif"));
    families.removeOne(QStringLiteral("Monospace"));
    QCOMPARE(families, QStringList{bundled});
    for (const char *name : {"Sans Serif", "Monospace", "DejaVu Sans", "Arial"})
        QCOMPARE(QFontInfo(QFont(QString::fromLatin1(name))).family(), bundled);
}

ORVANE_GUI_TEST_MAIN(TestDesktopFont)
#include "test_desktop_font.moc"
