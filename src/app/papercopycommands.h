#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class MarkingSession;
class QWidget;
struct Services;

// A test on paper marked from its scans: "Imprimer des copies à corriger..." prints the copies
// (numbered, or one per pupil of a class list) in the print preview, from which they are
// printed or saved as PDF; "Corriger des copies scannées..." reads a scan file (PDF or
// picture), shows what it left in doubt, and keeps the copies' runs in the questionnaire's
// results file.
//
// Failures throw AppError with a French message.
class PaperCopyCommands
{
    Q_DECLARE_TR_FUNCTIONS(PaperCopyCommands)

public:
    PaperCopyCommands(Services &services, QString classListFolder, QWidget *parent);

    void printCopies(const QString &fileName, const QStringList &document);
    void markScans(const QString &fileName, const QStringList &document);

private:
    // Every page of the scan file into the session, with a progress the teacher can stop.
    void readScan(MarkingSession &session, const QString &scanPath);

    Services &m_services;
    QString m_classListFolder;
    QWidget *m_parent;
};
