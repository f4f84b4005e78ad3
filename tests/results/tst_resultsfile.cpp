#include "document/qcmfile.h"
#include "platform/apperror.h"
#include "results/csvtext.h"
#include "results/resultsfile.h"
#include "results/resultsrunkeeper.h"
#include "results/resultsstatistics.h"
#include "runner/runnertestdata.h"
#include "runner/runsession.h"

#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <iostream>

namespace {

// Answers of a run of questions titled "Titre 1"... whose right answer is always 1.
RunResults resultsOf(const QList<int> &answers, const QString &titlePrefix = QStringLiteral("Titre "))
{
    RunResults results;
    for (int i = 0; i < answers.size(); ++i) {
        const bool right = answers.at(i) == 1;
        RunResultRow row;
        row.title = titlePrefix + QString::number(i + 1);
        row.answer = answers.at(i);
        row.solution = 1;
        row.right = right;
        results.rows.push_back(row);
        results.rightCount += right ? 1 : 0;
    }
    return results;
}

KeptRun runOf(const QString &pupil, const QList<int> &answers, const QString &titlePrefix = QStringLiteral("Titre "))
{
    KeptRun run;
    run.when = QDateTime(QDate(2026, 3, 9), QTime(14, 5, 7));
    run.pupil = pupil;
    run.results = resultsOf(answers, titlePrefix);
    return run;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// This test run again as a writer of its own, so that several processes add runs to one file
// at once, as two computers of a room do: "--append-runs <file> <pupil prefix> <count>".
// "--hold-lock <file>" takes the file's lock, says so, and waits to be killed.
int runAsWriter(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.at(1) == QLatin1String("--hold-lock")) {
        QLockFile lock(ResultsFile::lockPath(arguments.at(2)));
        if (!lock.tryLock(0))
            return 1;
        std::cout << "locked" << std::endl;
        QThread::sleep(60);
        return 0;
    }
    const int count = arguments.at(4).toInt();
    try {
        for (int i = 0; i < count; ++i) {
            ResultsFile::LockWait patient;
            patient.timeout = std::chrono::seconds(60);
            ResultsFile::append(arguments.at(2), runOf(arguments.at(3) + QString::number(i), {1, i % 4, 2}), patient);
        }
    } catch (const AppError &error) {
        std::cerr << error.what() << std::endl;
        return 1;
    }
    return 0;
}

QByteArray windows1252(const QString &text)
{
    QStringEncoder encoder("windows-1252");
    return encoder(text);
}

} // namespace

class TestResultsFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void csvRoundTrip_data();
    void csvRoundTrip();
    void answerCellWritten_data();
    void answerCellWritten();
    void answerCellRead_data();
    void answerCellRead();
    void oneAnswerRunsWrittenAsBefore();
    void setsAndQuestionsNotDrawnReadBack();
    void damagedText_data();
    void damagedText();
    void runsAppendedAndReadBack_data();
    void runsAppendedAndReadBack();
    void neverTouched_data();
    void neverTouched();
    void staleQuestionsGoToANewFile();
    void fileBegunBeforeMarks();
    void classRunsShareTheRehearsalsFile();
    void firstRowOfAFileIsTheHeader();
    void statisticsOfAKnownFile();
    void savedAgainByASpreadsheet_data();
    void savedAgainByASpreadsheet();
    void quoteTrackerAgreesWithParsing_data();
    void quoteTrackerAgreesWithParsing();
    void severalWritersAtOnce();
    void lockHeldByAnotherWriter();
    void lockLeftByAWriterThatDied();
    void appendRefusesAFileChangedSince();
};

