#pragma once

#include "document/exchange/exchangequestion.h"
#include "document/qcmblock.h"

#include <QStringList>

#include <optional>

// Between a questionnaire's blocks and exchange questions. Nothing is cut: what a block cannot
// hold moves to the free text or is reported, and a question that cannot travel is skipped with
// its reason.
namespace QuestionMapping {

// A block as read, with its right-answer line as written: the sheet shows a missing or
// out-of-range number as answer 1 or 5, which must not leave the program as the right answer.
struct SourceBlock : QcmBlock::Content
{
    QString rightAnswerField;
};

// The blocks of a questionnaire in question order, found in one pass over its lines (a block
// search per question would make a large questionnaire slow). A question without a block is
// left out.
QList<std::pair<int, SourceBlock>> blocks(const QStringList &lines);

// A block as an exchange question: empty answers dropped (the right answer's index follows),
// the title and the free text's statement (what precedes the correction marker) as question
// text, the correction as feedback, the picture path as written. Nothing, with `reason` set,
// when the question cannot leave (no title, right answer missing, unreadable, out of range or
// empty, fewer than two answers).
std::optional<ExchangeQuestion> fromBlock(const SourceBlock &block, QString &reason);

struct Block
{
    QuestionFields fields;
    QString picture;
};

// An exchange question within a questionnaire's limits, or nothing with `reason` set (no text,
// no right answer, fewer than two answers, an answer or the right one beyond what a block
// holds). The text goes into the title up to 255 characters (cut at a space when it can), the
// rest of it into the free text; the feedback follows as the correction, after its marker; each
// part is folded so that the free text keeps twelve lines. More than five answers keep the
// first five when the right one is among them. `notes` receives what changed, prefixed with the
// question's number.
std::optional<Block> toBlock(const ExchangeQuestion &question, int number, QString &reason, QStringList &notes);

// The first character of the block that a questionnaire cannot hold, or an empty string.
QString unencodableCharacter(const Block &block);

// The questionnaire's lines for these blocks, numbered from `firstQuestion`, a line holding one
// space between blocks as the program writes them (and before the first, when others precede).
QStringList documentOf(const QList<Block> &blocks, int firstQuestion = 0);

} // namespace QuestionMapping
