#include "document/exchange/exchangetext.h"

#include <QtTest>

using ExchangeText::Encoding;

Q_DECLARE_METATYPE(ExchangeText::Encoding)

class TestExchangeText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decode_data();
    void decode();
    void htmlToText_data();
    void htmlToText();
    void textSurvivesHtml_data();
    void textSurvivesHtml();
};

void TestExchangeText::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Encoding>("encoding");
    QTest::newRow("UTF-8") << QByteArray("R\xC3\xA9ponse\r\n") << QStringLiteral("Réponse\n") << Encoding::Utf8;
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF\xC3\xA9t\xC3\xA9") << QStringLiteral("été")
                                    << Encoding::Utf8WithBom;
    QTest::newRow("Windows-1252 accents") << QByteArray("R\xE9ponse \x80") << QStringLiteral("Réponse €")
                                          << Encoding::Windows1252;
    QTest::newRow("Windows-1252 lone CR line ends") << QByteArray("\xE0\r\xE9") << QStringLiteral("à\né")
                                                    << Encoding::Windows1252;
    QTest::newRow("UTF-16 with BOM") << QByteArray("\xFF\xFE\xE9\x00\r\x00\n\x00", 8) << QStringLiteral("é\n")
                                     << Encoding::Utf16;
    QTest::newRow("truncated UTF-8 sequence is Windows-1252") << QByteArray("a\xC3") << QStringLiteral("aÃ")
                                                              << Encoding::Windows1252;
}

void TestExchangeText::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(Encoding, encoding);
    const ExchangeText::DecodedText decoded = ExchangeText::decode(bytes);
    QCOMPARE(decoded.text, text);
    QCOMPARE(decoded.encoding, encoding);
}

void TestExchangeText::htmlToText_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("pictures");
    QTest::newRow("paragraphs") << "<p>Un</p><p>Deux</p>" << "Un\nDeux" << QStringList();
    QTest::newRow("white space folds") << "  a \n\t b  " << "a b" << QStringList();
    QTest::newRow("line breaks kept") << "a<br>b<br/><br />c" << "a\nb\n\nc" << QStringList();
    QTest::newRow("entities") << "caf&eacute; &amp; th&#233; &#x20AC; &laquo;&nbsp;x&nbsp;&raquo;"
                              << QStringLiteral("café & thé € «\u00A0x\u00A0»") << QStringList();
    QTest::newRow("unknown entity stays") << "a &bogus; b &#xD800; c" << "a &bogus; b &#xD800; c" << QStringList();
    QTest::newRow("inline tags dropped") << "<b>Quelle</b> <i>ville</i>&#32;?" << "Quelle ville ?" << QStringList();
    QTest::newRow("script and comments dropped") << "a<script>alert(1)</script><!-- x -->b<style>p{}</style>"
                                                 << "ab" << QStringList();
    QTest::newRow("pictures collected") << "<p>Voir</p><p><img alt='' src=\"@@PLUGINFILE@@/a%20b.png\"></p>"
                                        << "Voir" << QStringList{"@@PLUGINFILE@@/a%20b.png"};
    QTest::newRow("lone angle bracket") << "2 < 3" << "2 < 3" << QStringList();
    QTest::newRow("unclosed comment") << "a<!-- b" << "a" << QStringList();
    QTest::newRow("lone angle brackets after the last tag") << "<b>x</b> 1 < 2 < 3" << "x 1 < 2 < 3" << QStringList();
    QTest::newRow("ampersands without entity") << "a && b &amp; c &" << "a && b & c &" << QStringList();
}

void TestExchangeText::htmlToText()
{
    QFETCH(QString, html);
    QFETCH(QString, text);
    QFETCH(QStringList, pictures);
    QStringList found;
    QCOMPARE(ExchangeText::htmlToText(html, &found), text);
    QCOMPARE(found, pictures);
}

void TestExchangeText::textSurvivesHtml_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("markup characters") << "a < b & c > d <p>";
    QTest::newRow("doubled, leading and trailing spaces") << " a  b\tc ";
    QTest::newRow("empty lines inside") << "un\n\ndeux";
    QTest::newRow("entity-looking text") << "&eacute; &#233;";
    QTest::newRow("non-breaking spaces") << QStringLiteral("Paris\u00A0?");
}

void TestExchangeText::textSurvivesHtml()
{
    QFETCH(QString, text);
    QCOMPARE(ExchangeText::htmlToText(ExchangeText::textToHtml(text)), text);
}

QTEST_GUILESS_MAIN(TestExchangeText)
#include "tst_exchangetext.moc"