void TestResultsFile::answerCellWritten_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("ticked");
    QTest::addColumn<bool>("drawn");
    QTest::addColumn<QString>("cell");
    QTest::newRow("one answer ticked") << 3 << int(AnswerSets::of(3)) << true << "3";
    QTest::newRow("the rehearsal gives no set") << 2 << 0 << true << "2";
    QTest::newRow("blank") << 0 << 0 << true << "";
    QTest::newRow("two ticked, in answer order") << 4 << (AnswerSets::of(4) | AnswerSets::of(2)) << true << "2+4";
    QTest::newRow("three ticked") << 1 << (AnswerSets::of(1) | AnswerSets::of(3) | AnswerSets::of(5)) << true << "1+3+5";
    QTest::newRow("not in the pupil's version") << 0 << 0 << false << "-";
    QTest::newRow("not in the version, whatever it holds") << 2 << int(AnswerSets::of(2)) << false << "-";
    QTest::newRow("a number no question has") << 7 << int(AnswerSets::OutOfRange) << true << "7";
}

void TestResultsFile::answerCellWritten()
{
    QFETCH(int, answer);
    QFETCH(int, ticked);
    QFETCH(bool, drawn);
    QFETCH(QString, cell);
    RunResultRow row;
    row.answer = answer;
    row.ticked = AnswerSet(ticked);
    row.drawn = drawn;
    QCOMPARE(ResultsFile::answerCell(row), cell);
}

void TestResultsFile::answerCellRead_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<bool>("drawn");
    QTest::addColumn<int>("ticked");
    QTest::newRow("one answer") << "3" << true << int(AnswerSets::of(3));
    QTest::newRow("spaces of a hand edit") << " 2 + 4 " << true << (AnswerSets::of(2) | AnswerSets::of(4));
    QTest::newRow("any order") << "5+1" << true << (AnswerSets::of(1) | AnswerSets::of(5));
    QTest::newRow("blank") << "" << true << 0;
    QTest::newRow("not drawn") << "-" << false << 0;
    QTest::newRow("not drawn, spaces around") << " - " << false << 0;
    QTest::newRow("text is no answer") << "abc" << true << 0;
    QTest::newRow("half a set is no answer") << "2+" << true << 0;
    QTest::newRow("zero is no answer") << "0" << true << 0;
    QTest::newRow("a negative number is no answer") << "-2" << true << 0;
    QTest::newRow("past the fifth answer") << "7" << true << int(AnswerSets::OutOfRange);
    QTest::newRow("a set with an answer past the fifth") << "2+9" << true << (AnswerSets::of(2) | AnswerSets::OutOfRange);
}

void TestResultsFile::answerCellRead()
{
    QFETCH(QString, cell);
    QFETCH(bool, drawn);
    QFETCH(int, ticked);
    const ResultsFile::Answer answer = ResultsFile::answerOf(cell);
    QCOMPARE(answer.drawn, drawn);
    QCOMPARE(int(answer.ticked), ticked);
}

// A class run of one-answer questions now carries its ticks as sets: its file is the one the
// answers alone always gave, byte for byte.
void TestResultsFile::oneAnswerRunsWrittenAsBefore()
{
    QTemporaryDir dir;
    const QString before = dir.filePath("avant-resultats.csv");
    const QString now = dir.filePath("maintenant-resultats.csv");
    for (int i = 0; i < 4; ++i) {
        KeptRun run = runOf(QStringLiteral("Élève %1").arg(i), {1, i % 3, 2, (i + 1) % 6});
        ResultsFile::append(before, run);
        for (RunResultRow &row : run.results.rows)
            row.ticked = AnswerSets::of(row.answer);
        ResultsFile::append(now, run);
    }
    QCOMPARE(contents(now), contents(before));
    QVERIFY(contents(now).endsWith(";terminé;;1;;2;4\r\n"));
}

void TestResultsFile::setsAndQuestionsNotDrawnReadBack()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("classe-resultats.csv");
    KeptRun run = runOf(QStringLiteral("Léa"), {2, 0, 0, 1});
    run.results.rows[0].ticked = AnswerSets::of(2) | AnswerSets::of(4);
    run.results.rows[2].drawn = false;
    ResultsFile::append(path, run);
    QVERIFY(contents(path).endsWith(";2+4;;-;1\r\n"));
    const ResultsSheet sheet = ResultsFile::read(path);
    const QStringList cells = sheet.runs.at(0).mid(ResultsFile::FixedColumnCount);
    QCOMPARE(cells, (QStringList{"2+4", "", "-", "1"}));
    QCOMPARE(int(ResultsFile::answerOf(cells.at(0)).ticked), AnswerSets::of(2) | AnswerSets::of(4));
    QVERIFY(ResultsFile::answerOf(cells.at(1)).drawn);
    QVERIFY(!ResultsFile::answerOf(cells.at(2)).drawn);
}

