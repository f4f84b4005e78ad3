#pragma once

#include "document/exchange/exchangequestion.h"
#include "platform/progress.h"

#include <QString>

// GIFT, the text format of Moodle's quiz bank. Questions are separated by blank lines; only
// multiple-choice questions with exactly one right answer are taken, every other kind is
// skipped with its reason.
namespace GiftFormat {

ReadResult read(const QString &text);
// Each question to `sink` as soon as it is read. `progress` hears of every question, in
// characters of `text` read; its stop ends the reading with ProgressStopped.
void read(const QString &text, QuestionSink &sink, ProgressTask *progress = nullptr);

// Every question as GIFT in plain-text format, its picture's file name in a comment line just
// above it (Moodle ignores comments; read() takes it back); all of them in the category named
// `category` when there is one.
QString write(const QList<ExchangeQuestion> &questions, const QString &category = QString());

// The text with GIFT's special characters escaped and line breaks as "\n".
QString escaped(const QString &text);

} // namespace GiftFormat
