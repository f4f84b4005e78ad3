#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// Text helpers shared by the quiz-bank readers and writers.
namespace ExchangeText {

enum class Encoding { Utf8, Utf8WithBom, Utf16, Windows1252 };

struct DecodedText
{
    QString text; // line ends turned into "\n"
    Encoding encoding;
};

// Quiz-bank text files come from Moodle (UTF-8) or from a Windows editor (Windows-1252, or
// UTF-16 with its byte-order mark). Bytes that are valid UTF-8 are read as UTF-8; any other
// bytes as Windows-1252, which can decode every byte.
DecodedText decode(const QByteArray &bytes);

// Where the first byte that is not UTF-8 stands (a stray byte, a cut or overlong sequence, a
// surrogate), or -1 when all of them are.
qsizetype firstNonUtf8(QByteArrayView bytes);

// HTML reduced to what a reader sees: tags dropped, paragraphs and line breaks as "\n", runs of
// white space as one space, entities decoded (after the white space, so that "&#32;" keeps a
// space that plain white space would lose). A "<" that opens no tag (before a space, a digit,
// "=") is text, as a browser shows it. `pictures` receives the src of every <img>.
QString htmlToText(const QString &html, QStringList *pictures = nullptr);

// Moodle's "auto-format" text: HTML whose line breaks are kept, as Moodle shows it.
QString autoFormatToText(const QString &text, QStringList *pictures = nullptr);

// Text as HTML that htmlToText gives back unchanged: "&", "<" and ">" escaped, line breaks as
// <br>, and every space that HTML would fold (doubled, leading, trailing) as a character
// reference.
QString textToHtml(const QString &text);

// The start of a question's text, to name it in a summary.
QString label(const QString &text);

} // namespace ExchangeText
