#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class ClassQuestionnaire;
class QWidget;
struct Services;

// The commands of a class taking the open questionnaire: the pupils' window, the settings of
// the class run, the class lists. The class lists live in `classListFolder`, on this computer
// only (pupils' names are personal data).
//
// Failures throw AppError with a French message.
class ClassroomCommands
{
    Q_DECLARE_TR_FUNCTIONS(ClassroomCommands)

public:
    ClassroomCommands(Services &services, QString classListFolder, QWidget *parent);

    // "Faire passer à la classe...": the teacher chooses the code that will stop the run, then
    // every pupil's run is kept in the questionnaire's results
    // file the moment it ends. `fileName` is the questionnaire's file (empty when never saved).
    void runClass(const QString &fileName, const QStringList &document);
    // A questionnaire ready for a class, and where its runs go.
    struct ClassToRun
    {
        std::shared_ptr<const ClassQuestionnaire> questionnaire;
        QString resultsPath;
    };
    // The checks every way a class answers makes first: questions to answer, a saved file
    // beside which the results go (or another place the teacher chooses), and a confirmation
    // when no question can be marked. Nothing when the teacher gives up.
    std::optional<ClassToRun> prepare(const QString &fileName, const QStringList &document);

    // "Réglages de la passation...": the document with the settings chosen, or nothing when
    // cancelled or unchanged.
    std::optional<QStringList> editSettings(const QStringList &document);
    // "Listes de classe..."
    void editClassLists();

    const QString &classListFolder() const { return m_classListFolder; }
    // The folder of the program's data where class lists are kept.
    static QString defaultClassListFolder();

    // Where the class's runs go: beside the questionnaire, or a place the teacher chooses when
    // that folder cannot be written. Empty when the teacher gives up.
    QString resultsPath(const QString &fileName);

private:

    Services &m_services;
    QString m_classListFolder;
    QWidget *m_parent;
};
