#include "platform/apperror.h"
#include "runner/csvtext.h"
#include "runner/resultsfile.h"
#include "runner/resultsstatistics.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Answers of a run of questions titled "Titre 1"... whose right answer is always 1.
RunResults resultsOf(const QList<int> &answers, const QString &titlePrefix = QStringLiteral("Titre "))
{
    RunResults results;
    for (int i = 0; i < answers.size(); ++i) {
        const bool right = answers.at(i) == 1;
        results.rows.push_back({titlePrefix + QString::number(i + 1), answers.at(i), 1, right});
        results.rightCount += right ? 1 : 0;
    }
    return results;
}

KeptRun runOf(const QString &pupil, const QList<int> &answers, const QString &titlePrefix = QStringLiteral("Titre "))
{
    return {QDateTime(QDate(2026, 3, 9), QTime(14, 5, 7)), pupil, resultsOf(answers, titlePrefix)};
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

} // namespace

class TestResultsFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void csvRoundTrip_data();
    void csvRoundTrip();
    void damagedText_data();
    void damagedText();
    void runsAppendedAndReadBack_data();
    void runsAppendedAndReadBack();
    void neverTouched_data();
    void neverTouched();
    void staleQuestionsGoToANewFile();
    void firstRowOfAFileIsTheHeader();
    void statisticsOfAKnownFile();
};

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
    QTest::newRow("not UTF-8") << QByteArray("Date;H\xe9ure\r\n");
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
    QTest::newRow("ours, saved in another code page") << ours + "09/03/2026;10:00:00;L\xe9" "a;1;3;1;;\r\n" << "endommagé";
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
    const ResultsStatistics statistics = ResultsStatistics::of(ResultsFile::read(path), {2, 4, std::nullopt});

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

QTEST_GUILESS_MAIN(TestResultsFile)
#include "tst_resultsfile.moc"
