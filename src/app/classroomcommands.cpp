#include "app/classroomcommands.h"

#include "classroom/classdraw.h"
#include "classroom/classlist.h"
#include "classroom/classlistdialog.h"
#include "classroom/classquestionnaire.h"
#include "classroom/classsettingsdialog.h"
#include "classroom/pupil/pupilsession.h"
#include "classroom/pupil/pupilwindow.h"
#include "classroom/pupil/teachercode.h"
#include "classroom/pupil/teachercodedialog.h"
#include "document/classsettings.h"
#include "platform/apperror.h"
#include "platform/messageboxes.h"
#include "platform/services.h"
#include "platform/systemclock.h"
#include "results/resultsfile.h"
#include "results/resultsrunkeeper.h"
#include "runner/pupilnamedialog.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QStandardPaths>

ClassroomCommands::ClassroomCommands(Services &services, QString classListFolder, QWidget *parent)
    : m_services(services), m_classListFolder(std::move(classListFolder)), m_parent(parent)
{
}

QString ClassroomCommands::defaultClassListFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("classes"));
}

QString ClassroomCommands::resultsPath(const QString &fileName)
{
    const QFileInfo questionnaire(fileName);
    const QString beside = ResultsFile::pathFor(questionnaire.absolutePath(), fileName);
    const QFileInfo folder(questionnaire.absolutePath());
    if (folder.isDir() && folder.isWritable())
        return beside;
    // A read-only share or the installed sample: better to ask now than when the first pupil
    // has finished.
    if (m_services.boxes.show(MessageIcon::Question,
                              tr("Le dossier du questionnaire (%1) ne peut pas recevoir les résultats de la classe.\n"
                                 "Les enregistrer à un autre emplacement ?")
                                  .arg(QDir::toNativeSeparators(questionnaire.absolutePath())),
                              MessageButtons::YesNo)
        != MessageAnswer::Yes)
        return QString();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString elsewhere = QFileInfo(documents).isDir() ? documents : QDir::homePath();
    return PupilNameDialog::askResultsFile(m_services.dialogs, QDir(elsewhere).filePath(QFileInfo(beside).fileName()));
}

std::optional<ClassroomCommands::ClassToRun> ClassroomCommands::prepare(const QString &fileName,
                                                                      const QStringList &document)
{
    auto questionnaire = std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(document));
    if (questionnaire->size() == 0)
        throw AppError(tr("Le questionnaire ne contient aucune question."));
    // The questionnaire may have lost questions or groups since its draw was set.
    const QString drawProblem = ClassDraw::problem(questionnaire->settings(), *questionnaire);
    if (!drawProblem.isEmpty())
        throw AppError(drawProblem + QLatin1Char(' ') + tr("Changez le tirage dans les réglages de la passation."));
    if (fileName.isEmpty())
        throw AppError(tr("Enregistrez d'abord le questionnaire : les résultats de la classe sont enregistrés à côté "
                          "de lui."));
    if (questionnaire->markedCount() == 0
        && m_services.boxes.show(MessageIcon::Question,
                                 tr("Aucune question n'a de bonne réponse : les élèves n'auront pas de note.\n"
                                    "Faire passer le questionnaire quand même ?"),
                                 MessageButtons::YesNo)
               != MessageAnswer::Yes)
        return std::nullopt;
    const QString path = resultsPath(fileName);
    if (path.isEmpty())
        return std::nullopt;
    return ClassToRun{std::move(questionnaire), path};
}

void ClassroomCommands::runClass(const QString &fileName, const QStringList &document)
{
    const std::optional<ClassToRun> toRun = prepare(fileName, document);
    if (!toRun)
        return;
    const auto &questionnaire = toRun->questionnaire;
    const QString &path = toRun->resultsPath;
    // Without it, the pupils' window would give the editor and its right answers to the first
    // pupil who clicks "Arrêter la passation".
    TeacherCodeDialog codeDialog(m_parent);
    if (codeDialog.exec() != QDialog::Accepted)
        return;
    QElapsedTimer elapsed;
    elapsed.start();
    TeacherCode teacherCode(codeDialog.code(), [elapsed] { return elapsed.elapsed(); });
    codeDialog.CodeEdit->clear();
    codeDialog.ConfirmEdit->clear();

    ResultsRunKeeper keeper(questionnaire, path);
    const SystemClock &clock = m_services.clock;
    PupilSession session(questionnaire, questionnaire->settings(), keeper, [&clock] { return clock.now(); },
                         [] { return QRandomGenerator::system()->generate64(); });
    const ClassListStore classLists(m_classListFolder);
    PupilWindow window(session, classLists, m_services, teacherCode, QFileInfo(fileName).absolutePath(), m_parent);
    window.exec();

    for (const QString &notice : keeper.notices())
        m_services.boxes.warn(notice);
    const int pupils = int(session.pupilsDone().size());
    if (pupils > 0)
        m_services.boxes.inform(tr("%n élève(s) ont passé le questionnaire. Leurs résultats sont enregistrés dans %1.",
                                   nullptr, pupils)
                                    .arg(QDir::toNativeSeparators(session.lastFile())));
}

std::optional<QStringList> ClassroomCommands::editSettings(const QStringList &document)
{
    const ClassSettings current = ClassSettingsFormat::read(document);
    ClassSettingsDialog dialog(current, m_parent);
    // So that a draw the questionnaire cannot make is refused before it is written.
    const ClassQuestionnaire questionnaire = ClassQuestionnaire::fromLines(document);
    dialog.setBank(questionnaire.size(), int(ClassDraw::groupsOf(questionnaire).groups.size()));
    if (dialog.exec() != QDialog::Accepted || dialog.settings() == current)
        return std::nullopt;
    return ClassSettingsFormat::withSettings(document, dialog.settings());
}

void ClassroomCommands::editClassLists()
{
    ClassListStore store(m_classListFolder);
    ClassListDialog dialog(store, m_services, m_parent);
    dialog.exec();
}
