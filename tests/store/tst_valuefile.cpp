#include "store/ValueFile.h"

#include <QTest>

// The byte form of value files: what the program writes must be exactly
// what the older files hold, and everything written must read back.
class TestValueFile : public QObject
{
    Q_OBJECT
private slots:
    void writtenBytes_data();
    void writtenBytes();
    void roundTrip_data();
    void roundTrip();
    void everyCharacterReadsBackAsItself();
    void reading_data();
    void reading();
    void invalidShiftJisIsFlagged();
};

void TestValueFile::writtenBytes_data()
{
    QTest::addColumn<QString>("text"); // a number: written as an integer
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("zero") << "0" << QByteArray("0\r\n");
    QTest::newRow("ten") << "10" << QByteArray("10\r\n");
    QTest::newRow("empty") << QString() << QByteArray("\"\"\r\n");
    QTest::newRow("two lines") << QStringLiteral("a\r\nb") << QByteArray("\"a\r\nb\"\r\n");
    QTest::newRow("japanese") << QStringLiteral("時刻") << QByteArray("\"\x8E\x9E\x8D\x8F\"\r\n");
    QTest::newRow("wave dash of code page 932") << QStringLiteral("～") << QByteArray("\"\x81\x60\"\r\n");
    QTest::newRow("half-width katakana") << QStringLiteral("ｱｲ") << QByteArray("\"\xB1\xB2\"\r\n");
    QTest::newRow("trail byte like a backslash") << QStringLiteral("表") << QByteArray("\"\x95\x5C\"\r\n");
    QTest::newRow("control codes as Windows has them") << QStringLiteral("\x1A\x1C\x7F") << QByteArray("\"\x1A\x1C\x7F\"\r\n");
}

void TestValueFile::writtenBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    bool integer = false;
    const int number = text.toInt(&integer);
    QCOMPARE(integer ? ValueFile::encodeInteger(number) : ValueFile::encodeText(text), bytes);
    const ValueFile::Decoded back = ValueFile::decode(bytes);
    QCOMPARE(back.text, text);
    QVERIFY(back.clean);
}

void TestValueFile::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("quotes") << QStringLiteral("He said \"hi\"");
    QTest::newRow("only a quote") << QStringLiteral("\"");
    QTest::newRow("quote then line break") << QStringLiteral("\"\r\nx\r\n\"");
    QTest::newRow("emoji and quotes") << QStringLiteral("\"\U0001F389\",");
    QTest::newRow("hangul") << QStringLiteral("안녕");
    QTest::newRow("leading spaces and comma") << QStringLiteral("  a, b");
    QTest::newRow("trailing line break") << QStringLiteral("x\r\n");
    QTest::newRow("starts with a zero-width no-break space") << QStringLiteral("\uFEFF\uFEFFa");
}

void TestValueFile::roundTrip()
{
    QFETCH(QString, text);
    const QByteArray bytes = ValueFile::encodeText(text);
    QVERIFY(!bytes.contains('?'));
    QCOMPARE(ValueFile::decode(bytes).text, text);
}

void TestValueFile::everyCharacterReadsBackAsItself()
{
    // The C library's converter writes some characters as look-alikes
    // (〜 as ～); the program must not take them.
    for (char16_t c = 0; c < 0xFFFF; ++c) {
        const QString text(QChar::isSurrogate(c) ? QChar() : QChar(c));
        if (ValueFile::decode(ValueFile::encodeText(text)).text != text)
            QFAIL(qPrintable(QStringLiteral("U+%1").arg(int(c), 4, 16, QLatin1Char('0'))));
    }
}

void TestValueFile::reading_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("quoted integer") << QByteArray("\"7\"\r\n") << QStringLiteral("7");
    QTest::newRow("leading spaces") << QByteArray("   12\r\n") << QStringLiteral("12");
    QTest::newRow("up to a comma") << QByteArray("3,4\r\n") << QStringLiteral("3");
    QTest::newRow("up to the line end") << QByteArray("3\r\n4\r\n") << QStringLiteral("3");
    QTest::newRow("junk after the closing quote") << QByteArray("\"ab\" junk\r\n") << QStringLiteral("ab");
    QTest::newRow("no closing quote") << QByteArray("\"ab\r\n") << QStringLiteral("ab");
    QTest::newRow("empty file") << QByteArray() << QString();
    QTest::newRow("no line end") << QByteArray("\"x\"") << QStringLiteral("x");
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF\"\xE6\x99\x82\"\r\n") << QStringLiteral("時");
    // Any Linux editor's default: UTF-8 without a mark.
    QTest::newRow("UTF-8 without a mark") << QStringLiteral("\"会議の予定：月曜〜金曜\"\r\n").toUtf8()
                                          << QStringLiteral("会議の予定：月曜〜金曜");
}

void TestValueFile::reading()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(ValueFile::decode(bytes).text, text);
}

void TestValueFile::invalidShiftJisIsFlagged()
{
    const ValueFile::Decoded decoded = ValueFile::decode(QByteArray("\"a\xFF\xFF" "b\"\r\n"));
    QVERIFY(!decoded.clean);
    QVERIFY(decoded.text.startsWith(QLatin1Char('a')) && decoded.text.endsWith(QLatin1Char('b')));
    // A lead byte cut off at the end of the item is damage too.
    QVERIFY(!ValueFile::decode(QByteArray("\x81", 1)).clean);
    QVERIFY(!ValueFile::decode(QByteArray("\"a\x81\"\r\n")).clean);
}

QTEST_APPLESS_MAIN(TestValueFile)
#include "tst_valuefile.moc"
