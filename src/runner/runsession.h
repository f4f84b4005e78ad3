#pragma once

#include "document/qcmformat.h"
#include "results/runresults.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

// One question as the runner shows it.
struct RunQuestion
{
    int number = 1;            // 1-based, as the person answering sees it
    bool found = false;        // false when the questionnaire has no block for it
    QString title;
    QString picture;           // as stored: a full path or a bare file name, possibly empty
    // "1) " to "5) " followed by the answer, each at its own place; empty when the answer is.
    std::array<QString, QcmFormat::AnswerCount> answerLines;
    QStringList freeText;      // at most 12 lines
    int answerCount = 0;       // answers with a text: the answer box's upper bound
    int answer = 0;            // the answer stored for it, 0 when none yet
};

// The state of one run of a questionnaire, without any window: a private copy of the
// questionnaire's lines, the question shown, the answer given to each question and the right
// answers read from the blocks. The runner window shows what it returns.
//
// The blocks are indexed once per run (Compte), so showing a question and scoring the whole run
// never search the document line by line: a 10,000-question run scores in linear time.
class RunSession
{
public:
    // A fresh copy of the questionnaire's lines; the answers and right answers of the previous
    // run are forgotten. Nothing is counted yet.
    void Init(const QStringList &document);
    // Counts the questions (lines beginning exactly with "<BLOC"), indexes the blocks and goes
    // to the first question.
    void Compte();
    // Back to the first question, which it returns.
    RunQuestion Exec();
    // The question RunCurrent, as shown; its title and right answer become known to the scoring.
    RunQuestion LitFiche();

    // A value above 0 in the answer box is the answer to the question shown; 0 means none was
    // given and never erases an earlier answer.
    void storeAnswer(int boxValue);

    // Each stores the answer in the box first, then moves; LitFiche shows the new question.
    void Premier(int boxValue);
    void Precedent(int boxValue);
    // Returns true when there was no next question: the run stays on the last one.
    bool Suivant(int boxValue);
    void Dernier(int boxValue);

    // Stores the answer in the box, then scores every question of the run from its block,
    // shown or not.
    RunResults score(int boxValue);

    // A value typed into the answer box: a number above 10 is cut to its first digits, so a
    // digit typed behind another leaves the first one (2 then 4 gives 2).
    static int foldTypedAnswer(int value);

    const QStringList &RunDocument() const { return m_document; }
    int RunQuestionCount() const { return m_questionCount; }
    int RunCurrent() const { return m_current; }
    int AnswerCount() const { return m_answerCount; }
    // Indexed by question, 0-based (question 1 at index 0); sized to the questionnaire by Compte.
    const std::vector<int> &Answers() const { return m_answers; }
    const std::vector<std::optional<int>> &Solutions() const { return m_solutions; }
    const std::vector<QString> &Titles() const { return m_titles; }

private:
    // The line of the question's opening tag, or -1.
    int blockLine(int question) const;
    void readTitleAndSolution(int question);
    void goTo(int question);

    QStringList m_document;
    // Line of the first opening tag of each block number (letter case ignored), -1 when absent.
    std::vector<int> m_blockLines;
    int m_questionCount = 0;
    int m_current = 0;
    int m_answerCount = 0;
    std::vector<int> m_answers;
    std::vector<std::optional<int>> m_solutions;
    std::vector<QString> m_titles;
};
