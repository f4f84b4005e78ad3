// Writes the pictures of docs/screenshots: the main window with a question and its picture,
// the splash window, the about box, the help window, the question list, the find, replace and
// path dialogs, the runner, the results window and its pupil's name dialog, the statistics of a class, the first page of the
// paper test (printed to PDF, then drawn by pdftoppm), the calendar, the clock and the
// calculator, the class's windows, drawn offscreen by the program's own windows.
// Usage: nelo-screenshots <questionnaire.qcm> <picture> <output folder> [<suffix> [<windows>]]
// With a suffix, only the windows named (comma-separated; "sheet,runner" when not given) on the
// screen the platform gives (run with QT_SCALE_FACTOR and a screen size to see them enlarged):
// the sheet and the runner maximised, sheet-<suffix>.png and runner-<suffix>.png as they open,
// then -bottom.png with the focus on their last field; the statistics window at the size it opens
// at, statistics-<suffix>.png.
#include "classscreenshots.h"
#include "markingscreenshots.h"

#include "accessories/pocket.h"
#include "app/splash.h"
#include "app/workspace.h"
#include "document/classsettings.h"
#include "document/qcmformat.h"
#include "editor/planche.h"
#include "pictures/gifpicture.h"
#include "pictures/imageframe.h"
#include "pictures/jpegpicture.h"
#include "pictures/pcx/pcx.h"
#include "pictures/pictureregistry.h"
#include "platform/desktopconventions.h"
#include "platform/errorguard.h"
#include "platform/helpwindow.h"
#include "platform/printdialogs.h"
#include "platform/scriptedfiledialogs.h"
#include "platform/scriptedmessageboxes.h"
#include "platform/scriptedprogress.h"
#include "platform/services.h"
#include "platform/systemclock.h"
#include "results/marksexportdialog.h"
#include "results/resultsfile.h"
#include "results/resultsstatistics.h"
#include "results/statisticswindow.h"
#include "runner/pupilnamedialog.h"
#include "runner/qcm.h"
#include "runner/resultat.h"
#include "runner/runsession.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusTipEvent>
#include <QTimer>
#include <QTextStream>
#include <QtTest/QTest>

namespace {

bool save(QWidget &window, const QString &path)
{
    window.repaint();
    QApplication::processEvents();
    const bool saved = window.grab().save(path, "PNG");
    QTextStream(stdout) << (saved ? "wrote " : "could not write ") << path << '\n';
    return saved;
}

// The sheet and the runner filling the screen, first as they open, then scrolled to their
// last field by the keyboard focus.
bool saveEnlarged(Workspace &workspace, const QDir &output, const QString &suffix)
{
    const QString name = QStringLiteral("%1-") + suffix + QStringLiteral("%2.png");
    TMainForm &form = workspace.mainForm;
    bool ok = save(form, output.filePath(name.arg(QStringLiteral("sheet"), QString())));
    workspace.sheet->answerEdits.back()->setFocus();
    ok = save(form, output.filePath(name.arg(QStringLiteral("sheet"), QStringLiteral("-bottom")))) && ok;

    TQcm &runner = workspace.runner;
    runner.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    runner.Init(workspace.sheet->store().document());
    runner.show();
    ok = save(runner, output.filePath(name.arg(QStringLiteral("runner"), QString()))) && ok;
    // The last answer line, which the focus cannot take: the box's neighbour the page ends on.
    runner.findChild<QScrollArea *>()->ensureWidgetVisible(runner.answerLabels.back());
    ok = save(runner, output.filePath(name.arg(QStringLiteral("runner"), QStringLiteral("-bottom")))) && ok;
    return ok;
}

// A class who each ran the questionnaire once, kept in `path` as "Enregistrer..." keeps them:
// stronger pupils get more right, and on one question (whose key looks wrong) the weaker ones do
// better; one pupil's run left unfinished.
void keepClassRuns(const QStringList &document, const QDateTime &when, const QString &path, int pupilCount)
{
    const QStringList names = QStringLiteral("Léa Hugo Chloé Louis Inès Jules Manon Nathan Emma Gabriel Jade Raphaël Louise "
                                             "Arthur Alice Adam Lina Paul Rose Sacha Anna Tom Zoé Noé Mila")
                                  .split(QLatin1Char(' '));
    for (int p = 0; p < pupilCount; ++p) {
        RunSession session;
        session.Init(document);
        session.Compte();
        session.Exec();
        const RunResults blank = session.score(0);
        session.Premier(0);
        const int count = int(blank.rows.size());
        const int ability = 30 + (p * 37) % 65; // in hundredths
        int answer = 0;
        for (int q = 0; q < count; ++q) {
            const int solution = blank.rows[size_t(q)].solution.value_or(1);
            const int luck = (p * 53 + q * 29 + p * q * 7) % 100;
            const bool right = q == 6 ? ability < 55 : luck < ability;
            answer = right ? solution : (solution + 1 + luck % 3) % 5 + 1;
            if (q + 1 < count)
                session.Suivant(answer);
        }
        KeptRun run;
        run.when = when.addSecs(600 * p);
        run.pupil = names.value(p % names.size());
        run.results = session.score(answer);
        run.way = p % 3 == 0 ? KeptRun::Way::Rehearsal : KeptRun::Way::Computer;
        run.finished = p != 5;
        ResultsFile::append(path, run);
    }
}

// The statistics of such a class, shown at the size the window takes on this screen.
bool saveStatistics(const QStringList &document, const QDateTime &when, Services &services, const QString &png,
                    int pupilCount = 8)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("capitales-resultats.csv"));
    keepClassRuns(document, when, path, pupilCount);
    StatisticsWindow window(path, ResultsStatistics::of(ResultsFile::read(path), ClassQuestionnaire::fromLines(document)),
                            services);
    window.show();
    return save(window, png);
}

