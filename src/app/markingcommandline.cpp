#include "app/markingcommandline.h"

#include "app/keptpapercopies.h"
#include "classroom/classquestionnaire.h"
#include "document/qcmfile.h"
#include "document/qcmformat.h"
#include "document/qcmtext.h"
#include "marking/markingsession.h"
#include "marking/scanfile.h"
#include "platform/apperror.h"
#include "results/resultsfile.h"
#include "results/resultsrunkeeper.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QTextStream>

#include <new>

namespace MarkingCommandLine {

namespace {

const QString Option = QStringLiteral("--corriger");

QString tr(const char *text)
{
    return QCoreApplication::translate("MarkingCommandLine", text);
}

QString usage()
{
    return tr("Usage : nelo-qcm --corriger QUESTIONNAIRE.qcm SCAN.pdf|SCAN.png|SCAN.jpg|SCAN.tif...");
}

} // namespace

bool requested(const QStringList &arguments)
{
    return arguments.mid(1).contains(Option);
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &errors)
{
    QStringList rest = arguments.mid(1);
    rest.removeAll(Option);
    try {
        if (rest.size() < 2)
            throw AppError(tr("Nommez le questionnaire puis au moins un fichier de copies scannées.\n%1").arg(usage()));
        const QString qcm = QcmFormat::qcmFileName(rest.takeFirst());
        const auto questionnaire =
            std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(QcmText::decodeLines(QcmFile::read(qcm))));
        if (questionnaire->size() == 0)
            throw AppError(tr("Le questionnaire %1 ne contient aucune question.").arg(qcm));
        // Every scan is opened before any is read: a misspelt name stops everything at once.
        std::vector<std::unique_ptr<ScanFile>> scans;
        for (const QString &path : rest)
            scans.push_back(std::make_unique<ScanFile>(path));

        MarkingSession session(questionnaire);
        for (const auto &scan : scans) {
            for (int page = 0; page < scan->pageCount(); ++page)
                session.addPageOf(*scan, page);
        }
        const QString results = ResultsFile::pathFor(QFileInfo(qcm).absolutePath(), qcm);
        const KeptPaperCopies kept = KeptPaperCopies::read(results, *questionnaire);
        const auto alreadyKept = [&kept](int copy, quint64 seed) { return kept.contains(copy, seed); };
        session.passOver(alreadyKept);
        // What waits for the teacher is said before keeping, which leaves the doubts as they are.
        const QStringList doubts = session.doubtLines();
        ResultsRunKeeper keeper(questionnaire, results);
        const MarkingSession::KeepReport report = session.keep(keeper, alreadyKept, QDateTime::currentDateTime());

        for (const QString &line : session.summary())
            out << line << Qt::endl;
        for (const QString &line : report.lines)
            out << line << Qt::endl;
        for (const QString &notice : keeper.notices())
            out << notice << Qt::endl;
        if (report.kept > 0) {
            const QString file = QFileInfo(report.file).fileName();
            out << (report.kept == 1 ? tr("1 copie ajoutée aux résultats : %1.").arg(file)
                                     : tr("%1 copies ajoutées aux résultats : %2.").arg(report.kept).arg(file))
                << Qt::endl;
        }
        const bool waiting = std::any_of(session.copies().begin(), session.copies().end(),
                                         [](const ReadCopy &copy) { return !copy.kept; });
        if (!doubts.isEmpty()) {
            out << tr("À trancher :") << Qt::endl;
            for (const QString &line : doubts)
                out << QStringLiteral("  ") << line << Qt::endl;
        }
        if (waiting)
            out << tr("Les copies qui restent se corrigent dans le programme : Fichier > Corriger des copies scannées..., "
                      "avec les mêmes fichiers ; seul ce qui reste à trancher y est proposé.")
                << Qt::endl;
        // A page scanned twice is read once and harms nothing; a page not read at all needs a look.
        const bool pagesLeft = session.pagesNotRead() > 0 || !session.missingCopies().empty();
        return waiting || pagesLeft ? TeacherNeeded : Done;
    } catch (const AppError &error) {
        errors << error.message() << Qt::endl;
    } catch (const std::bad_alloc &) {
        errors << tr("Mémoire insuffisante.") << Qt::endl;
    }
    return Failed;
}

} // namespace MarkingCommandLine
