#include "pictures/picturechoicedialog.h"
#include "platform/helpwindow.h"
#include "platform/printdialogs.h"
#include "platform/qtfiledialogs.h"
#include "results/statisticswindow.h"
#include "scriptedservices.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QtTest>

// The windows the program opens at a size of its own fit a 1366 x 768 screen at 100, 150 and
// 200 %. Qt reads the scale and the screen once, at start: each scale runs in a child process of
// this test, which opens every window and lists what of it lies out of reach.

namespace {

constexpr char ScaleVariable[] = "NELO_SCREEN_FIT_SCALE";

// Long titles, many pupils, every note the window can show: the grids and the lines above them
// want more room than any screen gives.
ResultsStatistics bigClass()
{
    ResultsStatistics statistics;
    for (int q = 1; q <= 40; ++q) {
        statistics.questions.push_back({QStringLiteral("%1. Quelle est la capitale du pays dont le drapeau est montré ?").arg(q),
                                        30, q % 30, 1 + q % 5, {q % 7, 3, 5, 8, 14 - q % 7}, {q / 40.0, -0.25, true}});
    }
    std::vector<double> marks;
    for (int p = 1; p <= 30; ++p) {
        ResultsStatistics::Pupil pupil;
        pupil.date = QStringLiteral("07/12/2026");
        pupil.time = QStringLiteral("10:24:36");
        pupil.name = QStringLiteral("Élève %1").arg(p);
        pupil.right = p;
        pupil.count = 40;
        pupil.mark = p * 0.5;
        pupil.markKept = true;
        pupil.currentMark = p * 0.5 + 1;
        pupil.finished = p % 10 != 0;
        statistics.pupils.push_back(pupil);
        marks.push_back(p * 0.5);
    }
    statistics.marks = MarkSummary::of(marks, 20);
    return statistics;
}

// The window, or a button, field or list of choices cut off by its window's edge or the screen's;
// controls inside a scrolled list or page are reached by scrolling.
QStringList outOfReach(const QWidget *window)
{
    const QRect room = window->screen()->availableGeometry();
    const auto text = [](const QObject *what, const QRect &where) {
        return QStringLiteral("%1 %2 at %3,%4 %5x%6").arg(QString::fromLatin1(what->metaObject()->className()), what->objectName())
            .arg(where.x()).arg(where.y()).arg(where.width()).arg(where.height());
    };
    QStringList found;
    if (!room.contains(window->frameGeometry()))
        found << text(window, window->frameGeometry());
    const QRect inside(window->mapToGlobal(QPoint(0, 0)), window->size());
    for (const QWidget *control : window->findChildren<QWidget *>()) {
        bool scrolled = false;
        for (const QWidget *up = control; up != window && !scrolled; up = up->parentWidget()) {
            const auto *area = qobject_cast<const QAbstractScrollArea *>(up->parentWidget());
            scrolled = area && area->viewport() == up;
        }
        const bool reached = qobject_cast<const QAbstractButton *>(control) || qobject_cast<const QLineEdit *>(control)
                             || qobject_cast<const QComboBox *>(control);
        const QRect where(control->mapToGlobal(QPoint(0, 0)), control->size());
        if (reached && !scrolled && control->isVisibleTo(window) && control->window() == window
            && !(inside.contains(where) && room.contains(where)))
            found << text(control, where);
    }
    return found;
}

// Checks the modal window opening shows, from inside its own loop, then closes it.
QStringList checkModal(const std::function<void()> &opening)
{
    QStringList found{QStringLiteral("no window shown")};
    QTimer::singleShot(200, QCoreApplication::instance(), [&found] {
        if (QWidget *window = QApplication::activeModalWidget()) {
            found = outOfReach(window);
            window->close();
        }
    });
    opening();
    return found;
}

} // namespace

class TestScreenFit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fitsAtEveryScale_data()
    {
        QTest::addColumn<QString>("scale");
        QTest::newRow("100 %") << "1";
        QTest::newRow("150 %") << "1.5";
        QTest::newRow("200 %") << "2";
    }

    void fitsAtEveryScale()
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
        QVERIFY2(child.exitCode() == 0 && output.contains("Totals: 10 passed, 0 failed"), output.constData());
    }

    void windowsAtThisScale_data()
    {
        QTest::addColumn<QString>("window");
        for (const char *window : {"statistics of a big class", "statistics without a chart", "print preview", "print dialog",
                                   "open dialog", "save dialog", "picture dialog", "help"})
            QTest::newRow(window) << QString::fromLatin1(window);
    }

    void windowsAtThisScale()
    {
        QFETCH(QString, window);
        if (!qEnvironmentVariableIsSet(ScaleVariable))
            QSKIP("run by fitsAtEveryScale, with the screen and the scale set");
        // The scale took: the screen's logical size is 1366 x 768 divided by it.
        const double scale = qEnvironmentVariable(ScaleVariable).toDouble();
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry().size(), QSize(qRound(1366 / scale), qRound(768 / scale)));

        ScriptedServices scripted;
        QtPrintDialogs printing(scripted.boxes);
        const PrintJob job;
        QtFileDialogs files;
        PictureFileDialogs pictures(scripted.pictures);
        QStringList found;
        if (window.startsWith(QStringLiteral("statistics"))) {
            StatisticsWindow statistics(QStringLiteral("classe-resultats.csv"), bigClass(), scripted.services,
                                        StatisticsChartModule(window.endsWith(QStringLiteral("chart")) ? QString() : QStringLiteral(NELO_STATISTICS_CHART)));
            statistics.show();
            QVERIFY(QTest::qWaitForWindowExposed(&statistics));
            found = outOfReach(&statistics);
        } else if (window == QStringLiteral("help")) {
            HelpWindow help(QStringLiteral(":/help"));
            help.showContents();
            QVERIFY(QTest::qWaitForWindowExposed(&help));
            found = outOfReach(&help);
        } else {
            found = checkModal([&] {
                if (window == QStringLiteral("print preview"))
                    printing.preview(job, [](PrintTarget &) {}, nullptr);
                else if (window == QStringLiteral("print dialog"))
                    printing.print(job, [](PrintTarget &) {}, nullptr);
                else if (window == QStringLiteral("open dialog"))
                    files.openFile(QStringLiteral("Questionnaire (*.qcm)|*.qcm"), QString(), FileDialogs::Folder::KeepCurrent);
                else if (window == QStringLiteral("save dialog"))
                    files.saveFile(QStringLiteral("Questionnaires (*.qcm)|*.qcm"), QString());
                else
                    pictures.openFile(QString(), QString(), FileDialogs::Folder::KeepCurrent);
            });
        }
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QStringLiteral("; "))));
    }
};

QTEST_MAIN(TestScreenFit)
#include "tst_screenfit.moc"
