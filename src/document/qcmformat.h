#pragma once

#include <QString>
#include <QStringList>

// The .qcm layout: numbered blocks of keyword lines, found by their tag lines.
namespace QcmFormat {

// A questionnaire holds at most this many questions: tags carry four digits.
inline constexpr int MaxQuestions = 10000;

// Fixed line offsets inside a block, counted from its opening tag.
enum BlockLine { TitleLine = 1, PictureLine = 2, FirstAnswerLine = 3, RightAnswerLine = 8, FirstFreeTextLine = 9 };
inline constexpr int AnswerCount = 5;
inline constexpr int MaxFreeTextLines = 12;
inline constexpr int MaxFieldLength = 255;

inline const QString TitleKeyword = QStringLiteral("TITLE ");
inline const QString PictureKeyword = QStringLiteral("PICTURE ");
inline const QString RightAnswerKeyword = QStringLiteral("REPONSE ");
QString answerKeyword(int answer); // "REP1 " to "REP5 "

// Four digits for 0 to 9999; from 10000 on only the last four digits are kept.
QString blockNumber(int question);
QString openingTag(int question);
QString closingTag(int question);
// A whole opening or closing tag line ("</Bloc0007>") given the number of `question`, its letter
// case kept.
QString renumberedTag(const QString &tagLine, int question);

// Tag tests on the first characters, letter case included (what counting and renumbering use).
bool startsOpeningTag(QStringView line);
bool startsClosingTag(QStringView line);
// The number of a well-formed tag line ("<BLOC0042>" or "</BLOC0042>", four ASCII digits
// after the prefix), or -1.
int openingTagNumber(const QString &line);
int closingTagNumber(const QString &line);
// For a line beginning exactly with "<BLOC" or "</BLOC": the four digits after that prefix, or -1
// when they are not four digits (free text that happens to begin like a tag).
int tagDigits(const QString &line);

// Number of lines whose first five characters are exactly "<BLOC".
int countQuestions(const QStringList &lines);
// Lines beginning exactly with "<BLOC" and with "</BLOC".
struct TagCounts
{
    int openings = 0;
    int closings = 0;
    // 0 for a sound document.
    int balance() const { return openings - closings; }
    // Counts `line` if it begins like a tag. Cheap enough to run on every line as it is decoded.
    void count(QStringView line)
    {
        // Nearly every line is rejected on its first character.
        if (line.isEmpty() || line.front() != u'<')
            return;
        if (startsOpeningTag(line))
            ++openings;
        else if (startsClosingTag(line))
            ++closings;
    }
};
TagCounts countTags(const QStringList &lines);
// Opening tags minus closing tags; 0 for a sound document.
int tagBalance(const QStringList &lines);

// First line equal to the opening tag of `question`, letter case ignored; -1 when absent.
int findBlock(const QStringList &lines, int question);
// One past the block opened at `open`: just after its exact closing tag or, when that tag is
// missing, at the next well-formed tag line ("<BLOC0042>" or "</BLOC0042>", any letter case; the
// block's own closing tag in another case excepted), or the end of the document. The one block
// boundary of every reader and writer.
int blockEnd(const QStringList &lines, int open, int question);
// The text of a fixed field of a block ending at `end`: the line at `index` without its keyword
// (`keywordSize` characters), at most 255 characters; empty when the block ended before it.
QString fieldAt(const QStringList &lines, int index, int end, qsizetype keywordSize);
// The free text of the block of `question` opened at `open` and ending at `end`: the lines after
// its fixed fields, at most 12, up to its closing tag.
QStringList freeTextAt(const QStringList &lines, int open, int end, int question);

// The questionnaire file a chosen name stands for: "quiz.txt" -> "quiz.qcm", "quiz" -> "quiz.qcm";
// a name ending in ".qcm" in any letter case stays as it is ("quiz.v2.qcm", "QUIZ.QCM"). Only the
// file name is cut, before its last dot ("\\", "/" and ":" end folder names).
QString qcmFileName(const QString &path);
// The part after the last "\\", "/" or ":".
QString fileNameOf(const QString &path);

} // namespace QcmFormat
