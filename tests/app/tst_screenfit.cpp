#include "pictures/picturechoicedialog.h"
#include "platform/helpwindow.h"
#include "platform/printdialogs.h"
#include "platform/qtfiledialogs.h"
#include "runner/resultsstatistics.h"
#include "runner/statisticswindow.h"
#include "scriptedservices.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <functional>

// The windows the program opens at a size of its own (statistics, print preview, print and file
// dialogs, the picture choice, the help) fit a 1366 x 768 screen at 100, 150 and 200 %. Qt reads the scale and the screen once,
// when the application starts: each scale runs in a child process of this test, which checks
// every window and lists what lies out of reach.

namespace {

constexpr char ScaleVariable[] = "NELO_SCREEN_FIT_SCALE";

// A class's statistics with long question titles and many pupils: the grids want more room
// than any screen gives.
ResultsStatistics bigClass()
{
    ResultsStatistics statistics;
    for (int q = 1; q <= 40; ++q) {
        ResultsStatistics::Question question;
        question.caption = QStringLiteral("%1. Quelle est la capitale du pays dont le drapeau est montré ci-dessous ?").arg(q);
        question.answered = 30;
        question.right = q % 30;
        question.solution = 1 + q % 5;
        question.chosen = {q % 7, 3, 5, 8, 30 - q % 7 - 16};
        statistics.questions.push_back(question);
    }
    for (int p = 1; p <= 30; ++p)
        statistics.pupils.push_back({QStringLiteral("07/12/2026"), QStringLiteral("10:24:36"),
                                     QStringLiteral("Élève numéro %1").arg(p), p % 40, 40});
    return statistics;
}

// True for a control that scrolls inside a list, a table or a page: it is reached by scrolling.
bool insideScrolledArea(const QWidget *control, const QWidget *window)
{
    for (const QWidget *up = control->parentWidget(); up && up != window; up = up->parentWidget()) {
        if (const auto *area = qobject_cast<const QAbstractScrollArea *>(up->parentWidget()); area && area->viewport() == up)
            return true;
    }
    return false;
}

// What of window lies outside room: the window itself, or one of the controls a person must
// reach (buttons, fields, lists of choices) cut off by its window's edge.
QStringList outOfReach(const QWidget *window, const QRect &room)
{
    QStringList found;
    const QRect placed = window->frameGeometry();
    if (!room.contains(placed))
        found << QStringLiteral("%1 at %2,%3 %4x%5 in %6x%7")
                     .arg(QString::fromLatin1(window->metaObject()->className()))
                     .arg(placed.x()).arg(placed.y()).arg(placed.width()).arg(placed.height())
                     .arg(room.width()).arg(room.height());
    const QRect inside(window->mapToGlobal(QPoint(0, 0)), window->size());
    for (const QWidget *control : window->findChildren<QWidget *>()) {
        const bool reached = qobject_cast<const QAbstractButton *>(control) || qobject_cast<const QLineEdit *>(control)
                             || qobject_cast<const QComboBox *>(control) || qobject_cast<const QAbstractSpinBox *>(control);
        if (!reached || !control->isVisibleTo(window) || control->window() != window || insideScrolledArea(control, window))
            continue;
        const QRect where(control->mapToGlobal(QPoint(0, 0)), control->size());
        if (!inside.contains(where) || !room.contains(where))
            found << QStringLiteral("%1 \"%2\" at %3,%4 %5x%6")
                         .arg(QString::fromLatin1(control->metaObject()->className()), control->objectName())
                         .arg(where.x()).arg(where.y()).arg(where.width()).arg(where.height());
    }
    return found;
}

// Runs opening (which shows a modal window and returns when it is closed) and checks that
// window while it is shown.
QStringList checkModal(const std::function<void()> &opening)
{
    QStringList found{QStringLiteral("no window shown")};
    int tries = 500;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        QWidget *window = QApplication::activeModalWidget();
        if (!window && --tries > 0)
            return;
        poll.stop();
        if (!window)
            return;
        // Let the window finish its own placing (a dialog centres itself once shown).
        QApplication::processEvents();
        found = outOfReach(window, window->screen()->availableGeometry());
        window->close();
    });
    poll.start();
    opening();
    return found;
}

} // namespace

