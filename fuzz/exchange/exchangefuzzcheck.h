#pragma once

// What every quiz-bank reader's fuzz target checks once the reader has run: the questions it
// took fit a questionnaire or are refused with a reason, and the questionnaire lines they make
// are sound.
#include "document/exchange/questionmapping.h"
#include "document/qcmformat.h"

#include <cstdlib>

inline void checkTakenQuestions(const ReadResult &result)
{
    QList<QuestionMapping::Block> blocks;
    QStringList notes;
    for (const ExchangeQuestion &question : result.questions) {
        if (question.rightAnswer < 0 || question.rightAnswer >= question.answers.size())
            abort();
        QString reason;
        const std::optional<QuestionMapping::Block> block = QuestionMapping::toBlock(question, 1, reason, notes);
        if (block.has_value() == !reason.isEmpty())
            abort();
        if (block) {
            if (block->fields.title.size() > QcmFormat::MaxFieldLength
                || block->fields.freeText.size() > QcmFormat::MaxFreeTextLines)
                abort();
            blocks.append(*block);
        }
    }
    const QStringList lines = QuestionMapping::documentOf(blocks);
    if (QcmFormat::countQuestions(lines) != blocks.size() || QcmFormat::tagBalance(lines) != 0)
        abort();
    const auto readBack = QuestionMapping::blocks(lines);
    if (readBack.size() != blocks.size())
        abort();
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        if (readBack.at(i).second.fields != blocks.at(i).fields)
            abort();
    }
}