void TestResultsFile::csvRoundTrip_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("plain") << QStringList{"Dupont", "3"} << QByteArray("Dupont;3\r\n");
    QTest::newRow("semicolon quoted") << QStringList{"a;b", "c"} << QByteArray("\"a;b\";c\r\n");
    QTest::newRow("quotes doubled") << QStringList{"dit \"oui\""} << QByteArray("\"dit \"\"oui\"\"\"\r\n");
    QTest::newRow("line break kept in its cell") << QStringList{"deux\nlignes", ""} << QByteArray("\"deux\nlignes\";\r\n");
    QTest::newRow("edge spaces quoted") << QStringList{" Léa "} << QByteArray("\" Léa \"\r\n");
    QTest::newRow("empty fields") << QStringList{"", "", "x"} << QByteArray(";;x\r\n");
}

void TestResultsFile::csvRoundTrip()
{
    QFETCH(QStringList, fields);
    QFETCH(QByteArray, line);
    QCOMPARE(CsvText::row(fields), line);
    const auto rows = CsvText::parse(QByteArray(CsvText::ByteOrderMark) + line + line);
    QVERIFY(rows);
    QCOMPARE(int(rows->size()), 2);
    QCOMPARE(rows->at(1), fields);
}

void TestResultsFile::damagedText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("quote never closed") << QByteArray("a;\"b\r\nc;d\r\n");
    QTest::newRow("NUL byte") << QByteArray("a;b\r\n\0c", 8);
}

void TestResultsFile::damagedText()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!CsvText::parse(bytes));
}

void TestResultsFile::runsAppendedAndReadBack_data()
{
    QTest::addColumn<QStringList>("pupils");
    QTest::addColumn<QStringList>("names");   // as read back
    QTest::newRow("three pupils") << QStringList{"Léa", "Noé", "Zoé"} << QStringList{"Léa", "Noé", "Zoé"};
    QTest::newRow("no name") << QStringList{"", ""} << QStringList{"", ""};
    QTest::newRow("separators and quotes in names") << QStringList{"Martin; \"Max\"", "O'Neil"}
                                                    << QStringList{"Martin; \"Max\"", "O'Neil"};
    QTest::newRow("line break becomes a space") << QStringList{"Ana\nBel"} << QStringList{"Ana Bel"};
    // A spreadsheet would run it as a formula: kept as text, and read back as typed.
    QTest::newRow("name a spreadsheet takes for a formula") << QStringList{"=HYPERLINK(\"x\")", "-Paul"}
                                                            << QStringList{"=HYPERLINK(\"x\")", "-Paul"};
}

void TestResultsFile::runsAppendedAndReadBack()
{
    QFETCH(QStringList, pupils);
    QFETCH(QStringList, names);
    QTemporaryDir dir;
    const QString path = ResultsFile::pathFor(dir.path(), dir.filePath("classe.6b.qcm"));
    QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("classe.6b-resultats.csv"));
    for (int i = 0; i < pupils.size(); ++i) {
        const ResultsFile::Saved saved = ResultsFile::append(path, runOf(pupils.at(i), {1, i % 3, 2}));
        QCOMPARE(saved.path, path);
        QVERIFY(saved.notice.isEmpty());
    }
    QVERIFY(contents(path).startsWith(CsvText::ByteOrderMark));
    QVERIFY(!contents(path).contains(";=") && !contents(path).contains(";-"));
    const ResultsSheet sheet = ResultsFile::read(path);
    QCOMPARE(sheet.questions, (QStringList{"1. Titre 1", "2. Titre 2", "3. Titre 3"}));
    QCOMPARE(int(sheet.runs.size()), pupils.size());
    for (int i = 0; i < pupils.size(); ++i) {
        const QStringList &run = sheet.runs.at(size_t(i));
        QCOMPARE(run.at(ResultsFile::NameColumn), names.at(i));
        QCOMPARE(run.mid(ResultsFile::DateColumn, 2), (QStringList{"09/03/2026", "14:05:07"}));
        // Unanswered is an empty cell, not 0, so a spreadsheet's averages skip it.
        QCOMPARE(run.mid(ResultsFile::FixedColumnCount),
                 (QStringList{"1", i % 3 == 0 ? QString() : QString::number(i % 3), "2"}));
        QCOMPARE(run.at(ResultsFile::RightColumn), QString::number(i % 3 == 1 ? 2 : 1));
        QCOMPARE(run.at(ResultsFile::CountColumn), QStringLiteral("3"));
    }
}

