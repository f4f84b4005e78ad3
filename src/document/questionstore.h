#pragma once

#include "document/questionfields.h"

#include <QString>
#include <QStringList>

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
    // For the commands that rewrite lines in place (question list, find and replace, picture
    // paths); they call markDocumentModified() when they changed something.
    QStringList &document() { return m_document; }

    int QuestionCount() const { return m_questionCount; }
    int CurrentQuestion() const { return m_currentQuestion; }
    bool DocumentModified() const { return m_documentModified; }
    bool SheetModified() const { return m_sheetModified; }
    const QString &CurrentPicture() const { return m_currentPicture; }

    // Load and save. Charge and Sauve apply the file name rule to `path` first. Charge drops NUL
    // bytes (saying so) and keeps a questionnaire of more than 10,000 questions to its first
    // 10,000 (saying so); the others are saved as they were.
    void Charge(const QString &path);
    void Sauve(const QString &path);
    bool TestModif() const { return m_documentModified; }
    void Nouveau();
    // Loads lines that did not come from a file (a file's content, already decoded).
    void ChargeLignes(const QStringList &lines, const QString &caption);
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
    // The question is written with an empty picture line and read again without picture.
    void SuppImg();
    // Title and answers replaced by copied ones; right answer, picture and free text stay.
    void Coller(const QString &title, const std::array<QString, QcmFormat::AnswerCount> &answers);
    void markDocumentModified() { m_documentModified = true; }

private:
    QStringList savedLines() const;
    void adopt(QStringList lines, const QString &caption, int droppedNuls);

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
};
