#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <QList>
#include <QString>
#include <QStringList>

// One multiple-choice question on its way between a questionnaire and a quiz-bank file, in the
// terms both sides share. It holds what the file holds, before the questionnaire's limits (five
// answers, 255-character fields, twelve free-text lines) are applied.
struct ExchangeQuestion
{
    QString name;           // the question's name in the quiz bank; may be empty
    // The question text, plain: the questionnaire's title, then the lines the pupil reads with
    // it (the free text before its correction).
    QString text;
    QStringList answers;    // in order
    int rightAnswer = -1;   // index into answers
    // Every right answer, as indexes into answers in order (rightAnswer the first), when the
    // question has several and a pupil is to tick them all; empty for a one-answer question.
    QList<int> rightAnswers;
    // What a pupil who chose each answer reads once the question is answered, by answer: empty,
    // or as many entries as answers (an empty one for none).
    QStringList answerFeedback;
    // What Moodle shows once the question is answered, one entry per line: the general
    // feedback, then each answer's ("2) ..."); the questionnaire's correction.
    QStringList feedback;
    QString picture;        // a picture path or file name; may be empty
    QByteArray pictureData; // the picture's bytes when the file carries them
    // The answers come in another order at each attempt (Moodle XML only carries it).
    bool shuffleAnswers = false;

    bool operator==(const ExchangeQuestion &other) const
    {
        return name == other.name && text == other.text && answers == other.answers
            && rightAnswer == other.rightAnswer && rightAnswers == other.rightAnswers
            && answerFeedback == other.answerFeedback && feedback == other.feedback && picture == other.picture
            && pictureData == other.pictureData && shuffleAnswers == other.shuffleAnswers;
    }
};

// A question of the file that was not taken, and why. `number` counts every question of the file
// from 1, taken or not, so the teacher finds it.
struct SkippedQuestion
{
    int number = 0;
    QString label; // the start of its text or its name, to recognise it
    QString reason;
};

// Where a reader hands what it finds, in the file's order, as soon as it finds it: an import
// makes each question into the questionnaire at once, and never holds all of the file's.
class QuestionSink
{
public:
    virtual ~QuestionSink() = default;

    // `number` counts every question of the file from 1, taken or not.
    virtual void take(int number, ExchangeQuestion &&question) = 0;
    virtual void skip(SkippedQuestion &&skipped) = 0;
    // A remark on the question being read, taken with a change the teacher should know of.
    virtual void note(const QString &note) = 0;
    // A remark on the whole file (how its text was decoded).
    virtual void fileNote(const QString &note) { this->note(note); }
    // The questions that follow belong to this category of the quiz bank, as the file writes
    // its path ("$course$/top/Géographie"); those before the first one to none ("").
    virtual void category(const QString &path) { Q_UNUSED(path); }
};

// What a reader found: the questions it took, those it left with their reasons, the notes, and
// the categories in the order met.
struct ReadResult
{
    QList<ExchangeQuestion> questions;
    QList<SkippedQuestion> skipped;
    QStringList notes;
    QStringList categories;
};

// Keeps all a reader found.
class ReadCollector : public QuestionSink
{
public:
    void take(int, ExchangeQuestion &&question) override { result.questions.append(std::move(question)); }
    void skip(SkippedQuestion &&skipped) override { result.skipped.append(std::move(skipped)); }
    void note(const QString &note) override { result.notes.append(note); }
    void category(const QString &path) override { result.categories.append(path); }

    ReadResult result;
};
