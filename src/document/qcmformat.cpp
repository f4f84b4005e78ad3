#include "document/qcmformat.h"

#include <algorithm>

namespace QcmFormat {

namespace {

const QString OpeningPrefix = QStringLiteral("<BLOC");
const QString ClosingPrefix = QStringLiteral("</BLOC");
const QString QcmExtension = QStringLiteral(".qcm");
constexpr int TagDigits = 4;

int fourDigitsAt(const QString &line, int position)
{
    if (line.size() < position + TagDigits)
        return -1;
    int value = 0;
    for (int i = position; i < position + TagDigits; ++i) {
        const char16_t c = line.at(i).unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

} // namespace

QString answerKeyword(int answer)
{
    return QStringLiteral("REP%1 ").arg(answer);
}

QString blockNumber(int question)
{
    const QString digits = QString::number(question);
    return (QStringLiteral("000") + digits).mid(int(digits.size()) - 1, TagDigits);
}

QString openingTag(int question)
{
    return OpeningPrefix + blockNumber(question) + QLatin1Char('>');
}

QString closingTag(int question)
{
    return ClosingPrefix + blockNumber(question) + QLatin1Char('>');
}

QString renumberedTag(const QString &tagLine, int question)
{
    const QString number = blockNumber(question);
    return tagLine.chopped(number.size() + 1) + number + QLatin1Char('>');
}

bool startsOpeningTag(QStringView line)
{
    return line.startsWith(OpeningPrefix);
}

bool startsClosingTag(QStringView line)
{
    return line.startsWith(ClosingPrefix);
}

int openingTagNumber(const QString &line)
{
    if (line.size() != OpeningPrefix.size() + TagDigits + 1 || !line.endsWith(QLatin1Char('>'))
        || !line.startsWith(OpeningPrefix, Qt::CaseInsensitive))
        return -1;
    return fourDigitsAt(line, int(OpeningPrefix.size()));
}

int closingTagNumber(const QString &line)
{
    if (line.size() != ClosingPrefix.size() + TagDigits + 1 || !line.endsWith(QLatin1Char('>'))
        || !line.startsWith(ClosingPrefix, Qt::CaseInsensitive))
        return -1;
    return fourDigitsAt(line, int(ClosingPrefix.size()));
}

int tagDigits(const QString &line)
{
    if (startsOpeningTag(line))
        return fourDigitsAt(line, int(OpeningPrefix.size()));
    if (startsClosingTag(line))
        return fourDigitsAt(line, int(ClosingPrefix.size()));
    return -1;
}

int countQuestions(const QStringList &lines)
{
    int count = 0;
    for (const QString &line : lines)
        count += startsOpeningTag(line) ? 1 : 0;
    return count;
}

TagCounts countTags(const QStringList &lines)
{
    TagCounts counts;
    for (const QString &line : lines)
        counts.count(line);
    return counts;
}

int tagBalance(const QStringList &lines)
{
    return countTags(lines).balance();
}

int findBlock(const QStringList &lines, int question)
{
    const QString tag = openingTag(question);
    const qsizetype count = lines.size();
    for (qsizetype i = 0; i < count; ++i) {
        // The size test first: it rejects nearly every line without touching its characters,
        // which keeps a step through a 10,000-question document well under a millisecond.
        const QString &line = lines.at(i);
        if (line.size() == tag.size() && line.compare(tag, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

QString fieldAt(const QStringList &lines, int index, int end, qsizetype keywordSize)
{
    if (index >= end)
        return {};
    return lines.at(index).mid(keywordSize, MaxFieldLength);
}

QStringList freeTextAt(const QStringList &lines, int open, int end, int question)
{
    const QString closing = closingTag(question);
    const int last = std::min(end, open + FirstFreeTextLine + MaxFreeTextLines);
    QStringList text;
    for (int i = open + FirstFreeTextLine; i < last; ++i) {
        if (lines.at(i) == closing)
            break;
        text.append(lines.at(i));
    }
    return text;
}

int blockEnd(const QStringList &lines, int open, int question)
{
    const QString tag = closingTag(question);
    const int count = int(lines.size());
    for (int i = open + 1; i < count; ++i) {
        const QString &line = lines.at(i);
        if (line == tag)
            return i + 1;
        // Only a real tag line stands for a lost closing tag: free text such as "<BLOCAGE" or
        // "</BLOCKQUOTE>" belongs to the block. The block's own closing tag in another letter
        // case is not the exact tag, but no other block's either.
        if (openingTagNumber(line) >= 0
            || (closingTagNumber(line) >= 0 && line.compare(tag, Qt::CaseInsensitive) != 0))
            return i;
    }
    return count;
}

QString fileNameOf(const QString &path)
{
    qsizetype cut = -1;
    for (const QChar separator : {QLatin1Char('\\'), QLatin1Char('/'), QLatin1Char(':')})
        cut = std::max(cut, path.lastIndexOf(separator));
    return path.mid(cut + 1);
}

QString qcmFileName(const QString &path)
{
    const QString name = fileNameOf(path);
    const QString folder = path.left(path.size() - name.size());
    // A name that already ends in ".qcm", in any letter case (QUIZ.QCM copied from a USB key),
    // names its own file: the cut below would turn it into another one.
    if (name.endsWith(QcmExtension, Qt::CaseInsensitive))
        return path;
    // Cut before the last dot: quiz.v2.qcm and quiz.old.qcm are files of their own, not quiz.qcm.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return folder + (dot < 0 ? name : name.left(dot)) + QcmExtension;
}

} // namespace QcmFormat
