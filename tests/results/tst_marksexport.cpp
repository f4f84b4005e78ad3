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

// The lines without their last column, the copy each mark comes from.
QStringList marksOf(const QByteArray &csv)
{
    QStringList lines = linesOf(csv);
    for (QString &line : lines)
        line = line.section(QLatin1Char(';'), 0, -2);
    return lines;
}

// The run, taken another way ("réseau", "papier").
QStringList takenBy(QStringList run, const QString &way)
{
    run[ResultsFile::WayColumn] = way;
    return run;
}

} // namespace

Q_DECLARE_METATYPE(PupilCopies::Rule)

class TestMarksExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void chosenMarks_data();
    void chosenMarks();
    void classListOrder_data();
    void classListOrder();
    void copyUsed_data();
    void copyUsed();
    void namesApart_data();
    void namesApart();
    void nothingToExport_data();
    void nothingToExport();
    void resultsFileKept();
};

void TestMarksExport::chosenMarks_data()
{
    using Choice = MarksExport::Choice;
    constexpr Choice Latest = Choice::LatestFinished, Best = Choice::Best, Mean = Choice::Mean;
    QTest::addColumn<QList<QStringList>>("runs");
    QTest::addColumn<MarksExport::Choice>("choice");
    QTest::addColumn<bool>("countUnfinished");
    QTest::addColumn<bool>("recompute");
    QTest::addColumn<QStringList>("rows");    // after the header
    QTest::addColumn<QString>("leftOut");     // the summary after its first line

    const QList<QStringList> twice{runAt("Léa", "10:00:00", "15"), runAt("Noé", "10:05:00", "8"), runAt("Léa", "11:00:00", "12")};
    QTest::newRow("latest") << twice << Latest << false << false << QStringList{"Léa;12", "Noé;8"} << "";
    QTest::newRow("best") << twice << Best << false << false << QStringList{"Léa;15", "Noé;8"} << "";
    // A spreadsheet sorted the file: the latest is the latest in time, not in the file.
    QTest::newRow("latest by time, not by place")
        << QList<QStringList>{ResultsTestData::run("Léa", "12", {"1", "2"}, "terminé", "20", "10/03/2026", "08:00:00"),
                              runAt("Léa", "18:00:00", "15")}
        << Latest << false << false << QStringList{"Léa;12"} << "";
    QTest::newRow("best: a tie goes to the latest, with its spelling")
        << QList<QStringList>{runAt("léa  martin", "10:00:00", "15"), runAt("Léa Martin", "09:00:00", "15"),
                              runAt(" LÉA MARTIN", "11:00:00", "15")}
        << Best << false << false << QStringList{"LÉA MARTIN;15"} << "";
    QTest::newRow("French order")
        << QList<QStringList>{runAt("Zoé", "10:00:00", "1"), runAt("élodie", "10:00:00", "2"), runAt("Eva", "10:00:00", "3"),
                              runAt("Élève 10", "10:00:00", "4"), runAt("Élève 2", "10:00:00", "5"), runAt("Emile", "10:00:00", "6")}
        << Latest << false << false
        << QStringList{"Élève 2;5", "Élève 10;4", "élodie;2", "Emile;6", "Eva;3", "Zoé;1"} << "";
    QTest::newRow("a name taken for a formula") << QList<QStringList>{runAt("=SOMME(A1:A9)", "10:00:00", "13,5")} << Latest
                                                << false << false << QStringList{"'=SOMME(A1:A9);13,5"} << "";
    QTest::newRow("runs without a name")
        << QList<QStringList>{runAt("", "10:00:00", "13,5"), runAt("  ", "10:00:00", "12"), runAt("Léa", "10:00:00", "9")}
        << Latest << false << false << QStringList{"Léa;9"} << "2 passations sans nom d'élève n'ont pas été exportées.";
    const QList<QStringList> unfinished{runAt("Léa", "10:00:00", "15"), runAt("Léa", "11:00:00", "4", "inachevé"),
                                        runAt("Noé", "10:00:00", "6", "inachevé")};
    QTest::newRow("unfinished left out") << unfinished << Latest << false << false << QStringList{"Léa;15"}
                                         << "2 passations inachevées n'ont pas été comptées.\n"
                                            "Sans note, faute de passation terminée : Noé.";
    // An unfinished copy counts only for a pupil who finished none.
    QTest::newRow("unfinished counted") << unfinished << Latest << true << false << QStringList{"Léa;15", "Noé;6"} << "";
    QTest::newRow("a later unfinished network try never replaces a finished 17,5")
        << QList<QStringList>{takenBy(runAt("Hugo", "10:00:00", "17,5"), "réseau"),
                              takenBy(runAt("Hugo", "10:40:00", "0", "inachevé"), "réseau")}
        << Latest << true << false << QStringList{"Hugo;17,5"} << "";
    QTest::newRow("best: a removed copy never counts")
        << QList<QStringList>{runAt("Léa", "10:00:00", "12"), runAt("Léa", "11:00:00", "18", "retirée")} << Best << true
        << false << QStringList{"Léa;12"} << "1 passation retirée de la classe n'a pas été comptée.";
    QTest::newRow("mean, to the settings' step")
        << QList<QStringList>{runAt("Léa", "10:00:00", "15"), runAt("Noé", "10:05:00", "8"), runAt("Léa", "11:00:00", "12"),
                              runAt("Léa", "12:00:00", "12")}
        << Mean << false << false << QStringList{"Léa;13", "Noé;8"} << "";
    // Each run's answers are worth 10 today, whatever was kept.
    QTest::newRow("worked out again") << twice << Best << false << true << QStringList{"Léa;10", "Noé;10"} << "";
}

