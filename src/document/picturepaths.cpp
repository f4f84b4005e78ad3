#include "document/picturepaths.h"

#include "document/qcmformat.h"

#include <optional>

namespace PicturePaths {

namespace {

const QString PictureKeyword = QStringLiteral("PICTURE");
const QString SoundKeyword = QStringLiteral("SOUND");

struct PathLine
{
    QString keyword; // "PICTURE " or "SOUND "
    QString path;
};

// A picture or sound line: the keyword in capitals at the start, then a blank or the end of the
// line. A free-text line such as "PICTURES du musée" is text, not a path: taking its eighth
// character for the keyword's blank would eat the "S".
std::optional<PathLine> pathLine(const QString &line)
{
    for (const QString &keyword : {PictureKeyword, SoundKeyword}) {
        if (!line.startsWith(keyword))
            continue;
        const qsizetype size = keyword.size();
        if (line.size() == size)
            return PathLine{keyword + QLatin1Char(' '), QString()};
        if (line.at(size) == QLatin1Char(' '))
            return PathLine{keyword + QLatin1Char(' '), line.mid(size + 1)};
        return std::nullopt;
    }
    return std::nullopt;
}

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= u' ';
}

template<typename Convert>
bool convertAll(QStringList &lines, Convert convert)
{
    bool changed = false;
    for (QString &line : lines) {
        if (!pathLine(line))
            continue;
        QString after = convert(line);
        if (after != line) {
            line = std::move(after);
            changed = true;
        }
    }
    return changed;
}

} // namespace

QString directoryPrefix(const QString &directory)
{
    qsizetype begin = 0;
    qsizetype end = directory.size();
    while (begin < end && isBlankOrControl(directory.at(begin)))
        ++begin;
    while (end > begin && isBlankOrControl(directory.at(end - 1)))
        --end;
    QString prefix = directory.mid(begin, end - begin);
    // The directory comes from this system's folders, where "\" is a character a folder's name
    // may end with, not a separator.
    if (!prefix.isEmpty() && !prefix.endsWith(QLatin1Char('/')))
        prefix += QLatin1Char('/');
    return prefix;
}

QString relativeLine(const QString &line)
{
    const std::optional<PathLine> parsed = pathLine(line);
    if (!parsed)
        return line;
    return parsed->keyword + QcmFormat::fileNameOf(parsed->path);
}

QString absoluteLine(const QString &line, const QString &prefix)
{
    const std::optional<PathLine> parsed = pathLine(line);
    if (!parsed)
        return line;
    const QString name = QcmFormat::fileNameOf(parsed->path);
    return name.isEmpty() ? parsed->keyword : parsed->keyword + prefix + name;
}

bool makeRelative(QStringList &lines)
{
    return convertAll(lines, [](const QString &line) { return relativeLine(line); });
}

bool makeAbsolute(QStringList &lines, const QString &prefix)
{
    return convertAll(lines, [&prefix](const QString &line) { return absoluteLine(line, prefix); });
}

} // namespace PicturePaths
