#include "app/papercopycommands.h"

#include "app/classroomcommands.h"
#include "app/keptpapercopies.h"
#include "classroom/classlist.h"
#include "classroom/classquestionnaire.h"
#include "document/picturelocation.h"
#include "marking/copiesdialog.h"
#include "marking/markingsession.h"
#include "marking/reviewwindow.h"
#include "marking/scanfile.h"
#include "platform/apperror.h"
#include "platform/errorguard.h"
#include "platform/filedialogs.h"
#include "platform/messageboxes.h"
#include "platform/printdialogs.h"
#include "platform/progress.h"
#include "platform/services.h"
#include "platform/systemclock.h"
#include "printing/papercopies.h"
#include "results/resultsrunkeeper.h"

#include <QFileInfo>
#include <QRandomGenerator>

PaperCopyCommands::PaperCopyCommands(Services &services, QString classListFolder, QWidget *parent)
    : m_services(services), m_classListFolder(std::move(classListFolder)), m_parent(parent)
{
}

void PaperCopyCommands::printCopies(const QString &fileName, const QStringList &document)
{
    const auto questionnaire = std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(document));
    if (questionnaire->size() == 0)
        throw AppError(tr("Le questionnaire ne contient aucune question."));
    const ClassListStore classLists(m_classListFolder);
    CopiesDialog dialog(classLists, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const auto seeds = [] { return QRandomGenerator::system()->generate64(); };
    std::vector<PrintedCopy> copies = dialog.count() > 0
                                          ? PaperCopies::numbered(dialog.count(), seeds)
                                          : PaperCopies::forPupils(classLists.pupils(dialog.className()), seeds);
    // The invigilator reads a pupil's extra time on his copy, when the run has a duration.
    if (dialog.count() == 0) {
        const std::vector<ClassListReader::Entry> entries = classLists.entries(dialog.className());
        for (size_t i = 0; i < copies.size() && i < entries.size(); ++i)
            copies[i].timeNote = TimeAnnouncer::invigilatorNote(entries[i].extra, questionnaire->settings().durationMinutes);
    }
    if (copies.empty())
        throw AppError(tr("La classe « %1 » n'a aucun élève.").arg(dialog.className()));

    const QString name = fileName.isEmpty() ? tr("Questionnaire") : QFileInfo(fileName).completeBaseName();
    PaperCopies paper(name, questionnaire, m_services.pictures, PictureLocation::folderOf(fileName));
    // Refusals come now, before the preview: never in the middle of its drawing.
    for (const PrintedCopy &copy : copies)
        paper.layOut(copy, dialog.layout());
    if (const QString problems = paper.untoldPictureProblems(); !problems.isEmpty())
        m_services.boxes.warn(problems);

    PrintJob job;
    job.documentName = tr("%1 - copies").arg(name);
    job.fullPage = true;
    const CopyLayout layout = dialog.layout();
    m_services.printDialogs.preview(
        job,
        [this, &paper, &copies, layout](PrintTarget &target) {
            runGuarded(m_services.boxes, [&] { paper.print(target.device(), copies, layout); });
        },
        m_parent);
    if (const QString problems = paper.untoldPictureProblems(); !problems.isEmpty())
        m_services.boxes.warn(problems);
}

void PaperCopyCommands::readScan(MarkingSession &session, const QString &scanPath)
{
    const ScanFile scan(scanPath);
    try {
        ProgressTask task(m_services.progress, tr("Lecture des copies scannées..."), scan.pageCount());
        for (int page = 0; page < scan.pageCount(); ++page) {
            session.addPageOf(scan, page);
            task.advance(page + 1);
        }
    } catch (const ProgressStopped &) {
        // The pages read so far are shown; the rest of the file is left for another time.
    }
}

void PaperCopyCommands::markScans(const QString &fileName, const QStringList &document)
{
    const auto questionnaire = std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(document));
    if (questionnaire->size() == 0)
        throw AppError(tr("Le questionnaire ne contient aucune question."));
    if (fileName.isEmpty())
        throw AppError(tr("Enregistrez d'abord le questionnaire : les notes des copies sont enregistrées à côté de lui."));
    const QString resultsPath = ClassroomCommands(m_services, m_classListFolder, m_parent).resultsPath(fileName);
    if (resultsPath.isEmpty())
        return;
    MarkingSession session(questionnaire);
    // One scan file at a time: the first now, others from the review window.
    const auto addScan = [this, &resultsPath, &questionnaire](MarkingSession &marking) {
        const QString scanPath =
            m_services.dialogs.openFile(ScanFile::filter(), QString(), FileDialogs::Folder::KeepCurrent);
        if (scanPath.isEmpty())
            return false;
        readScan(marking, scanPath);
        // The copies the results hold were settled before: the window offers only what is left.
        const KeptPaperCopies kept = KeptPaperCopies::read(resultsPath, *questionnaire);
        marking.passOver([&kept](int copy, quint64 seed) { return kept.contains(copy, seed); });
        return true;
    };
    if (!addScan(session))
        return;

    const SystemClock &clock = m_services.clock;
    const auto keep = [&](MarkingSession &marking) {
        // Read again at each keep: another window or computer may have added copies meanwhile.
        const KeptPaperCopies kept = KeptPaperCopies::read(resultsPath, *questionnaire);
        ResultsRunKeeper keeper(questionnaire, resultsPath);
        MarkingSession::KeepReport report = marking.keep(
            keeper, [&kept](int copy, quint64 seed) { return kept.contains(copy, seed); }, clock.now());
        report.lines << keeper.notices();
        return report;
    };
    const ClassListStore classLists(m_classListFolder);
    ReviewWindow window(session, classLists, m_services, keep, [addScan](MarkingSession &marking) { addScan(marking); },
                        m_parent);
    window.exec();
}