void TestMarksExport::chosenMarks()
{
    QFETCH(QList<QStringList>, runs);
    QFETCH(MarksExport::Choice, choice);
    QFETCH(bool, countUnfinished);
    QFETCH(bool, recompute);
    QFETCH(QStringList, rows);
    QFETCH(QString, leftOut);
    MarksExport::Options options;
    options.choice = choice;
    options.countUnfinished = countUnfinished;
    options.recompute = recompute;
    const MarksExport::Table table = MarksExport::of(statisticsOf(runs), options);
    const QByteArray csv = MarksExport::csv(table);
    QVERIFY(csv.startsWith(CsvText::ByteOrderMark));
    QCOMPARE(marksOf(csv), QStringList{"Nom;Note / 20"} + rows);
    const QString summary = MarksExport::summary(table, QStringLiteral("notes.csv"));
    QCOMPARE(summary.section(QLatin1Char('\n'), 1), leftOut);
}

// With a class list: every pupil of the list in its order, whether or not a copy counts.
void TestMarksExport::classListOrder_data()
{
    QTest::addColumn<QStringList>("classList");
    QTest::addColumn<bool>("absentAsAbs");
    QTest::addColumn<QStringList>("lines");  // without the copy column
    QTest::addColumn<QString>("leftOut");    // the summary after its first line

    const QStringList apart{"NGUYEN Hugo", "MARTIN Léa", "DE LA FONTAINE Jean-Marie", "DUPONT Chloé"};
    QTest::newRow("surname and first names apart, absent ABS")
        << apart << true
        << QStringList{"Nom;Prénom;Classe;Note / 20", "NGUYEN;Hugo;4e B;17,5", "MARTIN;Léa;4e B;12",
                       "DE LA FONTAINE;Jean-Marie;4e B;ABS", "DUPONT;Chloé;4e B;ABS"}
        << "2 élèves de la liste n'ont pas de copie qui compte : « ABS ».\n"
           "Pas dans la liste de la classe, donc pas dans le fichier : Zoé.\n"
           "1 passation inachevée n'a pas été comptée.\n"
           "Sans note, faute de passation terminée : DUPONT Chloé.";
    QTest::newRow("absent left empty") << apart.mid(2) << false
        << QStringList{"Nom;Prénom;Classe;Note / 20", "DE LA FONTAINE;Jean-Marie;4e B;", "DUPONT;Chloé;4e B;"}
        << "2 élèves de la liste n'ont pas de copie qui compte : case vide.\n"
           "Pas dans la liste de la classe, donc pas dans le fichier : martin léa, Nguyen Hugo, Zoé.\n"
           "1 passation inachevée n'a pas été comptée.\n"
           "Sans note, faute de passation terminée : DUPONT Chloé.";
    QTest::newRow("one name column when the list does not part them")
        << QStringList{"Zoé", "NGUYEN HUGO"} << true << QStringList{"Nom;Classe;Note / 20", "Zoé;4e B;9", "NGUYEN HUGO;4e B;17,5"}
        << "Pas dans la liste de la classe, donc pas dans le fichier : martin léa.\n"
           "1 passation inachevée n'a pas été comptée.";
}

