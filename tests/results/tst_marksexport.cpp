#include "classroom/classquestionnaire.h"
#include "platform/apperror.h"
#include "results/marksexport.h"
#include "runner/runnertestdata.h"
#include "resultstestdata.h"

#include <QtTest>

namespace {

// Two questions whose right answer is 1: two right answers make 20, one 10.
ResultsStatistics statisticsOf(const QList<QStringList> &rows, bool marked = true)
{
    const QStringList answers{"a", "b", "c", "d", "e"};
    const ClassQuestionnaire questionnaire = ClassQuestionnaire::fromLines(
        RunnerTestData::block(0, "Un", answers, marked ? "1" : "") + RunnerTestData::block(1, "Deux", answers, marked ? "1" : ""));
    return ResultsStatistics::of(ResultsTestData::sheetOf({"Un", "Deux"}, rows), questionnaire);
}

// A finished run of `name` at `time` on 9 March, its mark kept, its answers worth 10.
QStringList runAt(const QString &name, const QString &time, const QString &mark, const QString &state = QStringLiteral("terminé"))
{
    return ResultsTestData::run(name, mark, {"1", "2"}, state, QStringLiteral("20"), QStringLiteral("09/03/2026"), time);
}

QStringList linesOf(const QByteArray &csv)
{
    QStringList lines = QString::fromUtf8(csv.mid(3)).split(QStringLiteral("\r\n"));
    lines.removeLast(); // after the last line end
    return lines;
}

} // namespace

class TestMarksExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void chosenMarks_data();
    void chosenMarks();
    void nothingToExport_data();
    void nothingToExport();
    void resultsFileKept();
};

void TestMarksExport::chosenMarks_data()
{
    QTest::addColumn<QList<QStringList>>("runs");
    QTest::addColumn<bool>("best");
    QTest::addColumn<bool>("countUnfinished");
    QTest::addColumn<bool>("recompute");
    QTest::addColumn<QStringList>("rows");    // after the header
    QTest::addColumn<QString>("leftOut");     // the summary after its first line

    const QList<QStringList> twice{runAt("Léa", "10:00:00", "15"), runAt("Noé", "10:05:00", "8"), runAt("Léa", "11:00:00", "12")};
    QTest::newRow("latest") << twice << false << false << false << QStringList{"Léa;12", "Noé;8"} << "";
    QTest::newRow("best") << twice << true << false << false << QStringList{"Léa;15", "Noé;8"} << "";
    // A spreadsheet sorted the file: the latest is the latest in time, not in the file.
    QTest::newRow("latest by time, not by place")
        << QList<QStringList>{ResultsTestData::run("Léa", "12", {"1", "2"}, "terminé", "20", "10/03/2026", "08:00:00"),
                              runAt("Léa", "18:00:00", "15")}
        << false << false << false << QStringList{"Léa;12"} << "";
    QTest::newRow("best: a tie goes to the latest, with its spelling")
        << QList<QStringList>{runAt("léa  martin", "10:00:00", "15"), runAt("Léa Martin", "09:00:00", "15"),
                              runAt(" LÉA MARTIN", "11:00:00", "15")}
        << true << false << false << QStringList{"LÉA MARTIN;15"} << "";
    QTest::newRow("French order")
        << QList<QStringList>{runAt("Zoé", "10:00:00", "1"), runAt("élodie", "10:00:00", "2"), runAt("Eva", "10:00:00", "3"),
                              runAt("Élève 10", "10:00:00", "4"), runAt("Élève 2", "10:00:00", "5"), runAt("Emile", "10:00:00", "6")}
        << false << false << false
        << QStringList{"Élève 2;5", "Élève 10;4", "élodie;2", "Emile;6", "Eva;3", "Zoé;1"} << "";
    QTest::newRow("a name taken for a formula") << QList<QStringList>{runAt("=SOMME(A1:A9)", "10:00:00", "13,5")} << false
                                                << false << false << QStringList{"'=SOMME(A1:A9);13,5"} << "";
    QTest::newRow("runs without a name")
        << QList<QStringList>{runAt("", "10:00:00", "13,5"), runAt("  ", "10:00:00", "12"), runAt("Léa", "10:00:00", "9")}
        << false << false << false << QStringList{"Léa;9"} << "2 passations sans nom d'élève n'ont pas été exportées.";
    const QList<QStringList> unfinished{runAt("Léa", "10:00:00", "15"), runAt("Léa", "11:00:00", "4", "inachevé"),
                                        runAt("Noé", "10:00:00", "6", "inachevé")};
    QTest::newRow("unfinished left out") << unfinished << false << false << false << QStringList{"Léa;15"}
                                         << "2 passations inachevées n'ont pas été comptées.\n"
                                            "Sans note, faute de passation terminée : Noé.";
    QTest::newRow("unfinished counted") << unfinished << false << true << false << QStringList{"Léa;4", "Noé;6"} << "";
    // Each run's answers are worth 10 today, whatever was kept.
    QTest::newRow("worked out again") << twice << true << false << true << QStringList{"Léa;10", "Noé;10"} << "";
}

