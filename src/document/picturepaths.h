#pragma once

#include <QString>
#include <QStringList>

// The conversion of the file paths named on picture lines ("PICTURE " + path) and sound lines
// ("SOUND " + path) anywhere in a questionnaire, free text included. Nothing looks at the disk.
namespace PicturePaths {

// The directory the author chose, made ready to stand in front of file names: blanks and control
// characters around it removed, and a "/" appended unless it already ends with one.
// Empty when the directory is empty.
QString directoryPrefix(const QString &directory);

// `line` with its path cut down to the bare file name; unchanged when it names no path.
QString relativeLine(const QString &line);
// `line` with its file name put under `prefix`; a path without file name leaves the keyword alone.
QString absoluteLine(const QString &line, const QString &prefix);

// Every picture and sound line of the document converted. Returns true when a line changed.
bool makeRelative(QStringList &lines);
bool makeAbsolute(QStringList &lines, const QString &prefix);

} // namespace PicturePaths
