#pragma once

#include <QString>
#include <QStringList>

// How a class takes a questionnaire: the order each pupil sees, how answers are marked and what
// a pupil sees at the end. Kept inside the questionnaire file as "PASSATION key=value" lines
// standing before the first block: every reader of the format skips lines outside blocks, so a
// file with settings reads as before everywhere, and a file without them takes the defaults.
struct ClassSettings
{
    enum class Penalty { None, Chance };
    enum class EndView { Nothing, Mark, MarkAndCorrections };
    // When a pupil who has finished is shown the corrections, if the end view has them: at once,
    // once the teacher ends the run (or shows them), or never.
    enum class CorrectionsShown { AfterCopy, AfterRun, Never };
    // How a question with several right answers is marked: its point only when exactly its right
    // answers are ticked, or a share of it for each right answer ticked, less a share for each
    // wrong one (never below 0 for the question).
    enum class SeveralMarking { AllOrNothing, Partial };
    // Which questions each version holds: all of them, drawCount questions drawn among all, or
    // one question drawn from each group (titles opening with "[name]", see QuestionGroup),
    // every question outside a group being asked too.
    enum class Draw { None, AmongAll, OnePerGroup };

    bool shuffleQuestions = false;
    bool shuffleAnswers = false;
    int markScale = 20;
    // The step marks are rounded to, in hundredths of a point: 50 is 0,5.
    int roundingHundredths = 50;
    Penalty penalty = Penalty::None;
    EndView endView = EndView::Mark;
    CorrectionsShown correctionsShown = CorrectionsShown::AfterCopy;
    SeveralMarking severalMarking = SeveralMarking::AllOrNothing;
    Draw draw = Draw::None;
    int drawCount = 0; // the questions drawn among all; 0 unless draw is AmongAll
    // The time a pupil has, in minutes (before his extra time); 0: no limit.
    int durationMinutes = 0;

    // Whether a pupil who has finished sees the corrections (and the right answers) now;
    // `released` once the teacher has ended the run or shown the corrections.
    bool showsCorrections(bool released) const;
    // Whether the corrections are still to come for a pupil who has finished.
    bool correctionsLater(bool released) const;

    bool operator==(const ClassSettings &other) const;
    bool operator!=(const ClassSettings &other) const { return !(*this == other); }
};

namespace ClassSettingsFormat {

// The rounding steps offered, in hundredths: 0,5, 0,25, 0,1 and 1.
const QList<int> &roundingSteps();
// The largest mark scale a questionnaire may use.
inline constexpr int MaxMarkScale = 1000;
// The longest time limit, in minutes: a school day.
inline constexpr int MaxDurationMinutes = 600;

// Whether a line is one of the settings lines (the repair keeps them where they stand).
bool isSettingsLine(const QString &line);

// The settings lines of a document's header, as they stand: what a rebuilt document keeps.
QStringList settingsLines(const QStringList &lines);

// The settings a document's lines hold; the defaults for what they do not say or say wrongly
// (a file edited by hand must still open).
ClassSettings read(const QStringList &lines);

// The document with its settings lines replaced by those of `settings`, written before the
// first line; settings equal to the defaults leave no line, so the file is as it was.
QStringList withSettings(const QStringList &lines, const ClassSettings &settings);

// The largest number of questions a draw among all may ask (the format's limit on questions).
int maxDrawCount();

// "0,5", "0,25", "0,1", "1".
QString roundingText(int hundredths);

} // namespace ClassSettingsFormat