// A class on questions of which some have several right answers: the distractor table of the
// Questions tab, each answer's share, the right ones in bold.
bool saveDistractors(Services &services, const QString &png)
{
    struct Asked
    {
        QString title;
        QStringList answers;
        QList<int> right;
    };
    const QList<Asked> asked{
        {QStringLiteral("Combien font 2 × 3 ?"), QStringLiteral("5|6|8|9").split(QLatin1Char('|')), {2}},
        {QStringLiteral("Quels nombres sont pairs ?"), QStringLiteral("3|4|7|10|15").split(QLatin1Char('|')), {2, 4}},
        {QStringLiteral("Quelle est la capitale de l'Italie ?"), QStringLiteral("Milan|Rome|Naples|Turin").split(QLatin1Char('|')), {2}},
        {QStringLiteral("Quels animaux sont des mammifères ?"), QStringLiteral("Baleine|Requin|Chauve-souris|Pingouin|Dauphin").split(QLatin1Char('|')), {1, 3, 5}},
        {QStringLiteral("Combien de côtés a un hexagone ?"), QStringLiteral("5|6|8").split(QLatin1Char('|')), {2}},
    };
    QStringList lines;
    for (int q = 0; q < asked.size(); ++q) {
        lines << QcmFormat::openingTag(q) << QStringLiteral("TITLE ") + asked[q].title << QStringLiteral("PICTURE ");
        for (int a = 0; a < QcmFormat::AnswerCount; ++a)
            lines << QcmFormat::answerKeyword(a + 1) + asked[q].answers.value(a);
        lines << QStringLiteral("REPONSE %1").arg(asked[q].right.front());
        if (asked[q].right.size() > 1) {
            QStringList numbers;
            for (int a : asked[q].right)
                numbers << QString::number(a);
            lines << QStringLiteral("Correction :") << QStringLiteral("Bonnes réponses : ") + numbers.join(QStringLiteral(", "));
        }
        lines << QcmFormat::closingTag(q) << QStringLiteral(" ");
    }
    ClassSettings settings;
    settings.severalMarking = ClassSettings::SeveralMarking::Partial;
    lines = ClassSettingsFormat::withSettings(lines, settings);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("nombres-resultats.csv"));
    for (int p = 0; p < 24; ++p) {
        KeptRun run;
        run.when = QDateTime(QDate(2026, 3, 9), QTime(10, 0)).addSecs(60 * p);
        run.pupil = QStringLiteral("Élève %1").arg(p + 1);
        run.way = KeptRun::Way::Computer;
        const int ability = 30 + (p * 37) % 65;
        for (int q = 0; q < asked.size(); ++q) {
            const int luck = (p * 53 + q * 29 + p * q * 7) % 100;
            const int count = int(asked[q].answers.size());
            AnswerSet ticked = 0;
            for (int a : asked[q].right)
                ticked |= AnswerSets::of(a);
            if (luck >= ability) {
                // A right answer forgotten, a wrong one ticked, or both.
                if (asked[q].right.size() > 1 && luck % 2 == 0)
                    ticked &= AnswerSet(~AnswerSets::of(asked[q].right.value(luck % int(asked[q].right.size()))));
                int wrong = luck % count + 1;
                while (asked[q].right.contains(wrong))
                    wrong = wrong % count + 1;
                if (asked[q].right.size() == 1)
                    ticked = 0;
                if (asked[q].right.size() == 1 || luck % 3 != 0)
                    ticked |= AnswerSets::of(wrong);
            }
            if (luck % 17 == 5)
                ticked = 0; // left blank
            RunResultRow row;
            row.title = asked[q].title;
            row.ticked = ticked;
            row.answer = AnswerSets::first(ticked);
            run.results.rows.push_back(row);
        }
        ResultsFile::append(path, run);
    }
    StatisticsWindow window(path, ResultsStatistics::of(ResultsFile::read(path), ClassQuestionnaire::fromLines(lines)),
                            services);
    window.show();
    return save(window, png);
}

