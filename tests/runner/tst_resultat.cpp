#include "app/workspace.h"
#include "runner/pupilnamedialog.h"
#include "runner/resultsfile.h"
#include "pdfreader.h"
#include "runnertestdata.h"
#include "scriptedservices.h"
#include "whenshown.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

// A reply to the pupil's name dialog: a name and OK, or Annuler when `name` is null.
void answerPupil(const QString &name)
{
    whenModal<PupilNameDialog>([name](PupilNameDialog *dialog) {
        if (name.isNull()) {
            dialog->reject();
            return;
        }
        dialog->NameEdit->setText(name);
        dialog->accept();
    });
}

} // namespace

struct Program : ScriptedServices
{
    Workspace workspace{services};
    QString questionnaire;

    explicit Program(const QString &path)
        : ScriptedServices(QDateTime(QDate(2026, 3, 9), QTime(10, 30, 0))), questionnaire(path)
    {
        workspace.results.setQuestionnaireFile([this] { return questionnaire; });
    }

    // Scores a run of three questions answered 1, 3 and nothing, shows the results and
    // presses `button` in them before closing.
    void pressInResults(QPushButton *TResultat::*button)
    {
        RunSession session;
        session.Init(RunnerTestData::questionnaire(3));
        session.Compte();
        session.Exec();
        session.Suivant(1);
        session.Suivant(3);
        whenModal<TResultat>([button](TResultat *results) {
            (results->*button)->click();
            results->accept();
        });
        workspace.results.showResults(session.score(0));
    }

    // Prints the results of an unanswered run of `questions` questions for Léa.
    void printRun(int questions)
    {
        RunSession session;
        session.Init(RunnerTestData::questionnaire(questions));
        session.Compte();
        answerPupil("Léa");
        whenModal<TResultat>([](TResultat *results) {
            results->Button3->click();
            results->accept();
        });
        workspace.results.showResults(session.score(0));
    }
};

class TestResultat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keepingResults_data();
    void keepingResults();
    void printingResults();
    void printingLongResults_data();
    void printingLongResults();
    void markColumnKeepsItsWidth_data();
    void markColumnKeepsItsWidth();
};

void TestResultat::keepingResults_data()
{
    QTest::addColumn<QByteArray>("existing");   // the results file before, empty for none
    QTest::addColumn<QString>("pupil");         // null: the dialog is cancelled
    QTest::addColumn<int>("runsAfter");         // -1: the file is as it was
    QTest::addColumn<QString>("message");
    QTest::newRow("first run makes the file") << QByteArray() << "Léa" << 1 << "Résultats enregistrés dans";
    QTest::newRow("cancelled keeps nothing") << QByteArray() << QString() << -1 << QString();
    QTest::newRow("a foreign file is left alone") << QByteArray("Nom;Note\r\nLéa;12\r\n") << "Léa" << -1
                                                  << "n'a pas été modifié";
}

void TestResultat::keepingResults()
{
    QFETCH(QByteArray, existing);
    QFETCH(QString, pupil);
    QFETCH(int, runsAfter);
    QFETCH(QString, message);
    QTemporaryDir dir;
    Program program(dir.filePath("quiz.qcm"));
    const QString path = dir.filePath("quiz-resultats.csv");
    if (!existing.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(existing);
    }

    answerPupil(pupil);
    program.pressInResults(&TResultat::Button2);

    QCOMPARE(program.boxes.lastText().contains(message), true);
    if (message.isEmpty())
        QCOMPARE(program.boxes.shown().size(), 0);
    if (runsAfter < 0) {
        QFile file(path);
        QCOMPARE(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(), existing);
        return;
    }
    const ResultsSheet sheet = ResultsFile::read(path);
    QCOMPARE(int(sheet.runs.size()), runsAfter);
    QCOMPARE(sheet.runs.back().mid(0, 8), (QStringList{"09/03/2026", "10:30:00", pupil, "1", "3", "1", "3", ""}));
}

void TestResultat::printingResults()
{
    if (!PdfReader::available())
        QSKIP("poppler-utils is not installed");
    QTemporaryDir dir;
    Program program(dir.filePath("capitales.qcm"));
    const QString pdf = dir.filePath("resultats.pdf");
    program.printing.script(pdf);
    answerPupil("Léa Martin");
    program.pressInResults(&TResultat::Button3);

    const QString text = PdfReader::text(pdf);
    for (const char *expected : {"capitales", "Léa Martin", "09/03/2026", "Bonnes réponses : 1 sur 3", "Titre 3"})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    QCOMPARE(PdfReader::pageCount(pdf), 1);
}

void TestResultat::printingLongResults_data()
{
    // "Annuler" is pressed when the progress reads this ("" at once); null: never.
    QTest::addColumn<QString>("stopAt");
    QTest::newRow("printed to the end") << QString();
    QTest::newRow("stopped at once") << "";
    QTest::newRow("stopped while drawn") << "Impression de la page 40 ";
}

void TestResultat::printingLongResults()
{
    QFETCH(QString, stopAt);
    QTemporaryDir dir;
    Program program(dir.filePath("capitales.qcm"));
    const QString pdf = dir.filePath("resultats.pdf");
    program.printing.script(pdf);
    // The window answers while the pages are made: the progress shows, and "Annuler" is heard.
    QStringList labels;
    whenModal<QProgressDialog>([&labels, stopAt](QProgressDialog *progress) {
        auto *watch = new QTimer(progress);
        QObject::connect(watch, &QTimer::timeout, progress, [&labels, stopAt, progress] {
            const QString label = progress->labelText().section(' ', 0, 1);
            if (labels.isEmpty() || labels.back() != label)
                labels << label;
            if (!stopAt.isNull() && progress->labelText().startsWith(stopAt))
                progress->cancel();
        });
        watch->start(0);
    });
    program.printRun(3000);

    QVERIFY(!labels.isEmpty());
    QCOMPARE(QFile::exists(pdf), stopAt.isNull());
    if (!stopAt.isNull() || !PdfReader::available())
        return;
    QCOMPARE(labels.back(), QStringLiteral("Impression de"));
    const int pages = PdfReader::pageCount(pdf);
    QVERIFY(pages > 60);
    const QString text = PdfReader::text(pdf);
    // The header row on every page, every question once.
    QCOMPARE(int(text.count("Solution")), pages);
    QVERIFY(text.contains("Titre 3000"));
    QVERIFY(text.contains(QStringLiteral("Page %1 / %1").arg(pages)));
}

void TestResultat::markColumnKeepsItsWidth_data()
{
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("titleWidth"); // set by hand once shown; 0 leaves it
    QTest::newRow("three questions") << 3 << 0;
    QTest::newRow("a grid that scrolls") << 40 << 0;
    QTest::newRow("title column narrowed by hand") << 3 << 150;
}

void TestResultat::markColumnKeepsItsWidth()
{
    QFETCH(int, questions);
    QFETCH(int, titleWidth);
    Program program{QString()};
    RunSession session;
    session.Init(RunnerTestData::questionnaire(questions));
    session.Compte();
    QList<int> widths;
    whenModal<TResultat>([&](TResultat *results) {
        if (titleWidth > 0)
            results->StringGrid1->horizontalHeader()->resizeSection(0, titleWidth);
        for (int column = 0; column < 4; ++column)
            widths << results->StringGrid1->columnWidth(column);
        results->accept();
    });
    program.workspace.results.showResults(session.score(0));
    QCOMPARE(widths, (QList<int>{titleWidth > 0 ? titleWidth : 290, 70, 70, 10}));
}

QTEST_MAIN(TestResultat)
#include "tst_resultat.moc"