class TestScreenFit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fitsAtEveryScale_data();
    void fitsAtEveryScale();
    void windowsAtThisScale_data();
    void windowsAtThisScale();
};

void TestScreenFit::fitsAtEveryScale_data()
{
    QTest::addColumn<QString>("scale");
    QTest::newRow("100 %") << "1";
    QTest::newRow("150 %") << "1.5";
    QTest::newRow("200 %") << "2";
}

void TestScreenFit::fitsAtEveryScale()
{
    QFETCH(QString, scale);
    if (qEnvironmentVariableIsSet(ScaleVariable))
        QSKIP("in the child process");
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=" NELO_SCREEN_1366X768));
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), scale);
    environment.insert(QString::fromLatin1(ScaleVariable), scale);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("windowsAtThisScale")});
    QVERIFY(child.waitForFinished(120000));
    const QByteArray output = child.readAll();
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
    QVERIFY2(output.contains("PASS   : TestScreenFit::windowsAtThisScale(statistics of a big class)"), output.constData());
}

void TestScreenFit::windowsAtThisScale_data()
{
    QTest::addColumn<QString>("window");
    for (const char *window : {"statistics of a big class", "statistics without a chart", "print preview",
                               "print dialog", "open dialog", "save dialog", "picture dialog", "help"})
        QTest::newRow(window) << QString::fromLatin1(window);
}

void TestScreenFit::windowsAtThisScale()
{
    QFETCH(QString, window);
    if (!qEnvironmentVariableIsSet(ScaleVariable))
        QSKIP("run by fitsAtEveryScale, with the screen and the scale set");
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double scale = qEnvironmentVariable(ScaleVariable).toDouble();
    // The scale took: the screen's logical size is 1366 x 768 divided by it.
    QCOMPARE(screen->availableGeometry().size(), QSize(qRound(1366 / scale), qRound(768 / scale)));
    const QRect room = screen->availableGeometry();

    ScriptedServices scripted;
    QStringList found;
    if (window.startsWith(QStringLiteral("statistics"))) {
        const StatisticsChartModule charts(window.endsWith(QStringLiteral("chart")) ? QString()
                                                                                    : QStringLiteral(NELO_STATISTICS_CHART));
        StatisticsWindow statistics(QStringLiteral("classe-resultats.csv"), bigClass(), scripted.services, charts);
        statistics.show();
        QVERIFY(QTest::qWaitForWindowExposed(&statistics));
        found = outOfReach(&statistics, room);
    } else if (window.startsWith(QStringLiteral("print"))) {
        QtPrintDialogs printing;
        QPrinter printer(QPrinter::HighResolution);
        const PrintDialogs::Painter blank = [](QPrinter &) {};
        found = checkModal([&] {
            if (window == QStringLiteral("print preview"))
                printing.preview(printer, blank, nullptr);
            else
                printing.print(printer, blank, nullptr);
        });
    } else if (window == QStringLiteral("help")) {
        HelpWindow help(QStringLiteral(":/help"));
        help.showContents();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        found = outOfReach(&help, room);
    } else if (window == QStringLiteral("picture dialog")) {
        PictureFileDialogs dialogs(scripted.pictures);
        found = checkModal([&] { dialogs.openFile(QString(), QString(), FileDialogs::Folder::KeepCurrent); });
    } else {
        QtFileDialogs dialogs;
        found = checkModal([&] {
            if (window == QStringLiteral("open dialog"))
                dialogs.openFile(QStringLiteral("Questionnaire (*.qcm)|*.qcm"), QStringLiteral("*.qcm"),
                                 FileDialogs::Folder::KeepCurrent);
            else
                dialogs.saveFile(QStringLiteral("Questionnaires (*.qcm)|*.qcm"), QStringLiteral("*.qcm"));
        });
    }
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QStringLiteral("; "))));
}

QTEST_MAIN(TestScreenFit)
#include "tst_screenfit.moc"
