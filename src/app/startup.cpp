#include "app/startup.h"

#include "app/artwork.h"
#include "platform/deferredstandardicons.h"
#include "app/desktopservices.h"
#include "app/splash.h"
#include "app/workspace.h"
#include "document/exchange/batchconversion.h"
#include "pictures/pcx/pcx.h"
#include "pictures/picturecontent.h"
#include "platform/desktopconventions.h"
#include "platform/services.h"

#include "app/version.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QScreen>
#include <QTextStream>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <memory>

namespace {

QString helpText(const QString &program)
{
    return QApplication::tr("Utilisation : %1 [options] [questionnaire]\n"
                            "Générateur de questionnaires à choix multiples.\n"
                            "\n"
                            "Options :\n"
                            "  -h, --help       Affiche cette aide.\n"
                            "  -v, --version    Affiche la version du programme.\n"
                            "  --exporter gift|aiken|xml QUESTIONNAIRE.qcm SORTIE\n"
                            "                   Exporte les questions pour Moodle, sans fenêtre.\n"
                            "  --importer ENTRÉE QUESTIONNAIRE.qcm\n"
                            "                   Importe des questions GIFT, Aiken ou Moodle XML dans un\n"
                            "                   nouveau questionnaire, sans fenêtre.\n"
                            "  --ecraser, --force\n"
                            "                   Avec --exporter ou --importer : remplace le fichier de\n"
                            "                   sortie s'il existe (jamais le fichier d'entrée).\n"
                            "  --corriger QUESTIONNAIRE.qcm SCAN...\n"
                            "                   Corrige des copies scannées (PDF, PNG, JPEG, TIFF) et\n"
                            "                   ajoute leurs notes aux résultats, sans fenêtre.\n"
                            "\n"
                            "Arguments :\n"
                            "  questionnaire    Questionnaire à ouvrir (.qcm).\n")
        .arg(program);
}

// The option as it was typed ("--ouvrir", not the parser's "ouvrir").
QString typedOption(const QStringList &arguments, const QString &name)
{
    for (const QString &argument : arguments) {
        if (argument.startsWith(QLatin1Char('-')) && argument.section(QLatin1Char('='), 0, 0).endsWith(name))
            return argument.section(QLatin1Char('='), 0, 0);
    }
    return name;
}

} // namespace

StartupOptions parseCommandLine(const QStringList &arguments)
{
    // The parser's own help, version and error texts are English: ours replace them.
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption quitWhenShown(QStringLiteral("quit-when-shown"));
    parser.addOptions({help, version, quitWhenShown});
    const bool parsed = parser.parse(arguments);
    const QString program = arguments.isEmpty() ? QStringLiteral("nelo-qcm")
                                                : QFileInfo(arguments.constFirst()).fileName();

    StartupOptions options;
    if (parser.isSet(help)) {
        options.action = StartupOptions::Action::ShowHelp;
        options.text = helpText(program);
    } else if (parser.isSet(version)) {
        options.action = StartupOptions::Action::ShowVersion;
        options.text = QStringLiteral("Nelo Qcm %1\n").arg(QLatin1String(NeloVersion::Full));
    } else if (!parsed || parser.positionalArguments().size() > 1) {
        const QString wrong = parser.unknownOptionNames().isEmpty()
            ? parser.positionalArguments().value(1)
            : typedOption(arguments.mid(1), parser.unknownOptionNames().constFirst());
        const QString what = parser.unknownOptionNames().isEmpty()
            ? QApplication::tr("%1 : argument en trop « %2 ».\n")
            : QApplication::tr("%1 : option inconnue « %2 ».\n");
        options.action = StartupOptions::Action::Refuse;
        options.text = what.arg(program, wrong)
            + QApplication::tr("Pour en savoir plus : %1 --help\n").arg(program);
        options.exitCode = 1;
    } else {
        options.questionnaire = parser.positionalArguments().value(0);
        options.quitWhenShown = parser.isSet(quitWhenShown);
    }
    return options;
}

bool loadQtFrenchTranslations(QTranslator &translator, const QString &folder)
{
    return translator.load(QStringLiteral("qtbase_fr"),
                           folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder);
}

int runConversion(const QStringList &arguments)
{
    QTextStream errors(stderr);
    // Formats are only looked up, never drawn: the screen's depth plays no part.
    PictureRegistry pictures;
    registerPictureFormats(pictures, 24);
    const int status = BatchConversion::run(arguments, errors, [&pictures](const QString &path) {
        return readPictureForWeb(pictures, path);
    });
    unregisterPcx(pictures);
    return status;
}

int runNeloQcm(QApplication &app, const StartupOptions &options)
{
    // The whole program speaks French, whatever the desktop's language.
    QTranslator qtFrench;
    if (loadQtFrenchTranslations(qtFrench))
        QCoreApplication::installTranslator(&qtFrench);

    // Before the first window, which takes the application's style when it is made. The style
    // wrapped is the one Qt chose (the desktop's, or the one asked for with -style).
    QApplication::setStyle(new DeferredStandardIconsStyle(QApplication::style()->name()));
    auto splash = std::make_unique<TSplash>();
    splash->showAndPaint();

    // The name only, not a display name: Qt would append " — Nelo Qcm" to every window's title
    // ("Nelo Qcm - [quiz.qcm] — Nelo Qcm"), cutting short dialog captions. Windows give their
    // own full captions, and message boxes fall back on this name.
    QApplication::setApplicationName(QStringLiteral("Nelo Qcm"));
    QApplication::setWindowIcon(artworkIcon(QStringLiteral(":/pictures/nelo-qcm.svg")));
    applyDesktopConventions();

    const QScreen *screen = QGuiApplication::primaryScreen();
    DesktopServices services(screen ? screen->depth() : 24);
    Services shared{services.boxes, services.dialogs, services.pictureDialogs, services.clock, services.pictures,
                    services.printDialogs, services.progress};
    Workspace workspace(shared);
    services.boxes.setParent(&workspace.mainForm);
    services.dialogs.setParent(&workspace.mainForm);
    services.progress.setParent(&workspace.mainForm);

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