void TestResultsFile::neverTouched_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray ours = CsvText::row(ResultsFile::header(resultsOf({1, 1, 1})));
    QTest::newRow("someone else's table") << QByteArray("Nom;Prénom;Classe\r\nDupont;Léa;6B\r\n") << "n'est pas un fichier de résultats";
    QTest::newRow("a letter, not a table") << QByteArray("Bonjour,\n\nvoici mes notes.\n") << "n'est pas un fichier de résultats";
    QTest::newRow("ours, cut inside a quoted name") << ours + "09/03/2026;10:00:00;\"Léa" << "endommagé";
    // Half UTF-8, half Windows-1252: the header no longer reads as ours.
    QTest::newRow("ours, mixed with another code page") << ours + "09/03/2026;10:00:00;L\xe9" "a;1;3;1;;\r\n"
                                                        << "n'est pas un fichier de résultats";
}

void TestResultsFile::neverTouched()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath("quiz-resultats.csv");
    writeFile(path, bytes);
    try {
        ResultsFile::append(path, runOf("Léa", {1, 1, 1}));
        QFAIL("the run was appended");
    } catch (const AppError &error) {
        QVERIFY2(error.message().contains(reason), qPrintable(error.message()));
        QVERIFY(error.message().contains("n'a pas été modifié"));
    }
    QCOMPARE(contents(path), bytes);
    QVERIFY(!QFile::exists(ResultsFile::numberedPath(path, 2)));
}

void TestResultsFile::staleQuestionsGoToANewFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("quiz-resultats.csv");
    ResultsFile::append(path, runOf("Léa", {1, 2, 3}));
    const QByteArray before = contents(path);

    // A question was renamed since: the old columns stay as they were.
    const ResultsFile::Saved saved = ResultsFile::append(path, runOf("Noé", {1, 2, 3}, "Question "));
    QCOMPARE(saved.path, dir.filePath("quiz-resultats-2.csv"));
    QVERIFY(saved.notice.contains("quiz-resultats-2.csv"));
    QCOMPARE(contents(path), before);
    // The next run of the new version finds its file again; the old version still has its own.
    QCOMPARE(ResultsFile::append(path, runOf("Zoé", {1, 1, 1}, "Question ")).path, saved.path);
    QCOMPARE(ResultsFile::append(path, runOf("Ana", {1, 1, 1})).path, path);
    QCOMPARE(int(ResultsFile::read(saved.path).runs.size()), 2);
    QCOMPARE(int(ResultsFile::read(path).runs.size()), 2);

    const QStringList renamed = ResultsFile::header(resultsOf({1, 1, 1}, "Question ")).mid(ResultsFile::FixedColumnCount);
    QCOMPARE(ResultsFile::findFor(path, renamed), saved.path);
    QCOMPARE(ResultsFile::findFor(path, renamed.mid(1)), QString());
}

