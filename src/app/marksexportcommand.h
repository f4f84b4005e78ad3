#pragma once

#include <QCoreApplication>
#include <QStringList>

class QWidget;
struct Services;

// "Exporter les notes...": the results of the open questionnaire, found as the statistics find
// them; the class list kept in `classListFolder` whose order the file follows, and which copy of
// each pupil gives the mark, as the teacher chooses; a file name proposed beside the results
// ("<questionnaire>-notes.csv"); then what was written and what was left out.
//
// Failures throw AppError with a French message.
class MarksExportCommand
{
    Q_DECLARE_TR_FUNCTIONS(MarksExportCommand)

public:
    static void run(const QString &fileName, const QStringList &document, const QString &classListFolder,
                    Services &services, QWidget *parent);
};