// The paper test as "Imprimer le questionnaire..." prints it to a PDF, its first page drawn
// by pdftoppm.
bool savePaperTest(TMainForm &form, ScriptedMessageBoxes &boxes, ScriptedPrintDialogs &printing, const QDir &output)
{
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("capitales.pdf"));
    boxes.script(MessageAnswer::No);
    printing.script(pdf);
    for (QAction *action : form.findChildren<QAction *>()) {
        if (action->text() == QStringLiteral("Im&primer le questionnaire..."))
            action->trigger();
    }
    const QString png = output.filePath(QStringLiteral("paper-test"));
    const bool drawn = QProcess::execute(QStringLiteral("pdftoppm"),
                                         QStringLiteral("-png -r 72 -f 1 -l 1 -singlefile").split(QLatin1Char(' '))
                                             << pdf << png)
                       == 0;
    QTextStream(stdout) << (drawn ? "wrote " : "could not write ") << png << ".png\n";
    return drawn;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 4 || argc > 6) {
        QTextStream(stderr) << "usage: nelo-screenshots <questionnaire.qcm> <picture> <output folder> [<suffix> [<windows>]]\n";
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("Nelo Qcm"));
    applyDesktopConventions();
    const QString questionnaire = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QString picture = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    // Absolute: opening the questionnaire makes its folder current.
    const QDir output(QFileInfo(QString::fromLocal8Bit(argv[3])).absoluteFilePath());
    const QString suffix = argc >= 5 ? QString::fromLocal8Bit(argv[4]) : QString();
    const QStringList enlarged = (argc == 6 ? QString::fromLocal8Bit(argv[5]) : QStringLiteral("sheet,runner"))
                                     .split(QLatin1Char(','), Qt::SkipEmptyParts);

    ScriptedMessageBoxes boxes;
    ScriptedPrintDialogs printing{boxes};
    ScriptedFileDialogs dialogs;
    ScriptedProgress progress;
    FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 24, 36)));
    PictureRegistry pictures;
    registerJpegFormats(pictures, 24);
    registerGifFormat(pictures);
    registerPcx(pictures);
    Services services{boxes, dialogs, dialogs, clock, pictures, printing, progress};
    Workspace workspace(services);
    TMainForm &form = workspace.mainForm;
    if (suffix.isEmpty())
        form.resize(1024, 720);
    else
        form.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    form.show();
    form.openNamedQuestionnaire(questionnaire);
    // The picture as "Choisir image" would show it.
    const bool chosen = runGuarded(boxes, [&] {
        workspace.sheet->store().setCurrentPicture(picture);
        workspace.sheet->loadPicture(picture);
    });
    QStatusTipEvent hint(QStringLiteral("Ecran suivant"));
    QApplication::sendEvent(&form, &hint);
    workspace.sheet->Edit1->setFocus();
    workspace.sheet->Edit1->end(false);

    bool ok = chosen && boxes.shown().isEmpty();
    if (!ok)
        QTextStream(stderr) << "could not open " << questionnaire << " or its picture: " << boxes.lastText() << '\n';
    if (!suffix.isEmpty()) {
        if (enlarged.contains(QStringLiteral("sheet")) || enlarged.contains(QStringLiteral("runner")))
            ok = saveEnlarged(workspace, output, suffix) && ok;
        if (enlarged.contains(QStringLiteral("statistics")))
            ok = saveStatistics(workspace.sheet->store().document(), clock.now(), services,
                                output.filePath(QStringLiteral("statistics-%1.png").arg(suffix)), 25)
                 && ok;
        return ok ? 0 : 1;
    }
    ok = save(form, output.filePath(QStringLiteral("main-window.png"))) && ok;

    TSplash splash;
    splash.show();
    ok = save(splash, output.filePath(QStringLiteral("splash.png"))) && ok;

    workspace.aboutBox.show();
    ok = save(workspace.aboutBox, output.filePath(QStringLiteral("about-box.png"))) && ok;
    HelpWindow *help = form.helpWindow();
    help->showSearch();
    QTest::keyClicks(help->searchBox(), QStringLiteral("enr"));
    QTest::keyClick(help->searchBox(), Qt::Key_Return);
    ok = save(*help, output.filePath(QStringLiteral("help.png"))) && ok;

    // The sheet's windows as the author meets them, shown without their modal loop.
    TPageListe &list = workspace.pageListe;
    list.Init(workspace.sheet->store().document(), 1);
    list.show();
    ok = save(list, output.filePath(QStringLiteral("question-list.png"))) && ok;
    workspace.findDialog.Edit1->setText(QStringLiteral("capitale"));
    workspace.findDialog.show();
    ok = save(workspace.findDialog, output.filePath(QStringLiteral("find-dialog.png"))) && ok;
    workspace.replaceDialog.Edit1->setText(QStringLiteral("capitale"));
    workspace.replaceDialog.Edit2->setText(QStringLiteral("ville principale"));
    workspace.replaceDialog.show();
    ok = save(workspace.replaceDialog, output.filePath(QStringLiteral("replace-dialog.png"))) && ok;
    workspace.fixchemin.openDirectory(QFileInfo(questionnaire).absolutePath());
    workspace.fixchemin.show();
    ok = save(workspace.fixchemin, output.filePath(QStringLiteral("path-dialog.png"))) && ok;
    help->hide();

    // The runner at the size of a common projector screen, on question 1 with its picture and
    // answer 2 typed; then the results of a run with questions 1 and 3 answered.
    TQcm &runner = workspace.runner;
    runner.setGeometry(0, 0, 1366, 768);
    runner.Init(workspace.sheet->store().document());
    runner.show();
    runner.SpinEdit1->setValue(2);
    ok = save(runner, output.filePath(QStringLiteral("runner.png"))) && ok;
    runner.Suivant();
    runner.Suivant();
    runner.SpinEdit1->setValue(1);
    QTimer::singleShot(0, &runner, [&] {
        ok = save(workspace.results, output.filePath(QStringLiteral("results.png"))) && ok;
        // "Enregistrer..." asks the pupil's name first.
        PupilNameDialog pupil(dialogs, QStringLiteral("Léa"), QDir(QFileInfo(questionnaire).absolutePath())
                                  .filePath(QStringLiteral("capitales-resultats.csv")), &workspace.results);
        pupil.show();
        ok = save(pupil, output.filePath(QStringLiteral("pupil-name.png"))) && ok;
        pupil.hide();
        workspace.results.accept();
    });
    runner.Button2->click();

    ok = saveStatistics(workspace.sheet->store().document(), clock.now(), services,
                        output.filePath(QStringLiteral("statistics.png")))
         && ok;
    ok = saveStatistics(workspace.sheet->store().document(), clock.now(), services,
                        output.filePath(QStringLiteral("statistics-marks.png")), 25)
         && ok;
    ok = saveDistractors(services, output.filePath(QStringLiteral("statistics-distractors.png"))) && ok;
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("capitales-resultats.csv"));
        keepClassRuns(workspace.sheet->store().document(), clock.now(), path, 25);
        MarksExportDialog marks(
            ResultsStatistics::of(ResultsFile::read(path), ClassQuestionnaire::fromLines(workspace.sheet->store().document())),
            &form);
        marks.show();
        ok = save(marks, output.filePath(QStringLiteral("marks-export.png"))) && ok;
        // The statistics as "Imprimer..." prints them, their first page drawn by pdftoppm.
        StatisticsWindow statistics(
            path, ResultsStatistics::of(ResultsFile::read(path), ClassQuestionnaire::fromLines(workspace.sheet->store().document())),
            services);
        const QString pdf = folder.filePath(QStringLiteral("statistiques.pdf"));
        printing.script(pdf);
        statistics.PrintButton->click();
        const QString png = output.filePath(QStringLiteral("statistics-report"));
        const bool drawn = QProcess::execute(QStringLiteral("pdftoppm"),
                                             QStringLiteral("-png -r 72 -f 1 -l 1 -singlefile").split(QLatin1Char(' '))
                                                 << pdf << png)
                           == 0;
        QTextStream(stdout) << (drawn ? "wrote " : "could not write ") << png << ".png\n";
        ok = drawn && ok;
    }
    ok = savePaperTest(form, boxes, printing, output) && ok;
    ok = saveClassWindows(workspace.sheet->store().document(), QFileInfo(questionnaire).absolutePath(), services, output)
         && ok;
    ok = saveMarkingWindows(workspace.sheet->store().document(), QFileInfo(questionnaire).absolutePath(), services, output)
         && ok;

    workspace.calendar.show();
    ok = save(workspace.calendar, output.filePath(QStringLiteral("calendar.png"))) && ok;
    workspace.clock.show();
    ok = save(workspace.clock, output.filePath(QStringLiteral("clock.png"))) && ok;

    TPocket &calculator = workspace.calculator;
    calculator.show();
    for (char key : {'1', '/', '7', '='})
        QTest::keyClick(calculator.focusWidget(), key);
    ok = save(calculator, output.filePath(QStringLiteral("calculator.png"))) && ok;
    return ok ? 0 : 1;
}