void TestResultsFile::fileBegunBeforeMarks()
{
    // A file of the same questions in the columns of the earlier program: left as it is, the
    // run goes to a new file with its mark, said, and the statistics read both.
    QTemporaryDir dir;
    const QString path = dir.filePath("quiz-resultats.csv");
    const QByteArray older = QByteArray(CsvText::ByteOrderMark)
        + "Date;Heure;Nom;Bonnes réponses;Questions;1. Titre 1;2. Titre 2;3. Titre 3\r\n"
          "09/03/2026;10:00:00;Léa;1;3;1;;3\r\n";
    writeFile(path, older);

    const ResultsFile::Saved saved = ResultsFile::append(path, runOf("Noé", {1, 2, 3}));
    QCOMPARE(saved.path, dir.filePath("quiz-resultats-2.csv"));
    QVERIFY(saved.notice.contains("avant que les notes"));
    QCOMPARE(contents(path), older);
    QCOMPARE(ResultsFile::append(path, runOf("Zoé", {1, 1, 1})).path, saved.path);

    ResultsSheet sheet;
    const QStringList questions = ResultsFile::header(resultsOf({1, 1, 1})).mid(ResultsFile::FixedColumnCount);
    QCOMPARE(ResultsFile::findFor(path, questions, &sheet), path);
    QCOMPARE(int(sheet.runs.size()), 3);
    // The older row gets the columns it lacks, empty, so that every row reads alike.
    QCOMPARE(sheet.runs[0].mid(ResultsFile::NameColumn, 1), QStringList{"Léa"});
    QCOMPARE(sheet.runs[0].at(ResultsFile::MarkColumn), QString());
    QCOMPARE(sheet.runs[0].mid(ResultsFile::FixedColumnCount), (QStringList{"1", "", "3"}));
    QCOMPARE(sheet.runs[2].at(ResultsFile::NameColumn), QStringLiteral("Zoé"));
    QCOMPARE(sheet.runs[2].at(ResultsFile::WayColumn), QStringLiteral("essai"));
}

void TestResultsFile::classRunsShareTheRehearsalsFile()
{
    // A pupil's run in a shuffled version, kept by the class's keeper, lands in the file of the
    // author's rehearsals, in the questionnaire's numbering, with its mark and its version.
    QStringList document{"PASSATION questions=melange", "PASSATION bareme=10"};
    const QStringList rights{"2", "7", "1"};
    for (int q = 0; q < 3; ++q)
        document << QcmFormat::openingTag(q) << QcmFormat::TitleKeyword + QString::number(q + 1)
                 << QcmFormat::PictureKeyword << QcmFormat::answerKeyword(1) + "a" << QcmFormat::answerKeyword(2) + "b"
                 << QcmFormat::answerKeyword(3) << QcmFormat::answerKeyword(4) << QcmFormat::answerKeyword(5)
                 << QcmFormat::RightAnswerKeyword + rights[q] << QcmFormat::closingTag(q);
    QTemporaryDir dir;
    const QString path = dir.filePath("quiz-resultats.csv");
    RunSession rehearsal;
    rehearsal.Init(document);
    rehearsal.Compte();
    KeptRun rehearsed;
    rehearsed.when = QDateTime(QDate(2026, 3, 9), QTime(9, 0));
    rehearsed.results = rehearsal.score(0);
    ResultsFile::append(path, rehearsed);

    auto questionnaire = std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(document));
    ClassRunRecord record;
    record.pupil = "Léa";
    record.started = QDateTime(QDate(2026, 3, 9), QTime(10, 0));
    record.durationSeconds = 3725;
    record.seed = 0xABCDEF;
    record.finished = false;
    record.answers = {2, 1, 2};
    record.score = ClassMarking::score(*questionnaire, questionnaire->settings(), record.answers);
    ResultsRunKeeper keeper(questionnaire, path);
    QCOMPARE(keeper.keep(record), path);
    QVERIFY(keeper.notices().isEmpty());

    const ResultsSheet sheet = ResultsFile::read(path);
    QCOMPARE(int(sheet.runs.size()), 2);
    QCOMPARE(sheet.runs[1], (QStringList{"09/03/2026", "10:00:00", "Léa", "1", "3", "5", "10", "2", "poste",
                                         "0000000000ABCDEF", "1:02:05", "inachevé", "", "2", "1", "2"}));
}

