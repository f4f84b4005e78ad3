#pragma once

#include "document/exchange/questionexchange.h"
#include "document/qcmfile.h"
#include "platform/messageboxes.h"
#include "platform/progress.h"

#include <QCoreApplication>
#include <QString>

class FileDialogs;
class ImportChooser;
class MessageBoxes;
class QuestionStore;

// The questionnaire's file: its name, and the decisions of the file commands (new, open, save,
// save as, close) with the questions they ask. Widget-free: the questions and the file choices
// go through MessageBoxes and FileDialogs, the document through QuestionStore. The main window
// only forwards its commands here and shows the caption.
//
// The commands may throw AppError; callers run them inside the error guard. Each one returns
// true when it did what was asked (the questionnaire was replaced, or saved).
class QuestionnaireFile
{
    Q_DECLARE_TR_FUNCTIONS(QuestionnaireFile)

public:
    // readPicture reads the pictures a Moodle XML export embeds (the picture registry's
    // checked reading in the program); `progress` shows a long import and lets the author stop it.
    QuestionnaireFile(QuestionStore &store, MessageBoxes &boxes, FileDialogs &dialogs,
                      QuestionExchange::PictureReader readPicture);
    QuestionnaireFile(QuestionStore &store, MessageBoxes &boxes, FileDialogs &dialogs,
                      QuestionExchange::PictureReader readPicture, Progress &progress);

    // Full path of the open questionnaire after the file name rule; empty when it has none.
    const QString &CurrentFileName() const { return m_currentFileName; }
    // The frame's caption: "Nelo Qcm - [quiz.qcm]", or "Nelo Qcm" without a file.
    QString frameCaption() const;

    // A new, empty questionnaire, after offering to save the changes.
    bool newQuestionnaire();
    // Offers to save the changes, then loads the questionnaire chosen in the open dialog.
    bool open();
    // A questionnaire named outside the dialog (command line, drop): opened as a confirmed
    // dialog would, its folder made current.
    bool openNamed(const QString &path);
    // Saves under the current name, asking for one when there is none (and then writing the
    // file a second time under it, as every save under a name does).
    bool save();
    // Asks for a name (the questionnaire has none while the dialog is open), then saves.
    bool saveAs();
    // The questions of a GIFT, Aiken or Moodle XML file chosen in the open dialog, all of them
    // or one category's, as `chooser` answers when the file has several categories or the open
    // questionnaire has questions: after those questions (a command "Annuler" takes back), or
    // as a new questionnaire without a name yet, once the open one's changes are offered for
    // saving. The pictures the file carries are written beside it. A summary box says what came
    // in and what did not. A stopped import changes nothing.
    bool importQuestions(ImportChooser &chooser);
    // Writes the questions to a GIFT, Aiken or Moodle XML file, the format chosen by the save
    // dialog's file type, then shows what went out and what did not.
    bool exportQuestions();

    // The question before the program closes: true when it may close (nothing to save, saved,
    // or the author chose not to save).
    bool mayClose();

private:
    // "Oui" saves, "Non" goes on, "Annuler" stops: true when the caller may go on.
    bool saveChangesFirst();
    // Says the import was stopped; false.
    bool importStopped();
    // Whether the lines hold a question with a title or an answer (a new questionnaire's one
    // empty question does not count).
    static bool hasQuestions(const QStringList &lines);
    // Asks `question` with Oui/Non/Annuler: "Oui" saves, and only a completed save lets the
    // caller go on; "Non" goes on; "Annuler" stops.
    bool askToSave(MessageIcon icon, const QString &question);
    // True when nothing stands at `path`, or the author agrees to replace it.
    bool mayReplace(const QString &path);
    void load(const QString &path);
    // Saves the questionnaire to `path`; false when the author chose not to overwrite a file
    // another program changed since the questionnaire was read from it or written to it.
    bool writeTo(const QString &path, bool replaceConfirmed);
    bool changedByAnotherProgram(const QString &path) const;

    QuestionStore &m_store;
    MessageBoxes &m_boxes;
    FileDialogs &m_dialogs;
    QuestionExchange::PictureReader m_readPicture;
    NoProgress m_noProgress;
    Progress &m_progress;
    QString m_currentFileName;
    // The file the questionnaire was last read from or written to, as it was then.
    QString m_stampedFile;
    QcmFile::Fingerprint m_fingerprint;
};
