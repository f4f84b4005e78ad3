#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class ClassroomCommands;
class QWidget;
struct Services;

// "Passation sur le réseau...": the open questionnaire served to the pupils' own devices while
// the session window is open, every run kept in the questionnaire's results file. A session
// interrupted (the window closed without ending it, or the program stopped) is offered again
// the next time, with every answer it had acknowledged.
//
// "Passation en direct..." (`live`): the same session, its questions paced by the teacher on a
// projector window, from a window of commands of his own.
//
// Failures throw AppError with a French message.
class NetworkSessionCommand
{
    Q_DECLARE_TR_FUNCTIONS(NetworkSessionCommand)

public:
    static void run(ClassroomCommands &commands, const QString &fileName, const QStringList &document,
                    Services &services, QWidget *parent, bool live = false);
};