void TestResultsFile::firstRowOfAFileIsTheHeader()
{
    // A file left empty, or whose last row lost its line end in a hand edit.
    QTemporaryDir dir;
    const QString empty = dir.filePath("a-resultats.csv");
    writeFile(empty, QByteArray());
    ResultsFile::append(empty, runOf("Léa", {1}));
    QCOMPARE(int(ResultsFile::read(empty).runs.size()), 1);

    const QString unended = dir.filePath("b-resultats.csv");
    writeFile(unended, CsvText::row(ResultsFile::header(resultsOf({1}))) + "09/03/2026;10:00:00;Noé;1;1;1");
    ResultsFile::append(unended, runOf("Zoé", {2}));
    const ResultsSheet sheet = ResultsFile::read(unended);
    QCOMPARE(int(sheet.runs.size()), 2);
    QCOMPARE(sheet.runs.at(0).at(ResultsFile::NameColumn), QStringLiteral("Noé"));
    QCOMPARE(sheet.runs.at(1).at(ResultsFile::NameColumn), QStringLiteral("Zoé"));
}

void TestResultsFile::statisticsOfAKnownFile()
{
    // Four runs of three questions whose right answers are 2, 4 and none readable; one answer
    // cell edited by hand into text, which counts as no answer.
    const QByteArray file = QByteArray(CsvText::ByteOrderMark)
        + "Date;Heure;Nom;Bonnes réponses;Questions;1. Un;2. Deux;3. Trois\r\n"
          "09/03/2026;10:00:00;Léa;2;3;2;4;1\r\n"
          "09/03/2026;10:05:00;Noé;1;3;2;;5\r\n"
          "09/03/2026;10:10:00;;0;3;1;3;\r\n"
          "09/03/2026;10:15:00;Zoé;1;3;;4;abc\r\n";
    QTemporaryDir dir;
    const QString path = dir.filePath("quiz-resultats.csv");
    writeFile(path, file);
    const QStringList answers{"a", "b", "c", "d", "e"};
    const ResultsStatistics statistics = ResultsStatistics::of(
        ResultsFile::read(path), ClassQuestionnaire::fromLines(RunnerTestData::block(0, "Un", answers, "2")
                                                               + RunnerTestData::block(1, "Deux", answers, "4")
                                                               + RunnerTestData::block(2, "Trois", answers, "?")));

    QCOMPARE(int(statistics.pupils.size()), 4);
    QCOMPARE(statistics.pupils[2].name, QString());
    QCOMPARE(statistics.pupils[0].right, 2);
    QCOMPARE(statistics.pupils[3].count, 3);
    const int answered[] = {3, 3, 2};
    const int right[] = {2, 2, 0};
    const double share[] = {0.5, 0.5, 0.0};
    for (size_t q = 0; q < 3; ++q) {
        QCOMPARE(statistics.questions[q].answered, answered[q]);
        QCOMPARE(statistics.questions[q].right, right[q]);
        QCOMPARE(statistics.shareRight(q), share[q]);
    }
    QCOMPARE(statistics.questions[1].caption, QStringLiteral("2. Deux"));
    // Which answers were chosen: the text cell and the empty ones count for none.
    QCOMPARE(statistics.questions[0].chosen, (std::array<int, 5>{1, 2, 0, 0, 0}));
    QCOMPARE(statistics.questions[1].chosen, (std::array<int, 5>{0, 0, 1, 2, 0}));
    QCOMPARE(statistics.questions[2].chosen, (std::array<int, 5>{1, 0, 0, 0, 1}));
}

