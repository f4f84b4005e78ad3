#pragma once

#include "document/questionfields.h"

#include <QString>
#include <QStringList>

#include <optional>

// Reading, writing and removing one question's block of lines.
namespace QcmBlock {

struct Content
{
    QuestionFields fields;
    QString picture;
    // False when the right-answer line holds something that is not a number: the question is
    // then shown without its picture.
    bool rightAnswerReadable = true;
};

// The block of `question`, or nothing when the document has none. Fixed fields are cut to 255
// characters, free text to 12 lines; lines past the block's end read as empty.
std::optional<Content> read(const QStringList &lines, int question);

// Deletes the block of `question` (its first occurrence) up to its closing tag, or up to the next
// block when the closing tag is missing. Returns false when there was no block.
bool remove(QStringList &lines, int question);

// Appends the block of `question` at the end of the document.
void append(QStringList &lines, int question, const QString &picture, const QuestionFields &fields);

} // namespace QcmBlock
