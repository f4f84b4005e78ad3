#include "document/qcmtext.h"

#include <QtTest>

class TestQcmText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decode_data();
    void decode();
    void everyByteSurvivesARoundTrip();
    void tagsCountedWhileDecoding_data();
    void tagsCountedWhileDecoding();
    void encodeRefuses_data();
    void encodeRefuses();
};

void TestQcmText::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("nuls");
    QTest::newRow("empty") << QByteArray() << QStringList{} << 0;
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"} << 0;
    QTest::newRow("lone LF") << QByteArray("a\nb\n") << QStringList{"a", "b"} << 0;
    QTest::newRow("lone CR") << QByteArray("a\rb\r") << QStringList{"a", "b"} << 0;
    QTest::newRow("mixed") << QByteArray("a\r\nb\rc\nd") << QStringList{"a", "b", "c", "d"} << 0;
    QTest::newRow("blank lines kept") << QByteArray("\r\n\r\n \r\n") << QStringList{"", "", " "} << 0;
    QTest::newRow("LF CR is two line ends") << QByteArray("a\n\rb") << QStringList{"a", "", "b"} << 0;
    QTest::newRow("NUL dropped, what follows kept") << QByteArray("a\r\nb\0c\r\nd", 9) << QStringList{"a", "bc", "d"} << 1;
    QTest::newRow("NUL-only line stays a line") << QByteArray("a\r\n\0\0\r\nb", 8) << QStringList{"a", "", "b"} << 2;
    QTest::newRow("NUL before a line end") << QByteArray("a\0\r\nb", 5) << QStringList{"a", "b"} << 1;
    QTest::newRow("accents are single bytes") << QByteArray("R\xE9ponse \xE0 \xAB x \xBB")
                                              << QStringList{QStringLiteral("Réponse à « x »")} << 0;
    QTest::newRow("euro and quotes") << QByteArray("\x80 \x92\x9C") << QStringList{QStringLiteral("€ ’œ")} << 0;
}

void TestQcmText::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(int, nuls);
    int dropped = -1;
    QCOMPARE(QcmText::decodeLines(bytes, &dropped), lines);
    QCOMPARE(dropped, nuls);
}

void TestQcmText::everyByteSurvivesARoundTrip()
{
    QByteArray all;
    for (int byte = 1; byte < 256; ++byte) {
        if (byte != '\r' && byte != '\n')
            all.append(char(byte));
    }
    all.append("\r\n");
    QCOMPARE(QcmText::encodeLines(QcmText::decodeLines(all)), all);
}

void TestQcmText::tagsCountedWhileDecoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("openings");
    QTest::addColumn<int>("closings");
    QTest::newRow("one block") << QByteArray("<BLOC0000>\r\nTITLE a\r\n</BLOC0000>\r\n") << 1 << 1;
    QTest::newRow("free text beginning like a tag") << QByteArray("<BLOCAGE\r\n</BLOC> fin\r\n") << 1 << 1;
    QTest::newRow("lower case is no tag") << QByteArray("<bloc0000>\r\n</bloc0000>") << 0 << 0;
    QTest::newRow("prefix cut by a line end") << QByteArray("<BL\r\nOC0000>\r\n</BLO\rC>") << 0 << 0;
    QTest::newRow("NUL inside the prefix dropped first") << QByteArray("<BL\0OC0001>\r\n<\0/BLOC0001>", 25) << 1 << 1;
    QTest::newRow("last line without its line end") << QByteArray("x\n<BLOC0002>") << 1 << 0;
}

// Loading takes the counts from decoding instead of going over the lines again: they must be
// what counting the decoded lines gives.
void TestQcmText::tagsCountedWhileDecoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, openings);
    QFETCH(int, closings);
    const QcmText::Decoded decoded = QcmText::decodeQuestionnaire(bytes);
    QCOMPARE(decoded.tags.openings, openings);
    QCOMPARE(decoded.tags.closings, closings);
    QCOMPARE(QcmFormat::countTags(decoded.lines).openings, openings);
    QCOMPARE(QcmFormat::countTags(decoded.lines).closings, closings);
    QCOMPARE(QcmFormat::countQuestions(decoded.lines), openings);
    QCOMPARE(QcmFormat::tagBalance(decoded.lines), openings - closings);
}

void TestQcmText::encodeRefuses_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<uint>("character");
    QTest::newRow("Greek") << QStringList{"ok", QStringLiteral("α")} << 1 << 0 << uint(0x3B1);
    QTest::newRow("emoji outside the BMP") << QStringList{QStringLiteral("ab😀")} << 0 << 2 << uint(0x1F600);
    QTest::newRow("NUL would end reading") << QStringList{QString(QChar(0))} << 0 << 0 << uint(0);
    QTest::newRow("line feed would split the line") << QStringList{QStringLiteral("a\nb")} << 0 << 1 << uint('\n');
    QTest::newRow("C1 control without a byte") << QStringList{QString(QChar(0x80))} << 0 << 0 << uint(0x80);
}

void TestQcmText::encodeRefuses()
{
    QFETCH(QStringList, lines);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(uint, character);
    try {
        QcmText::encodeLines(lines);
        QFAIL("the text was encoded");
    } catch (const QcmText::Unencodable &where) {
        QCOMPARE(where.line, line);
        QCOMPARE(where.column, column);
        QCOMPARE(uint(where.character), character);
    }
    QCOMPARE(QcmText::firstUnencodable(lines.at(line)), column);
}

QTEST_GUILESS_MAIN(TestQcmText)
#include "tst_qcmtext.moc"
