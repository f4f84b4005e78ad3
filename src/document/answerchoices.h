#pragma once

#include "document/qcmformat.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// A question may have several right answers and a word of feedback on each answer. Both are
// kept as lines of its correction, after its "REPONSE " line, which still names one right
// answer (the first): every reader of the block layout, an older copy of the program included,
// reads a sound one-answer question, and a class shows these lines, plain French, only with the
// correction.
//
//   REPONSE 2
//   Combien font 2 + 2 ?
//   Correction :
//   Bonnes réponses : 2, 4
//   Commentaire de la réponse 3 : tu as ajouté 2 une fois de trop.
//
// They count among the twelve free-text lines the sheet reads back.
namespace AnswerChoices {

struct Choices
{
    // Every right answer when the question has several; all false for a one-answer question,
    // whose right answer is its "REPONSE " line alone.
    std::array<bool, QcmFormat::AnswerCount> right{};
    // What a pupil who ticked answer i + 1 reads after answering; empty for none.
    std::array<QString, QcmFormat::AnswerCount> feedback;

    bool several() const;
    bool isEmpty() const;
    // The right answers (1 to 5), in order; empty for a one-answer question.
    QList<int> rightAnswers() const;
    // The first right answer, what the "REPONSE " line holds; `single` for a one-answer question.
    int firstRight(int single) const;

    bool operator==(const Choices &other) const { return right == other.right && feedback == other.feedback; }
    bool operator!=(const Choices &other) const { return !(*this == other); }
};

struct Split
{
    QStringList freeText; // the author's own lines: statement, correction marker, correction
    Choices choices;
};

// Takes the choice lines out of a block's free text. Only lines of the correction count (the
// statement is the author's, whatever it says); a "Bonnes réponses" line counts only when it
// names at least two answers, `rightAnswer` among them (the "REPONSE " line changed by a copy
// that does not know of it wins, and the line stays as text). A correction marker left with
// nothing but choice lines after it is taken with them.
Split read(const QStringList &freeText, int rightAnswer);

// The free text to write: the author's lines with the choice lines just after the correction
// marker, so that they are the first of the correction to be kept, and a marker added at the
// end when there is none. Without choices, the author's lines as they are. When the author's
// lines before the marker would push the choice lines past the twelfth line, the marker and
// the choice lines come earlier, before the author's lines that are past the limit anyway.
QStringList write(const QStringList &freeText, const Choices &choices);

// How many free-text lines the question takes in the file, choice lines included; past
// QcmFormat::MaxFreeTextLines the sheet does not read them back.
int lineCount(const QStringList &freeText, const Choices &choices);

// "Bonnes réponses : 2, 4"
QString rightAnswersLine(const QList<int> &answers);
// "Commentaire de la réponse 3 : …"
QString feedbackLine(int answer, const QString &text);

} // namespace AnswerChoices
