#include "document/questionnairefile.h"

#include "document/exchange/importchooser.h"
#include "document/exchange/questionexchange.h"
#include "document/exchange/questionmapping.h"
#include "document/qcmfile.h"
#include "document/qcmformat.h"
#include "document/questionstore.h"
#include "platform/apperror.h"
#include "platform/filedialogs.h"
#include "platform/messageboxes.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString QcmPattern = QStringLiteral("*.qcm");

} // namespace

QuestionnaireFile::QuestionnaireFile(QuestionStore &store, MessageBoxes &boxes, FileDialogs &dialogs,
                                     QuestionExchange::PictureReader readPicture)
    : m_store(store), m_boxes(boxes), m_dialogs(dialogs), m_readPicture(std::move(readPicture)), m_progress(m_noProgress)
{
}

QuestionnaireFile::QuestionnaireFile(QuestionStore &store, MessageBoxes &boxes, FileDialogs &dialogs,
                                     QuestionExchange::PictureReader readPicture, Progress &progress)
    : m_store(store), m_boxes(boxes), m_dialogs(dialogs), m_readPicture(std::move(readPicture)), m_progress(progress)
{
}

QString QuestionnaireFile::frameCaption() const
{
    if (m_currentFileName.isEmpty())
        return tr("Nelo Qcm");
    return tr("Nelo Qcm - [%1]").arg(QcmFormat::fileNameOf(m_currentFileName));
}

bool QuestionnaireFile::saveChangesFirst()
{
    if (!m_store.TestModif())
        return true;
    return askToSave(MessageIcon::Question,
                     tr("Enregistrer changements dans '%1'?").arg(QcmFormat::fileNameOf(m_currentFileName)));
}

bool QuestionnaireFile::mayReplace(const QString &path)
{
    return !QFileInfo::exists(path)
           || m_boxes.show(MessageIcon::Warning, tr("Ce fichier existe déjà"), MessageButtons::OkCancel) == MessageAnswer::Ok;
}

bool QuestionnaireFile::askToSave(MessageIcon icon, const QString &question)
{
    switch (m_boxes.show(icon, question, MessageButtons::YesNoCancel)) {
    case MessageAnswer::Yes:
        // "Oui" means the changes must not be lost: a save that fails or is cancelled stops the
        // command, and the changes stay.
        return save() && !m_store.TestModif();
    case MessageAnswer::No:
        return true;
    default:
        return false;
    }
}

bool QuestionnaireFile::newQuestionnaire()
{
    if (!saveChangesFirst())
        return false;
    m_currentFileName.clear();
    m_store.Nouveau();
    return true;
}

bool QuestionnaireFile::open()
{
    // Opening replaces the questionnaire: unsaved changes are offered for saving first.
    if (!saveChangesFirst())
        return false;
    const QString chosen = m_dialogs.openFile(tr("Questionnaire (*.qcm)|*.qcm"), QcmPattern);
    if (chosen.isEmpty())
        return false;
    load(chosen);
    return true;
}

bool QuestionnaireFile::openNamed(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!saveChangesFirst())
        return false;
    QDir::setCurrent(QFileInfo(absolute).absolutePath());
    load(absolute);
    return true;
}

void QuestionnaireFile::load(const QString &path)
{
    const QString name = QcmFormat::qcmFileName(path);
    // The name is taken only once the file is loaded: after a failed open, "Enregistrer" must
    // still write the questionnaire that is on screen to its own file.
    m_fingerprint = m_store.Charge(name);
    m_currentFileName = name;
    m_stampedFile = name;
}

bool QuestionnaireFile::saveAs()
{
    m_currentFileName.clear();
    const QString chosen = m_dialogs.saveFile(tr("Questionnaires (*.qcm)|*.qcm"), QcmPattern);
    if (chosen.isEmpty())
        return false;
    // The existing file that matters is the one the save will replace: the name after the file
    // name rule, so "quiz" typed without extension is checked against quiz.qcm.
    const QString name = QcmFormat::qcmFileName(chosen);
    if (!mayReplace(name))
        return false;
    // The author has just chosen to replace whatever stands there.
    if (!writeTo(name, true))
        return false;
    m_currentFileName = name;
    return true;
}

bool QuestionnaireFile::save()
{
    // After the name is chosen the questionnaire is written once more, like every save under
    // its name: the first write moved the question on the sheet to the end, and this one drops
    // the blank lines that move left at the top of the file.
    if (m_currentFileName.isEmpty() && !saveAs())
        return false;
    m_currentFileName = QcmFormat::qcmFileName(m_currentFileName);
    return writeTo(m_currentFileName, false);
}

bool QuestionnaireFile::changedByAnotherProgram(const QString &path) const
{
    return path == m_stampedFile && QcmFile::changedSince(path, m_fingerprint);
}

bool QuestionnaireFile::writeTo(const QString &path, bool replaceConfirmed)
{
    if (!replaceConfirmed && changedByAnotherProgram(path)) {
        const QString question = tr("Le fichier « %1 » a été modifié par un autre programme depuis son ouverture. "
                                    "L'enregistrer quand même ?")
                                     .arg(QcmFormat::fileNameOf(path));
        // Enter must not overwrite the other program's text: "Non" is the default.
        if (m_boxes.showWithDefault(MessageIcon::Warning, question, MessageButtons::YesNo, MessageAnswer::No)
            != MessageAnswer::Yes)
            return false;
    }
    m_fingerprint = m_store.Sauve(path);
    m_stampedFile = path;
    return true;
}

