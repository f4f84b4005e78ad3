#include "app/startup.h"

#include "app/artwork.h"
#include "app/desktopservices.h"
#include "app/splash.h"
#include "app/workspace.h"
#include "platform/desktopconventions.h"
#include "platform/services.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <memory>

StartupOptions parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QApplication::tr("Générateur de questionnaires à choix multiples."));
    parser.addPositionalArgument(QStringLiteral("questionnaire"), QApplication::tr("Questionnaire à ouvrir (.qcm)"));
    // Conversions run from main() before any window; listed here so that --help shows them.
    parser.addOption(QCommandLineOption(QStringLiteral("exporter"),
                                        QApplication::tr("Exporte QUESTIONNAIRE.qcm vers SORTIE, sans fenêtre "
                                                         "(arguments : QUESTIONNAIRE.qcm SORTIE)."),
                                        QStringLiteral("gift|aiken|xml")));
    parser.addOption(QCommandLineOption(QStringLiteral("importer"),
                                        QApplication::tr("Importe les questions d'ENTRÉE (GIFT, Aiken, Moodle XML) "
                                                         "dans un nouveau questionnaire, sans fenêtre (arguments : "
                                                         "ENTRÉE QUESTIONNAIRE.qcm).")));
    QCommandLineOption quitWhenShown(QStringLiteral("quit-when-shown"));
    quitWhenShown.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(quitWhenShown);
    parser.addHelpOption();
    parser.process(arguments);

    StartupOptions options;
    if (!parser.positionalArguments().isEmpty())
        options.questionnaire = parser.positionalArguments().constFirst();
    options.quitWhenShown = parser.isSet(quitWhenShown);
    return options;
}

int runNeloQcm(QApplication &app, const StartupOptions &options)
{
    auto splash = std::make_unique<TSplash>();
    splash->showAndPaint();

    QApplication::setApplicationName(QStringLiteral("Nelo Qcm"));
    QApplication::setApplicationDisplayName(QStringLiteral("Nelo Qcm"));
    QApplication::setWindowIcon(artworkIcon(QStringLiteral(":/pictures/nelo-qcm.svg")));
    applyDesktopConventions();

    const QScreen *screen = QGuiApplication::primaryScreen();
    DesktopServices services(screen ? screen->depth() : 24);
    Services shared{services.boxes, services.dialogs, services.pictureDialogs, services.clock, services.pictures};
    Workspace workspace(shared);
    services.boxes.setParent(&workspace.mainForm);
    services.dialogs.setParent(&workspace.mainForm);

    splash.reset();
    // Without a window manager (a bare X server) "maximised" means nothing: start at the
    // screen's full size, which a window manager then turns into the maximised state.
    if (screen)
        workspace.mainForm.setGeometry(screen->availableGeometry());
    workspace.mainForm.showMaximized();
    if (!options.questionnaire.isEmpty())
        workspace.mainForm.openNamedQuestionnaire(options.questionnaire);
    if (options.quitWhenShown) {
        // The first turn of the event loop finds the window shown: say so on the standard
        // output (the start-up benchmark stops its watch there), then leave.
        QTimer::singleShot(0, &app, [] {
            std::fputs("shown\n", stdout);
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    }
    return app.exec();
}
