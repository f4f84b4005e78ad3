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

// Every row of the text, the mark skipped when there is one; CR LF, LF and CR all end a row and
// an empty line is no row. No value when the text is no such table: not UTF-8, a NUL byte, or a
// quote left open at the end.
std::optional<std::vector<QStringList>> parse(const QByteArray &bytes);

} // namespace CsvText
