#pragma once

#include "document/qcmformat.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// .qcm files are Windows-1252 text. Decoding is lossless for every byte (the five bytes the code
// page leaves undefined map to the C1 controls of the same value, and back).
namespace QcmText {

// Splits on CR LF, lone CR and lone LF. A final line end adds no line. NUL bytes are dropped
// (a NUL cannot be saved again, and ending the text there would lose everything after it);
// `droppedNuls` receives how many there were.
QStringList decodeLines(const QByteArray &bytes, int *droppedNuls = nullptr);

// A questionnaire's text as loading needs it: the lines as decodeLines gives them, with what
// loading would otherwise learn from a second pass over them, counted while each line is fresh.
struct Decoded
{
    QStringList lines;
    int droppedNuls = 0;
    QcmFormat::TagCounts tags;
};
Decoded decodeQuestionnaire(const QByteArray &bytes);

// A character that cannot go into a .qcm file: outside Windows-1252, or a NUL, CR or LF that
// would cut the line when the file is read again.
struct Unencodable
{
    int line;      // 0-based
    int column;    // 0-based
    char32_t character;
};

// Every line followed by CR LF. Throws Unencodable and writes nothing partial.
QByteArray encodeLines(const QStringList &lines);

// The first character of `text` that encodeLines would refuse, or -1.
int firstUnencodable(const QString &text);

} // namespace QcmText