void TestMarksExport::chosenMarks()
{
    QFETCH(QList<QStringList>, runs);
    QFETCH(bool, best);
    QFETCH(bool, countUnfinished);
    QFETCH(bool, recompute);
    QFETCH(QStringList, rows);
    QFETCH(QString, leftOut);
    MarksExport::Options options;
    options.choice = best ? MarksExport::Choice::Best : MarksExport::Choice::Latest;
    options.countUnfinished = countUnfinished;
    options.recompute = recompute;
    const MarksExport::Table table = MarksExport::of(statisticsOf(runs), options);
    const QByteArray csv = MarksExport::csv(table);
    QVERIFY(csv.startsWith(CsvText::ByteOrderMark));
    QCOMPARE(linesOf(csv), QStringList{"Nom;Note / 20"} + rows);
    const QString summary = MarksExport::summary(table, QStringLiteral("notes.csv"));
    QCOMPARE(summary.section(QLatin1Char('\n'), 1), leftOut);
}

void TestMarksExport::nothingToExport_data()
{
    QTest::addColumn<QList<QStringList>>("runs");
    QTest::addColumn<bool>("marked");
    QTest::addColumn<QString>("message");
    QTest::newRow("no run") << QList<QStringList>() << true << "ne contient aucune passation";
    QTest::newRow("no name") << QList<QStringList>{runAt("", "10:00:00", "12")} << true << "Aucune passation n'a de nom";
    QTest::newRow("every run unfinished") << QList<QStringList>{runAt("Léa", "10:00:00", "12", "inachevé")} << true
                                          << "Compter les passations inachevées";
    QTest::newRow("no question marked") << QList<QStringList>{runAt("Léa", "10:00:00", "")} << false
                                        << "aucune question du questionnaire n'a de bonne réponse";
}

void TestMarksExport::nothingToExport()
{
    QFETCH(QList<QStringList>, runs);
    QFETCH(bool, marked);
    QFETCH(QString, message);
    try {
        MarksExport::of(statisticsOf(runs, marked), MarksExport::Options());
        QFAIL("exported");
    } catch (const AppError &error) {
        QVERIFY2(error.message().contains(message), qPrintable(error.message()));
    }
}

// A results file chosen by mistake keeps its runs.
void TestMarksExport::resultsFileKept()
{
    QTemporaryDir dir;
    const MarksExport::Table table = MarksExport::of(statisticsOf({runAt("Léa", "10:00:00", "13,5")}), MarksExport::Options());
    const QString results = dir.filePath(QStringLiteral("quiz-resultats.csv"));
    const QByteArray runs = ResultsTestData::fileText({"Un", "Deux"}, {runAt("Léa", "10:00:00", "13,5")});
    QFile file(results);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(runs) == runs.size());
    file.close();
    QVERIFY_THROWS_EXCEPTION(AppError, MarksExport::write(results, table));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), runs);
}

QTEST_GUILESS_MAIN(TestMarksExport)
#include "tst_marksexport.moc"
