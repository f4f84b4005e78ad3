#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <optional>

struct ExchangeQuestion;

// Moodle's fractions for a question where a pupil ticks every right answer, and this program's
// partial credit: each of the r right answers earns 1/r of the point, each of the w wrong ones
// takes 1/w away. Both sides say the same when Moodle's fractions are +100/r % and -100/w %.
namespace AnswerWeights {

// The fraction, in percent, of each of `answerCount` answers, `right` naming the right ones.
QList<double> fractions(int answerCount, const QList<int> &right);
// As Moodle writes a fraction: "50", "33.33333", "-100".
QString fractionText(double percent);

struct Reading
{
    QList<int> right; // the answers with a positive fraction
    // Empty when the fractions are the program's own; otherwise what the teacher should know.
    QString note;
};

// The right answers of a question of Moodle where several answers may be ticked; nothing, with
// `reason` set, when fewer than two answers have a positive fraction.
std::optional<Reading> read(const QList<double> &fractions, QString &reason);

// The same, given to the question being read: its right answers set, `note` set to what the
// teacher should know. False, with `reason` set, when the fractions name too few right answers.
bool giveRightAnswers(const QList<double> &fractions, ExchangeQuestion &question, QString &note, QString &reason);

} // namespace AnswerWeights
