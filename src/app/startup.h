#pragma once

#include <QString>
#include <QStringList>

class QApplication;
class QTranslator;

// The program's start-up and event loop: splash, application title, conventions, every window
// once, splash gone, main window shown maximised, an optional questionnaire from the command
// line opened, then the loop until the main window closes.
struct StartupOptions
{
    // Run: open the windows. The others print text and leave with exitCode, no window shown.
    enum class Action { Run, ShowHelp, ShowVersion, Refuse };

    Action action = Action::Run;
    QString questionnaire;   // a .qcm file named on the command line, or empty
    bool quitWhenShown = false; // for start-up measurements: print "shown" and leave once the window shows
    QString text;            // the help, the version or the refusal, in French, ending in a newline
    int exitCode = 0;
};

// The command line as the program's French users read it: -h/--help, -v/--version, one
// optional questionnaire. Needs no application object, so main() answers --help and
// --version before it opens the display.
StartupOptions parseCommandLine(const QStringList &arguments);

// Qt's own French texts (file dialogs, the context menus of edit fields, standard buttons),
// from folder (Qt's translations folder when empty). False, and nothing installed, when they
// are missing: the program then goes on with Qt's English texts.
bool loadQtFrenchTranslations(QTranslator &translator, const QString &folder = QString());

int runNeloQcm(QApplication &app, const StartupOptions &options);

// "--exporter" and "--importer" (BatchConversion), with no window: the messages go to the error
// stream, and the pictures an export embeds are checked by the program's picture formats.
int runConversion(const QStringList &arguments);