bool QuestionnaireFile::mayClose()
{
    if (!m_store.TestModif())
        return true;
    return askToSave(MessageIcon::Warning,
                     tr("Enregistrer changements dans %1 ?").arg(QcmFormat::fileNameOf(m_currentFileName)));
}

bool QuestionnaireFile::importQuestions(ImportChooser &chooser)
{
    const QString chosen = m_dialogs.openFile(QuestionExchange::importFilter(), QStringLiteral("*.gift"));
    if (chosen.isEmpty())
        return false;
    const QByteArray bytes = QuestionExchange::readFile(chosen);
    // Only a file that names categories offers a choice of them: another is read once.
    const bool namesCategories = bytes.contains("CATEGORY") || bytes.contains("category");
    const std::optional<QList<QuestionExchange::FoundCategory>> categories = namesCategories
        ? QuestionExchange::categoriesOf(bytes, &m_progress)
        : QList<QuestionExchange::FoundCategory>{{QString(), 0}};
    if (!categories)
        return importStopped();
    // The question on the sheet counts as it is shown.
    m_store.EcritFiche();
    const bool canAppend = hasQuestions(m_store.document());
    ImportChoice choice;
    if (categories->size() > 1 || canAppend) {
        const std::optional<ImportChoice> chosenImport = chooser.choose(*categories, canAppend);
        if (!chosenImport)
            return false;
        choice = *chosenImport;
    }
    // Only a new questionnaire replaces the open one: its changes are offered for saving first.
    if (!choice.append && !saveChangesFirst())
        return false;

    QuestionExchange::ImportOptions options;
    options.pictureFolder = QFileInfo(chosen).absolutePath();
    options.progress = &m_progress;
    options.category = choice.category;
    options.firstQuestion = choice.append ? m_store.QuestionCount() : 0;
    const QuestionExchange::Imported imported = QuestionExchange::importQuestions(bytes, options);
    if (imported.stopped)
        return importStopped();
    const QuestionExchange::Summary summary = QuestionExchange::importSummary(imported.report);
    if (imported.report.done == 0) {
        // Nothing came in: the questionnaire on screen stays as it was.
        m_boxes.showDetails(MessageIcon::Warning, summary.text, summary.details);
        return false;
    }
    if (choice.append) {
        // One command the author can take back; the sheet shows the first question added.
        m_store.rewriteDocument(
            [&imported](QStringList &lines) {
                lines += imported.lines;
                return true;
            },
            options.firstQuestion);
    } else {
        m_currentFileName.clear();
        m_stampedFile.clear();
        m_store.loadUnsaved(imported.lines);
    }
    m_boxes.showDetails(MessageIcon::Information, summary.text, summary.details);
    return true;
}

bool QuestionnaireFile::importStopped()
{
    m_boxes.inform(tr("Importation annulée : le questionnaire n'a pas changé."));
    return false;
}

bool QuestionnaireFile::hasQuestions(const QStringList &lines)
{
    const auto blocks = QuestionMapping::blocks(lines);
    return std::any_of(blocks.cbegin(), blocks.cend(), [](const auto &block) {
        const QuestionFields &fields = block.second.fields;
        return !fields.title.trimmed().isEmpty()
            || std::any_of(fields.answers.cbegin(), fields.answers.cend(),
                           [](const QString &answer) { return !answer.trimmed().isEmpty(); });
    });
}

bool QuestionnaireFile::exportQuestions()
{
    // The question on the sheet goes out as it is shown.
    m_store.EcritFiche();
    int fileType = 0;
    const QString suggested = m_currentFileName.isEmpty() ? QString() : QFileInfo(m_currentFileName).completeBaseName();
    QString chosen = m_dialogs.saveFile(QuestionExchange::exportFilter(), suggested, fileType);
    if (chosen.isEmpty())
        return false;
    const QuestionExchange::Format format = QuestionExchange::formatOfFileType(fileType);
    if (QFileInfo(chosen).suffix().isEmpty())
        chosen += QLatin1Char('.') + QuestionExchange::defaultSuffix(format);
    // Replacing the questionnaire's own file with questions in another format would lose it.
    if (QuestionExchange::sameFile(chosen, m_currentFileName))
        throw AppError(tr("Le questionnaire ne peut pas être exporté dans son propre fichier %1 : choisissez un autre nom.")
                           .arg(QcmFormat::fileNameOf(chosen)));
    if (!mayReplace(chosen))
        return false;
    // Bare picture names are found where the program finds them: in the current folder. The
    // quiz bank's category takes the questionnaire's name, or the exported file's.
    const QString category = QFileInfo(m_currentFileName.isEmpty() ? chosen : m_currentFileName).completeBaseName();
    const QuestionExchange::Exported exported =
        QuestionExchange::exportQuestions(m_store.document(), format, QDir::currentPath(), m_readPicture, category);
    const QuestionExchange::Summary summary = QuestionExchange::exportSummary(exported.report);
    if (exported.report.done == 0) {
        m_boxes.showDetails(MessageIcon::Warning,
                            summary.text + QLatin1Char('\n') + tr("Aucune question à exporter : le fichier n'est pas écrit."),
                            summary.details);
        return false;
    }
    QuestionExchange::writeFile(chosen, exported.bytes);
    m_boxes.showDetails(MessageIcon::Information, summary.text, summary.details);
    return true;
}
