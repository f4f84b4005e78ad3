#pragma once

#include "document/qcmformat.h"

#include <QString>
#include <QStringList>

#include <array>

// The field values of one question as the sheet shows them.
struct QuestionFields
{
    QString title;
    std::array<QString, QcmFormat::AnswerCount> answers;
    int rightAnswer = 1; // 1 to 5
    QStringList freeText;

    bool operator==(const QuestionFields &other) const
    {
        return title == other.title && answers == other.answers && rightAnswer == other.rightAnswer
            && freeText == other.freeText;
    }
    bool operator!=(const QuestionFields &other) const { return !(*this == other); }
};
