#include "service/replace_all.h"

#include <QTest>

using namespace orvane;
using namespace Qt::StringLiterals;

class TestReplaceAll : public QObject {
    Q_OBJECT

private slots:
    void replaceAll_data();
    void replaceAll();
    void replaceAllLongText();
};

void TestReplaceAll::replaceAll_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("pattern");
    QTest::addColumn<QByteArray>("replacement");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("odds") << "1.85"_ba
                          << "."_ba
                          << ","_ba
                          << "1,85"_ba;
    QTest::newRow("no point") << "2"_ba
                              << "."_ba
                              << ","_ba
                              << "2"_ba;
    QTest::newRow("two points") << "1.2.3"_ba
                                << "."_ba
                                << ","_ba
                                << "1,2,3"_ba;
    QTest::newRow("trailing zero") << "1.2.30"_ba
                                   << "."_ba
                                   << ","_ba
                                   << "1,2,30"_ba;
    QTest::newRow("empty pattern") << "1.2"_ba
                                   << ""_ba
                                   << ","_ba
                                   << "1.2"_ba;
    QTest::newRow("empty text") << ""_ba
                                << "."_ba
                                << ","_ba
                                << ""_ba;
    QTest::newRow("empty replacement") << "a..b"_ba
                                       << "."_ba
                                       << ""_ba
                                       << "ab"_ba;
    // Searching again from the start: replaced text joins its neighbours.
    QTest::newRow("joins the left") << "aabb"_ba
                                    << "ab"_ba
                                    << "a"_ba
                                    << "aa"_ba;
    QTest::newRow("shrinks repeatedly") << "a...b"_ba
                                        << ".."_ba
                                        << "."_ba
                                        << "a.b"_ba;
    QTest::newRow("joins inserted text") << "aab"_ba
                                         << "ab"_ba
                                         << "ba"_ba
                                         << "baa"_ba;
    QTest::newRow("bytes above 127") << "\xc0.\xff"_ba
                                     << "."_ba
                                     << "\xe0"_ba
                                     << "\xc0\xe0\xff"_ba;
    // Outside the searching-again contract: left to right, inserted text left alone.
    QTest::newRow("replacement holds pattern") << "a.b."_ba
                                               << "."_ba
                                               << ".."_ba
                                               << "a..b.."_ba;
    QTest::newRow("doubling") << "xax"_ba
                              << "a"_ba
                              << "aa"_ba
                              << "xaax"_ba;
    QTest::newRow("grows without end") << "aab"_ba
                                       << "ab"_ba
                                       << "bbaa"_ba
                                       << "abbaa"_ba;
    // "a" * k + "b" needs 2^k - 1 replacements. 2^11 - 1 here, and one more
    // for the last "ab": 2048, exactly 16 * (64 + 64) for a 64-byte text.
    const QByteArray doubling = QByteArray(11, 'a') + "b";
    QTest::newRow("at the budget")
        << doubling + QByteArray(50, 'c') + "ab"
        << "ab"_ba
        << "bba"_ba << QByteArray(2048, 'b') + QByteArray(11, 'a') + QByteArray(50, 'c') + "bba";
    QTest::newRow("one past the budget")
        << doubling + QByteArray(49, 'c') + "ab"
        << "ab"_ba
        << "bba"_ba << QByteArray(10, 'a') + "bba" + QByteArray(49, 'c') + "bba";
}

void TestReplaceAll::replaceAll()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, pattern);
    QFETCH(QByteArray, replacement);
    QFETCH(QByteArray, expected);
    QCOMPARE(ReplaceAll(text, pattern, replacement), expected);
}

void TestReplaceAll::replaceAllLongText()
{
    QByteArray text;
    for (int i = 0; i < 200000; ++i)
        text += QByteArray::number(i) + (i % 3 ? "." : "..");
    QCOMPARE(ReplaceAll(text, ".", ","), QByteArray(text).replace('.', ','));
}

QTEST_GUILESS_MAIN(TestReplaceAll)
#include "test_replace_all.moc"
