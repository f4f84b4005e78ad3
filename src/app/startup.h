#pragma once

#include <QStringList>

class QApplication;

// The program's start-up and event loop: splash, application title, conventions, every window
// once, splash gone, main window shown maximised, an optional questionnaire from the command
// line opened, then the loop until the main window closes.
struct StartupOptions
{
    QString questionnaire;   // a .qcm file named on the command line, or empty
    bool quitWhenShown = false; // for start-up measurements: print "shown" and leave once the window shows
};

StartupOptions parseCommandLine(const QStringList &arguments);
int runNeloQcm(QApplication &app, const StartupOptions &options);
