#pragma once

#include "classroom/classquestionnaire.h"
#include "classroom/classrunrecord.h"
#include "results/resultsfile.h"

#include <QStringList>

#include <memory>

// Keeps a class's runs in the questionnaire's results file, in the columns of the author's
// rehearsals, so that one file and one statistics window hold every way the class answered.
// Usable from any thread that owns it; the file's lock guards against every other writer.
class ResultsRunKeeper : public ClassRunKeeper
{
public:
    ResultsRunKeeper(std::shared_ptr<const ClassQuestionnaire> questionnaire, QString resultsPath,
                     ResultsFile::LockWait wait = {});

    QString keep(const ClassRunRecord &record) override;

    // Why runs went to another file than the one asked for (said once each): the teacher is
    // told when the session ends, not the pupil in the middle of it.
    const QStringList &notices() const { return m_notices; }
    const QString &resultsPath() const { return m_path; }

    // The run as a row of the results file: the answers in the questionnaire's numbering.
    static KeptRun keptRun(const ClassQuestionnaire &questionnaire, const ClassRunRecord &record);
    static KeptRun::Way keptWay(ClassRunRecord::Way way);

private:
    std::shared_ptr<const ClassQuestionnaire> m_questionnaire;
    QString m_path;
    ResultsFile::LockWait m_wait;
    QStringList m_notices;
};