// What a spreadsheet writes back when the teacher saves the file from it: the local code page,
// no byte-order mark, LF or CR LF, quotes left out where no field needs them, empty rows.
void TestResultsFile::savedAgainByASpreadsheet_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("names"); // read back, the new run's last
    const QString header = QStringLiteral("Date;Heure;Nom;Bonnes réponses;Questions;Note;Barème;Questions notées;"
                                          "Passation;Version;Durée;État;Copie;1. Titre 1;2. Titre 2;3. Titre 3\r\n");
    const QString rows = QStringLiteral("09/03/2026;10:00:00;Léa;1;3;6,5;20;3;essai;;;terminé;;1;;3\r\n"
                                        "09/03/2026;10:05:00;Noël;2;3;13,5;20;3;poste;0A1B;0:05:10;terminé;;1;2;\r\n");
    QTest::newRow("Windows-1252, no mark") << windows1252(header + rows) << QStringList{"Léa", "Noël", "Zoé"};
    QTest::newRow("UTF-8 without the mark, LF") << QString(header + rows).replace("\r\n", "\n").toUtf8()
                                                << QStringList{"Léa", "Noël", "Zoé"};
    QTest::newRow("quotes left out, empty rows below") << windows1252(header + rows + QStringLiteral(
                                                           "09/03/2026;10:10:00;Martin \"Max\";1;3;;;;;;;;;1;;\r\n;;;;;;;\r\n;;;;;;;\r\n"))
                                                       << QStringList{"Léa", "Noël", "Martin \"Max\"", "Zoé"};
    // A last row without its line end, in the local code page: the new run is a row of its own.
    QTest::newRow("Windows-1252, last line end lost") << windows1252(header + rows).chopped(2)
                                                      << QStringList{"Léa", "Noël", "Zoé"};
}

void TestResultsFile::savedAgainByASpreadsheet()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, names);
    QTemporaryDir dir;
    const QString path = dir.filePath("quiz-resultats.csv");
    writeFile(path, bytes);

    const ResultsFile::Saved saved = ResultsFile::append(path, runOf("Zoé", {1, 1, 1}));
    QCOMPARE(saved.path, path);
    QVERIFY(saved.notice.isEmpty());
    // Written back as this program writes: UTF-8 with its mark, so the next run is only added.
    QVERIFY(contents(path).startsWith(CsvText::ByteOrderMark));
    const ResultsSheet sheet = ResultsFile::read(path);
    QStringList read;
    for (const QStringList &run : sheet.runs)
        read << run.at(ResultsFile::NameColumn);
    QCOMPARE(read, names);
    QCOMPARE(sheet.runs.front().mid(ResultsFile::FixedColumnCount), (QStringList{"1", "", "3"}));

    const QByteArray before = contents(path);
    ResultsFile::append(path, runOf("Ana", {2, 2, 2}));
    QVERIFY(contents(path).startsWith(before));
    QCOMPARE(int(ResultsFile::read(path).runs.size()), names.size() + 1);
}

void TestResultsFile::quoteTrackerAgreesWithParsing_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("no quotes") << QByteArray("a;b\r\nc;d\r\n");
    QTest::newRow("quoted separator") << QByteArray("\"a;b\";c\r\n");
    QTest::newRow("doubled quotes") << QByteArray("\"dit \"\"oui\"\"\";x\r\n");
    QTest::newRow("empty quoted field") << QByteArray("\"\";\"\"\r\n");
    QTest::newRow("line break in a quoted field") << QByteArray("\"deux\r\nlignes\";x\r\n");
    QTest::newRow("quote inside a plain field") << QByteArray("O\"Neil;x\r\n");
    QTest::newRow("text after the closing quote") << QByteArray("\"a\"b\"c;d\r\n");
    QTest::newRow("left open") << QByteArray("a;\"b\r\nc;d\r\n");
    QTest::newRow("left open after a doubled quote") << QByteArray("x;\"a\"\"");
    QTest::newRow("stray quote, then one left open") << QByteArray("O\"Neil;x\r\n\"y\r\n");
    QTest::newRow("opened at the start of a line") << QByteArray("a;b\n\"c");
}

void TestResultsFile::quoteTrackerAgreesWithParsing()
{
    QFETCH(QByteArray, text);
    const bool open = !CsvText::parse(text);
    // Fed in two pieces cut at every place, as a big file is read.
    for (qsizetype cut = 0; cut <= text.size(); ++cut) {
        CsvText::QuoteTracker quotes;
        quotes.feed(QByteArrayView(text).first(cut));
        quotes.feed(QByteArrayView(text).sliced(cut));
        QVERIFY2(quotes.insideQuotes() == open, qPrintable(QStringLiteral("cut at %1").arg(cut)));
    }
}

