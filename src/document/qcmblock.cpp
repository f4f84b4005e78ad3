#include "document/qcmblock.h"

#include <algorithm>

namespace QcmBlock {

using namespace QcmFormat;

std::optional<Content> read(const QStringList &lines, int question)
{
    const int open = findBlock(lines, question);
    if (open < 0)
        return std::nullopt;
    const int end = blockEnd(lines, open, question);

    Content content;
    QuestionFields &fields = content.fields;
    fields.title = fieldAt(lines, open + TitleLine, end, TitleKeyword.size());
    content.picture = fieldAt(lines, open + PictureLine, end, PictureKeyword.size());
    for (int a = 0; a < AnswerCount; ++a)
        fields.answers[a] = fieldAt(lines, open + FirstAnswerLine + a, end, answerKeyword(a + 1).size());

    const QString rightAnswer = fieldAt(lines, open + RightAnswerLine, end, RightAnswerKeyword.size());
    if (!rightAnswer.isEmpty()) {
        bool ok = false;
        const int value = rightAnswer.trimmed().toInt(&ok);
        if (ok)
            fields.rightAnswer = std::clamp(value, 1, AnswerCount);
        content.rightAnswerReadable = ok;
    }

    fields.freeText = freeTextAt(lines, open, end, question);
    return content;
}

bool remove(QStringList &lines, int question)
{
    const int open = findBlock(lines, question);
    if (open < 0)
        return false;
    lines.remove(open, blockEnd(lines, open, question) - open);
    return true;
}

void append(QStringList &lines, int question, const QString &picture, const QuestionFields &fields)
{
    lines.append(openingTag(question));
    lines.append(TitleKeyword + fields.title);
    lines.append(PictureKeyword + picture);
    for (int a = 0; a < AnswerCount; ++a)
        lines.append(answerKeyword(a + 1) + fields.answers[a]);
    lines.append(RightAnswerKeyword + QString::number(fields.rightAnswer));
    lines.append(fields.freeText);
    lines.append(closingTag(question));
}

} // namespace QcmBlock
