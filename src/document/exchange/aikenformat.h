#pragma once

#include "document/exchange/exchangequestion.h"
#include "platform/progress.h"

#include <QString>

// Aiken, Moodle's simplest quiz-bank format: the question on one line, its answers on lines
// "A. " or "A) ", then "ANSWER: X". It holds neither feedback nor pictures.
namespace AikenFormat {

ReadResult read(const QString &text);
// Each question to `sink` as soon as it is read. `progress` hears of every question, in
// characters of `text` read; its stop ends the reading with ProgressStopped.
void read(const QString &text, QuestionSink &sink, ProgressTask *progress = nullptr);
QString write(const QList<ExchangeQuestion> &questions);

// Why the question cannot be written in Aiken (more than 26 answers), or empty.
QString unwritable(const ExchangeQuestion &question);

} // namespace AikenFormat