void TestMarksExport::classListOrder()
{
    QFETCH(QStringList, classList);
    QFETCH(bool, absentAsAbs);
    QFETCH(QStringList, lines);
    QFETCH(QString, leftOut);
    MarksExport::Options options;
    options.className = QStringLiteral("4e B");
    options.classList = classList;
    options.absentAsAbs = absentAsAbs;
    const QList<QStringList> runs{runAt("martin  léa", "10:00:00", "12"), runAt("Nguyen Hugo", "10:00:00", "17,5"),
                                  runAt("Zoé", "10:00:00", "9"), runAt("DUPONT Chloé", "10:00:00", "4", "inachevé")};
    const MarksExport::Table table = MarksExport::of(statisticsOf(runs), options);
    QCOMPARE(marksOf(MarksExport::csv(table)), lines);
    QCOMPARE(MarksExport::summary(table, QStringLiteral("notes.csv")).section(QLatin1Char('\n'), 1), leftOut);
}

// The last column says which copy gave the mark, or why there is none.
void TestMarksExport::copyUsed_data()
{
    QTest::addColumn<QList<QStringList>>("runs");
    QTest::addColumn<MarksExport::Choice>("choice");
    QTest::addColumn<QString>("copy");

    const QList<QStringList> twice{takenBy(runAt("Léa", "10:00:00", "15"), "réseau"), runAt("Léa", "11:00:30", "12")};
    QTest::newRow("latest") << twice << MarksExport::Choice::LatestFinished << "09/03/2026 11:00, poste";
    QTest::newRow("mean") << twice << MarksExport::Choice::Mean
                          << "moyenne de 2 copies : 09/03/2026 10:00, réseau + 09/03/2026 11:00, poste";
    QStringList paper = takenBy(runAt("Léa", "08:15:00", "15"), "papier");
    paper[ResultsFile::CopyColumn] = QStringLiteral("12");
    QTest::newRow("paper copy") << QList<QStringList>{paper} << MarksExport::Choice::LatestFinished
                                << "09/03/2026 08:15, papier n° 12";
    QTest::newRow("unfinished") << QList<QStringList>{runAt("Léa", "10:00:00", "4", "inachevé")}
                                << MarksExport::Choice::LatestFinished << "09/03/2026 10:00, poste (inachevée)";
    QTest::newRow("only removed") << QList<QStringList>{runAt("Léa", "10:00:00", "4", "retirée"), runAt("Noé", "10:00:00", "4")}
                                  << MarksExport::Choice::LatestFinished << "copie retirée";
}

void TestMarksExport::copyUsed()
{
    QFETCH(QList<QStringList>, runs);
    QFETCH(MarksExport::Choice, choice);
    QFETCH(QString, copy);
    MarksExport::Options options;
    options.choice = choice;
    options.countUnfinished = true;
    options.className = QStringLiteral("4e B");
    options.classList = QStringList{"Léa"};
    const QStringList lines = linesOf(MarksExport::csv(MarksExport::of(statisticsOf(runs), options)));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0).section(QLatin1Char(';'), -1), QStringLiteral("Copie retenue"));
    QCOMPARE(lines.at(1).section(QLatin1Char(';'), -1), copy);
}

void TestMarksExport::namesApart_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("surname"); // empty: not apart
    QTest::addColumn<QString>("firstName");
    QTest::newRow("surname first") << "NGUYEN Hugo" << "NGUYEN" << "Hugo";
    QTest::newRow("surname of words") << "DE LA FONTAINE  Jean-Marie" << "DE LA FONTAINE" << "Jean-Marie";
    QTest::newRow("apostrophe, accents") << "D'ALMEIDA Élise Anne" << "D'ALMEIDA" << "Élise Anne";
    QTest::newRow("surname only") << "NGUYEN" << "" << "";
    QTest::newRow("first name first") << "Hugo NGUYEN" << "" << "";
}

void TestMarksExport::namesApart()
{
    QFETCH(QString, name);
    QFETCH(QString, surname);
    QFETCH(QString, firstName);
    const auto parts = MarksExport::splitName(name);
    QCOMPARE(parts.has_value(), !surname.isEmpty());
    if (parts) {
        QCOMPARE(parts->first, surname);
        QCOMPARE(parts->second, firstName);
    }
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
