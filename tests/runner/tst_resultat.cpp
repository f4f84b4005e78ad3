#include "app/workspace.h"
#include "results/resultsfile.h"
#include "runner/pupilnamedialog.h"
#include "pdfreader.h"
#include "runnertestdata.h"
#include "scriptedservices.h"
#include "whenshown.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressDialog>
#include <QLockFile>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

#include <unistd.h>

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

// Runs the test as an ordinary user while it lives: a folder's permissions mean nothing to root,
// who runs the tests on the build machines.
class AsOrdinaryUser
{
public:
    AsOrdinaryUser() : m_switched(geteuid() == 0 && seteuid(NobodyId) == 0) {}
    ~AsOrdinaryUser()
    {
        if (m_switched && seteuid(0) != 0)
            qFatal("could not become root again");
    }
    AsOrdinaryUser(const AsOrdinaryUser &) = delete;
    AsOrdinaryUser &operator=(const AsOrdinaryUser &) = delete;

private:
    static constexpr uid_t NobodyId = 65534;
    bool m_switched;
};

int runsIn(const QString &path)
{
    return QFile::exists(path) ? int(ResultsFile::read(path).runs.size()) : 0;
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
    void keepingWhereTheFolderIsReadOnly();
    void keepingWhileAnotherWriterHoldsTheFile_data();
    void keepingWhileAnotherWriterHoldsTheFile();
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
    // The rehearsal's row tells its mark too (1 right of 3 marked questions, out of 20).
    QCOMPARE(sheet.runs.back().mid(0, ResultsFile::FixedColumnCount + 3),
             (QStringList{"09/03/2026", "10:30:00", pupil, "1", "3", "6,5", "20", "3", "essai", "", "", "terminé", "",
                          "1", "3", ""}));
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
    // The print dialog showed only a name: where the file went is said afterwards.
    QCOMPARE(program.boxes.lastText(), QStringLiteral("Le fichier PDF a été enregistré sous %1.").arg(pdf));
}

void TestResultat::keepingWhereTheFolderIsReadOnly()
{
    QTemporaryDir dir;
    QDir root(dir.path());
    QVERIFY(root.mkdir("partage") && root.mkdir("ailleurs"));
    // Group as others: the tests' root keeps its groups when it becomes an ordinary user.
    const auto readable = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
        | QFile::ExeOther;
    const auto writable = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    QVERIFY(QFile::setPermissions(dir.path(), readable | QFile::WriteOwner));
    QVERIFY(QFile::setPermissions(root.filePath("partage"), readable));
    QVERIFY(QFile::setPermissions(root.filePath("ailleurs"), readable | writable));
    Program program(root.filePath("partage/quiz.qcm"));
    const QString elsewhere = root.filePath("ailleurs/quiz-resultats.csv");
    {
        const AsOrdinaryUser user;
        program.boxes.script(MessageAnswer::Yes);
        program.dialogs.script(elsewhere);
        answerPupil("Léa");
        program.pressInResults(&TResultat::Button2);
        // The next pupil's run goes to the place chosen, without asking again.
        answerPupil("Noé");
        program.pressInResults(&TResultat::Button2);
    }
    const auto &shown = program.boxes.shown();
    QCOMPARE(shown.size(), 3);
    QVERIFY2(shown.at(0).text.contains("accès refusé") && shown.at(0).text.contains("autre emplacement"),
             qPrintable(shown.at(0).text));
    QCOMPARE(shown.at(2).text, QStringLiteral("Résultats enregistrés dans %1.").arg(elsewhere));
    QCOMPARE(program.dialogs.shown().size(), 1);
    QCOMPARE(runsIn(elsewhere), 2);
    QVERIFY(!QFile::exists(root.filePath("partage/quiz-resultats.csv")));
}

void TestResultat::keepingWhileAnotherWriterHoldsTheFile_data()
{
    QTest::addColumn<bool>("released");  // the other writer finishes while the window waits
    QTest::addColumn<int>("runsAfter");
    QTest::newRow("released while waiting") << true << 1;
    QTest::newRow("held throughout, not tried again") << false << 0;
}

void TestResultat::keepingWhileAnotherWriterHoldsTheFile()
{
    QFETCH(bool, released);
    QFETCH(int, runsAfter);
    QTemporaryDir dir;
    Program program(dir.filePath("quiz.qcm"));
    const QString path = dir.filePath("quiz-resultats.csv");
    QLockFile other(ResultsFile::lockPath(path));
    QVERIFY(other.tryLock(0));
    // Runs only if the window keeps handling events while it waits.
    if (released)
        QTimer::singleShot(300, &program.workspace.results, [&other] { other.unlock(); });
    else
        program.boxes.script(MessageAnswer::No);
    answerPupil("Léa");
    program.pressInResults(&TResultat::Button2);

    QCOMPARE(runsIn(path), runsAfter);
    if (released) {
        QCOMPARE(program.boxes.shown().size(), 1);
        QVERIFY(program.boxes.lastText().startsWith("Résultats enregistrés"));
    } else {
        QVERIFY2(program.boxes.lastText().contains("Réessayer ?"), qPrintable(program.boxes.lastText()));
        QCOMPARE(program.boxes.pendingAnswers(), 0);
    }
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
