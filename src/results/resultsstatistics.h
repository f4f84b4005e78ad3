#pragma once

#include "classroom/classquestionnaire.h"
#include "classroom/classscore.h"
#include "results/itemanalysis.h"
#include "results/resultsfile.h"

#include <array>
#include <optional>
#include <vector>

// What a class did on a questionnaire, from its results file: per run the pupil, the score, the
// mark, how the run was taken and whether it was finished; for the class, the marks summed up;
// per question how many answered, how many answered right, how many ticked each answer, and how
// the question itself fared (facility and discrimination on the points earned, partial credit
// counted, and "à revoir"). A question a pupil's version did not hold (questions drawn per
// pupil) counts in none of its figures for that pupil: they are over the pupils who got it.
//
// The class figures count finished runs only: a run the session stopped half-way would count
// its unanswered questions wrong, and make good questions look bad. By default they count one
// copy per pupil, the one the marks export takes by default (the latest finished), so that a
// pupil who tried three times weighs as much as one who tried once; a run without a name is a
// pupil of its own. A run the teacher removed never counts.
struct ResultsStatistics
{
    enum class Counting { OneCopyPerPupil, EveryCopy };

    struct Question
    {
        QString caption;   // "1. Titre", as in the file's header
        int answered = 0;
        int right = 0;     // exactly the right answers ticked
        std::optional<int> solution;
        // How many runs ticked each answer number, 1 to 5 at [0] to [4]: a wrong answer many
        // pupils chose points at a misunderstanding, or at a badly worded answer. On a question
        // where several may be ticked, a run counts under each of its ticks.
        std::array<int, 5> chosen{};
        ItemAnalysis::Item analysis;
        int taken = 0;     // counted runs whose version held the question
        AnswerSet rightAnswers = 0; // every right answer; none given: the solution alone
        AnswerSet offered = 0x1F;   // the answers that have a text
        bool marked() const { return solution.has_value(); }
        bool isRight(int answer) const
        {
            return rightAnswers != 0 ? AnswerSets::contains(rightAnswers, answer) : solution == answer;
        }
    };
    struct Pupil
    {
        QString date, time, name;
        int right = 0;
        int count = 0;
        // The mark on `scale`: the one the file keeps, else (a file begun before marks were
        // kept) worked out from the answers; none when no question of the run counts.
        std::optional<double> mark;
        int scale = 20;
        bool markKept = false;
        // What the answers are worth under the questionnaire's right answers and settings of
        // today, on the statistics' scale: differs from a kept mark once a wrong key is mended.
        std::optional<double> currentMark;
        KeptRun::Way way = KeptRun::Way::Rehearsal;
        bool finished = true;
        bool removed = false;  // taken out of the class by the teacher: never counted
        // Counted in the class figures: finished, not removed, and under OneCopyPerPupil the
        // pupil's latest finished copy.
        bool counted = false;
        // The answer to each question in the questionnaire's numbering, 0 for none; the first
        // one ticked when there are several.
        std::vector<int> answers;
        // Every answer ticked on each question.
        std::vector<AnswerSet> ticked;
        // False for a question the run's version did not hold.
        std::vector<bool> drawn;
        // What each question earned under today's right answers and settings (ClassScore).
        std::vector<double> points;
        std::vector<ClassScore::Outcome> outcomes;
        bool held(size_t question) const { return question >= drawn.size() || drawn[question]; }
        std::optional<quint64> seed; // the version the run was drawn from; none for a rehearsal
        int copy = 0;                // a paper copy's number
    };

    std::vector<Question> questions;
    std::vector<Pupil> pupils;
    // The questionnaire's mark scale and rounding step today: what the class's marks are
    // summed up on.
    int scale = 20;
    int roundingHundredths = 50;
    Counting counting = Counting::OneCopyPerPupil;
    // The counted runs' marks, on `scale`.
    MarkSummary marks;

    // Share of the counted runs holding the question that answered it right (exactly the right
    // answers), blanks counted as not right, from 0 to 1 (0 without runs).
    double shareRight(size_t question) const;
    // Share of the counted runs holding the question that ticked the answer (1 to 5); on a
    // question where several may be ticked, the shares of its answers add up to more than 1.
    double shareTicking(size_t question, int answer) const;
    // Runs the class figures count.
    int countedRuns() const;
    // Unfinished runs, the removed ones aside.
    int unfinishedRuns() const;
    int removedRuns() const;
    // The pupil's mark on `scale`: a mark kept on another scale (the settings changed since)
    // is brought to it and rounded to today's step.
    std::optional<double> markOnScale(const Pupil &pupil) const;
    // Kept marks that are not what the answers are worth today.
    int changedMarks() const;

    // `questionnaire` is the questionnaire as it stands, whose questions are the file's: its
    // right answers say what is right, its settings how a run the file keeps no mark for is
    // marked. A cell that is no answer number counts as no answer.
    static ResultsStatistics of(const ResultsSheet &sheet, const ClassQuestionnaire &questionnaire,
                                Counting counting = Counting::OneCopyPerPupil);
    // The same runs, the class figures counted the other way.
    ResultsStatistics countedAs(Counting counting) const;

private:
    // Chooses the counted runs and works the class figures out from them.
    void count();
};
