#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>
#include <vector>

// Text tables as French spreadsheets read and write them: semicolons between fields, a field
// quoted when it holds a semicolon, a quote or a line break (quotes doubled inside), UTF-8 with
// a byte-order mark so that a double-click opens the accents right, CR LF between rows.
namespace CsvText {

inline constexpr char Separator = ';';
// UTF-8's byte-order mark: without it some spreadsheets read the file as Windows-1252.
inline constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";

// One row, its fields joined and ended by CR LF.
QByteArray row(const QStringList &fields);

// A text a spreadsheet would take for a formula ("=...", "+...", "-...", "@...") kept as text
// with a leading apostrophe, the spreadsheets' own mark for text: a pupil's name must never run
// as a formula in the teacher's spreadsheet. textCell() puts the apostrophe, cellText() takes
// it away again.
QString textCell(const QString &text);
QString cellText(const QString &cell);

// Every row of the text, the mark skipped when there is one; CR LF, LF and CR all end a row and
// an empty line is no row. A spreadsheet saving the table again may drop the mark, write it in
// the local code page (Windows-1252), or leave out quotes no field needs: all of it reads, the
// text being decoded as the quiz-bank files are. No value when the text is no such table: a NUL
// byte, or a quote left open at the end.
std::optional<std::vector<QStringList>> parse(const QByteArray &bytes);

// Follows the quoting of a table fed in pieces, without splitting it into fields, to tell
// whether its end falls inside a quoted field, as parse() would see it. Fast enough to run over
// a big file in the time it takes to read it.
class QuoteTracker
{
public:
    void feed(QByteArrayView bytes);
    bool insideQuotes() const { return m_state == State::Quoted; }

private:
    // QuoteSeen: a quote inside a quoted field was the last byte fed; the next byte says
    // whether it closed the field or was the first of a doubled quote.
    enum class State { Unquoted, Quoted, QuoteSeen };
    State m_state = State::Unquoted;
    char m_last = '\n'; // the text begins as a row does
};

} // namespace CsvText
