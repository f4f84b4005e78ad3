#include "document/questionnairefile.h"

#include "document/qcmformat.h"
#include "document/questionstore.h"
#include "platform/filedialogs.h"
#include "platform/messageboxes.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString QcmPattern = QStringLiteral("*.qcm");

} // namespace

QuestionnaireFile::QuestionnaireFile(QuestionStore &store, MessageBoxes &boxes, FileDialogs &dialogs)
    : m_store(store), m_boxes(boxes), m_dialogs(dialogs)
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
    const QString question = tr("Enregistrer changements dans '%1'?").arg(QcmFormat::fileNameOf(m_currentFileName));
    switch (m_boxes.show(MessageIcon::Question, question, MessageButtons::YesNoCancel)) {
    case MessageAnswer::Yes:
        // A cancelled or refused save leaves the changes unsaved: they are not thrown away.
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
    m_store.Charge(name);
    m_currentFileName = name;
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
    if (QFileInfo::exists(name)
        && m_boxes.show(MessageIcon::Warning, tr("Ce fichier existe déjà"), MessageButtons::OkCancel) != MessageAnswer::Ok)
        return false;
    writeTo(name);
    m_currentFileName = name;
    return true;
}

bool QuestionnaireFile::save()
{
    if (m_currentFileName.isEmpty())
        return saveAs();
    m_currentFileName = QcmFormat::qcmFileName(m_currentFileName);
    writeTo(m_currentFileName);
    return true;
}

void QuestionnaireFile::writeTo(const QString &path)
{
    m_store.Sauve(path);
}

bool QuestionnaireFile::mayClose()
{
    if (!m_store.TestModif())
        return true;
    const QString question = tr("Enregistrer changements dans %1 ?").arg(QcmFormat::fileNameOf(m_currentFileName));
    switch (m_boxes.show(MessageIcon::Warning, question, MessageButtons::YesNoCancel)) {
    case MessageAnswer::Yes:
        // "Oui" means the changes must not be lost: a save that fails or is cancelled keeps the
        // program open.
        return save() && !m_store.TestModif();
    case MessageAnswer::No:
        return true;
    default:
        return false;
    }
}
