#pragma once

#include "document/qcmfile.h"
#include "document/questionfields.h"
#include "document/undohistory.h"

#include <QString>
#include <QStringList>

#include <functional>

class MessageBoxes;
class SheetFields;

// The one open questionnaire: its file's lines, which question the sheet shows, and whether
// anything changed. Every move to another question writes the sheet back first (EcritFiche),
// then reads the new question (LitFiche).
class QuestionStore
{
public:
    QuestionStore(SheetFields &sheet, MessageBoxes &boxes);

    const QStringList &document() const { return m_document; }

    int QuestionCount() const { return m_questionCount; }
    int CurrentQuestion() const { return m_currentQuestion; }
    bool DocumentModified() const { return m_documentModified; }
    bool SheetModified() const { return m_sheetModified; }
    const QString &CurrentPicture() const { return m_currentPicture; }
    // The folder of the questionnaire's file, where pictures whose stored path leads nowhere are
    // looked for (PictureLocation); empty while the questionnaire has no file.
    const QString &questionnaireFolder() const { return m_questionnaireFolder; }

    // Load and save. Charge and Sauve apply the file name rule to `path` first, and return what
    // the file held once they read or wrote it. Charge drops NUL bytes and keeps a questionnaire
    // of more than 10,000 questions to its first 10,000, the others saved as they were; it says
    // so once the first question is on the sheet.
    QcmFile::Fingerprint Charge(const QString &path);
    QcmFile::Fingerprint Sauve(const QString &path);
    bool TestModif() const { return m_documentModified; }
    void Nouveau();
    // Loads lines that did not come from a file (a file's content, already decoded).
    void ChargeLignes(const QStringList &lines, const QString &caption);
    // Loads questions that exist in no file yet (an import): the questionnaire has no name and
    // counts as modified, so closing it asks before they are lost.
    void loadUnsaved(const QStringList &lines);
    // The bytes Sauve would write, without touching the document or the flags.
    QByteArray ContenuFichier() const;

    void Verif();
    void Squize();
    void EcritFiche();
    void LitFiche();
    void Ajout();
    void Supprime();
    void Renum();

    // Navigation: write back, move (staying within the questionnaire), read.
    void Precedent();
    void Suivant();
    void Premier();
    void Dernier();
    void AllerA(int question);

    // The author changed a field of the sheet (typing, paste, picture choice). Ignored while
    // LitFiche fills the fields.
    void SheetEdited();
    // A picture chosen for the question on the sheet.
    void setCurrentPicture(const QString &path);
    // A change the sheet makes to the question outside typing (ticking an answer right): taken
    // back by Annuler like a question command. `change` puts the new state on the sheet.
    void sheetCommand(const std::function<void()> &change);
    // The question is written with an empty picture line and read again without picture.
    void SuppImg();
    // Title and answers replaced by copied ones; right answer, picture and free text stay.
    void Coller(const QString &title, const std::array<QString, QcmFormat::AnswerCount> &answers);

    // The one way for a command to rewrite lines of the questionnaire (question list, find and
    // replace, picture paths): the sheet is written back, `edit` rewrites the lines and returns
    // true when it changed something (the questionnaire is then modified), the questions are
    // counted again and the sheet reads `questionAfter` (the question it showed when that is
    // negative). An exception thrown by `edit` leaves the document as it was.
    using LineEdit = std::function<bool(QStringList &lines)>;
    void rewriteDocument(const LineEdit &edit, int questionAfter = -1);

    // Takes back the last question command (paste, delete, add, picture removal or choice, a
    // rewrite that changed lines): the document, the question shown and the flags return to what
    // they were before it. Edits made on the sheet outside these commands and then written back
    // end what can be taken back, so that no typing is ever thrown away unseen.
    bool canUndo() const { return !m_history.isEmpty(); }
    void Annuler();
    void setUndoListener(std::function<void(bool canUndo)> listener) { m_history.setListener(std::move(listener)); }

private:
    QStringList savedLines() const;
    // `tags` counts the tag lines of `lines`.
    void adopt(QStringList lines, QcmFormat::TagCounts tags, const QString &caption, int droppedNuls);
    // The repair question of Verif, for a document whose tags do not balance.
    void offerRepair();
    UndoHistory::State currentState() const;
    // Writes the sheet back and keeps the state as it is before a question command.
    void remember();
    bool sheetEditedSinceRead() const;

    SheetFields &m_sheet;
    MessageBoxes &m_boxes;
    QStringList m_document;
    // Blocks of a questionnaire of more than 10,000 questions that no question reaches: saved
    // after the document as they were read.
    QStringList m_blocksBeyond;
    int m_questionCount = 1;
    int m_currentQuestion = 0;
    bool m_documentModified = false;
    bool m_sheetModified = false;
    bool m_reading = false;
    QString m_currentPicture;
    QString m_questionnaireFolder;
    // The fields and picture as the sheet showed them after the last read or command: typing
    // since then is not covered by the history.
    QuestionFields m_readFields;
    QString m_readPicture;
    UndoHistory m_history;
};
