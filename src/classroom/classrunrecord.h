#pragma once

#include "classroom/classscore.h"

#include <QDateTime>
#include <QString>

#include <vector>

// A pupil's run as it is kept, whichever way the class answered.
struct ClassRunRecord
{
    enum class Way { Computer, Network, Paper, Live };

    Way way = Way::Computer;
    QString pupil;             // may be empty
    QDateTime started;
    qint64 durationSeconds = 0;
    quint64 seed = 0;          // the version; rebuilt from it alone
    int copy = 0;              // the paper copy's number; 0 for the other ways
    bool finished = true;      // false: the session ended before the pupil did
    // The teacher took the run out of the class (a row removed or merged away): kept, never counted.
    bool removed = false;
    // The time allowed ran out: the copy was kept as it stood.
    bool timedOut = false;
    std::vector<int> answers;  // by question number, 1 to 5 or 0
    // By question number, every answer ticked: what a question with several right answers was
    // given (its `answers` entry is the first of them). May be empty: then `answers` says all.
    std::vector<AnswerSet> ticked;
    ClassScore score;
};

// Where finished and unfinished runs go: the results file beside the questionnaire in the
// program, a list in the tests. keep() throws AppError with a French message when the run
// could not be kept; it returns the path of the file the run went to.
class ClassRunKeeper
{
public:
    virtual ~ClassRunKeeper() = default;
    virtual QString keep(const ClassRunRecord &record) = 0;
};
