#include "service/text_codec.h"

#include <QSet>
#include <QTest>

using namespace orvane;

class TestTextCodec : public QObject {
    Q_OBJECT

private slots:
    void everyByteRoundTrips();
    void knownLetters_data();
    void knownLetters();
    void unmappableCharacters();
};

void TestTextCodec::everyByteRoundTrips()
{
    QSet<QChar> seen;
    for (int b = 0; b < 256; ++b) {
        const QByteArray byte(1, char(b));
        const QString text = fromCp1251(byte);
        QCOMPARE(text.size(), 1);
        QVERIFY2(!seen.contains(text.front()), "two bytes decode to one character");
        seen.insert(text.front());
        QCOMPARE(toCp1251(text), byte);
    }
}

void TestTextCodec::knownLetters_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("ascii") << QByteArray("Spain. Liga 1.85") << QStringLiteral("Spain. Liga 1.85");
    QTest::newRow("cyrillic") << QByteArray("\xc7\xe0\xe2\xe5\xf0\xf8\xe5\xed")
                              << QStringLiteral("Завершен");
    QTest::newRow("yo and capitals") << QByteArray("\xa8\xb8\xc0\xdf") << QStringLiteral("ЁёАЯ");
    QTest::newRow("zero byte kept") << QByteArray("a\0b", 3) << QString::fromUtf16(u"a\0b", 3);
}

void TestTextCodec::knownLetters()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(fromCp1251(bytes), text);
    QCOMPARE(toCp1251(text), bytes);
}

void TestTextCodec::unmappableCharacters()
{
    QCOMPARE(toCp1251(u"a\u4e2db\U0001F600c"), QByteArray("a?b?c"));
}

QTEST_GUILESS_MAIN(TestTextCodec)
#include "test_text_codec.moc"