void TestResultsFile::severalWritersAtOnce()
{
    constexpr int Writers = 4;
    constexpr int RunsEach = 40;
    QTemporaryDir dir;
    const QString path = dir.filePath("classe-resultats.csv");
    ResultsFile::append(path, runOf("Premier", {1, 1, 1}));
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int w = 0; w < Writers; ++w) {
        auto writer = std::make_unique<QProcess>();
        writer->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer->start(QCoreApplication::applicationFilePath(),
                      {"--append-runs", path, QStringLiteral("P%1-").arg(w), QString::number(RunsEach)});
        writers.push_back(std::move(writer));
    }
    for (const auto &writer : writers) {
        QVERIFY(writer->waitForFinished(120000));
        QCOMPARE(writer->exitStatus(), QProcess::NormalExit);
        QCOMPARE(writer->exitCode(), 0);
    }
    const ResultsSheet sheet = ResultsFile::read(path);
    QCOMPARE(int(sheet.runs.size()), 1 + Writers * RunsEach);
    QSet<QString> names;
    for (const QStringList &run : sheet.runs)
        names.insert(run.at(ResultsFile::NameColumn));
    QCOMPARE(int(names.size()), 1 + Writers * RunsEach);
    QVERIFY(!QFile::exists(ResultsFile::lockPath(path)));
}

void TestResultsFile::lockHeldByAnotherWriter()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("quiz-resultats.csv");
    ResultsFile::append(path, runOf("Léa", {1, 1, 1}));
    const QByteArray before = contents(path);
    QLockFile other(ResultsFile::lockPath(path));
    QVERIFY(other.tryLock(0));

    ResultsFile::LockWait wait;
    wait.timeout = std::chrono::milliseconds(300);
    int waited = 0;
    wait.whileWaiting = [&waited] { ++waited; };
    try {
        ResultsFile::append(path, runOf("Noé", {1, 1, 1}), wait);
        QFAIL("the run was added under another writer's lock");
    } catch (const ResultsFile::Busy &busy) {
        QVERIFY2(busy.message().contains("en cours d'enregistrement"), qPrintable(busy.message()));
    }
    QVERIFY(waited > 0);
    QCOMPARE(contents(path), before);

    other.unlock();
    ResultsFile::append(path, runOf("Noé", {1, 1, 1}), wait);
    QCOMPARE(int(ResultsFile::read(path).runs.size()), 2);
}

void TestResultsFile::lockLeftByAWriterThatDied()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("quiz-resultats.csv");
    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(), {"--hold-lock", path});
    QVERIFY(holder.waitForReadyRead(30000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));
    holder.kill();
    QVERIFY(holder.waitForFinished(30000));
    QVERIFY(QFile::exists(ResultsFile::lockPath(path)));

    // Its process is gone: the lock is taken over at once, not after the stale time.
    ResultsFile::LockWait wait;
    wait.timeout = std::chrono::seconds(2);
    ResultsFile::append(path, runOf("Léa", {1, 1, 1}), wait);
    QCOMPARE(int(ResultsFile::read(path).runs.size()), 1);
}

void TestResultsFile::appendRefusesAFileChangedSince()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("quiz-resultats.csv");
    writeFile(path, "a\r\n");
    const QcmFile::Stamp seen = QcmFile::stampOf(path);
    writeFile(path, "b;c\r\n");
    QVERIFY(!QcmFile::append(path, "d\r\n", seen));
    QCOMPARE(contents(path), QByteArray("b;c\r\n"));
    QVERIFY(QcmFile::append(path, "d\r\n", QcmFile::stampOf(path)));
    QCOMPARE(contents(path), QByteArray("b;c\r\nd\r\n"));
}

int main(int argc, char **argv)
{
    if (argc > 1 && (std::strcmp(argv[1], "--append-runs") == 0 || std::strcmp(argv[1], "--hold-lock") == 0))
        return runAsWriter(argc, argv);
    QCoreApplication app(argc, argv);
    TestResultsFile test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_resultsfile.moc"
