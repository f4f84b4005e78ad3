#pragma once

#include "document/exchange/exchangequestion.h"
#include "platform/progress.h"

#include <QByteArray>
#include <QStringList>

#include <optional>

// Moodle XML, the quiz bank's complete format. Questions are written as single-answer
// "multichoice" questions in HTML, the picture embedded as a base64 file that the question text
// shows, so that it travels with the question.
namespace MoodleXmlFormat {

// Throws AppError when the bytes are not a well-formed Moodle XML file.
ReadResult read(const QByteArray &bytes);
// Each question to `sink` as soon as it is read: a file found broken further on has already
// handed its first questions. `progress` hears of every question, in characters read; its stop
// ends the reading with ProgressStopped.
void read(const QByteArray &bytes, QuestionSink &sink, ProgressTask *progress = nullptr);
// All of them in the category named `category` when there is one.
QByteArray write(const QList<ExchangeQuestion> &questions, const QString &category = QString());

// A questionnaire's draw as Moodle's quiz makes it: the questions in a category (a group's in a
// subcategory of its own) and "random" questions drawing from it, one for each question drawn.
struct RandomDraw
{
    enum class Kind { AmongAll, OnePerGroup };
    Kind kind = Kind::AmongAll;
    int count = 0;      // the questions drawn among all
    QStringList groups; // one per question written, its group; empty for none
};
QByteArray write(const QList<ExchangeQuestion> &questions, const QString &category,
                 const std::optional<RandomDraw> &draw);

// Why the question cannot be written in XML (a control character, which XML 1.0 cannot carry
// even as a reference), or empty.
QString unwritable(const ExchangeQuestion &question);

} // namespace MoodleXmlFormat
