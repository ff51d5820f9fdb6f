#pragma once

#include <QApplication>
#include <QTest>

namespace orvane::test {

enum class TestPlatform { Offscreen, X11 };

// Pins what a widget's pixels and places could otherwise take from the
// machine: the platform, the scale factor, the font resolution, the locale,
// the fonts (a fontconfig file that shows no font of the machine's) and the
// session bus (none). Call before the QApplication exists.
void prepareGuiTestEnvironment(TestPlatform platform = TestPlatform::Offscreen);

// Once the QApplication exists: the Fusion style with its own palette, and the
// bundled fonts installed as the program installs them.
void finishGuiTestSetup();

} // namespace orvane::test

// The main of every test that makes a widget.
#define ORVANE_GUI_TEST_MAIN_ON(TestObject, platform)                                              \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        orvane::test::prepareGuiTestEnvironment(platform);                                         \
        QApplication app(argc, argv);                                                              \
        orvane::test::finishGuiTestSetup();                                                        \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

#define ORVANE_GUI_TEST_MAIN(TestObject)                                                           \
    ORVANE_GUI_TEST_MAIN_ON(TestObject, orvane::test::TestPlatform::Offscreen)
