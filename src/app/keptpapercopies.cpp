#include "app/keptpapercopies.h"

#include "classroom/classquestionnaire.h"
#include "results/resultsfile.h"
#include "results/resultsrunkeeper.h"

KeptPaperCopies KeptPaperCopies::read(const QString &resultsPath, const ClassQuestionnaire &questionnaire)
{
    // The questions as the keeper writes them in the header.
    const KeptRun blank = ResultsRunKeeper::keptRun(questionnaire, ClassRunRecord());
    const QStringList questions = ResultsFile::header(blank.results).mid(ResultsFile::FixedColumnCount);
    ResultsSheet sheet;
    ResultsFile::findFor(resultsPath, questions, &sheet);
    const QString paper = ResultsFile::wayText(KeptRun::Way::Paper);
    KeptPaperCopies kept;
    for (const QStringList &run : sheet.runs) {
        if (run.value(ResultsFile::WayColumn) != paper)
            continue;
        bool copyOk = false, seedOk = false;
        const int copy = run.value(ResultsFile::CopyColumn).toInt(&copyOk);
        const quint64 seed = run.value(ResultsFile::VersionColumn).toULongLong(&seedOk, 16);
        if (copyOk && seedOk)
            kept.m_copies.insert({copy, seed});
    }
    return kept;
}
