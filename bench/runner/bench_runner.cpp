// Runner costs on generated questionnaires of 100, 1,000 and 10,000 questions.
// - Run: Init + Compte + scoring every question + filling the results table (the work between
//   F9 and the results grid of a run answered without moving). Target: 50 ms at 10,000.
// - Step: one PgDn (store the answer, move, show the question). Target: 1 ms at 10,000.
// Each has a baseline measured in the same run, "BlockSearch": the straightforward version
// that finds each question's block with a search from the top of the document.
#include "document/qcmblock.h"
#include "document/qcmformat.h"
#include "runner/resultstable.h"
#include "runner/runsession.h"

#include <benchmark/benchmark.h>

namespace {

QStringList generatedQuestionnaire(int questions)
{
    QStringList lines;
    for (int n = 0; n < questions; ++n) {
        lines << QcmFormat::openingTag(n)
              << QStringLiteral("TITLE Question numéro %1 : quelle est la bonne réponse ?").arg(n + 1)
              << QStringLiteral("PICTURE image%1.bmp").arg(n);
        for (int a = 1; a <= QcmFormat::AnswerCount; ++a)
            lines << QStringLiteral("REP%1 Réponse possible %1 à la question %2").arg(a).arg(n + 1);
        lines << QStringLiteral("REPONSE %1").arg(1 + n % 5) << QStringLiteral("Un commentaire pour l'élève.")
              << QStringLiteral("Une seconde ligne.") << QcmFormat::closingTag(n) << QStringLiteral(" ");
    }
    return lines;
}

// Scoring the plain way, without an index: every question's block searched for anew, as a
// reader of the format that knows nothing but the tags would do it.
RunResults blockSearchScore(const QStringList &document, const std::vector<int> &answers)
{
    RunResults results;
    const int count = QcmFormat::countQuestions(document);
    results.rows.resize(size_t(count));
    for (int q = 0; q < count; ++q) {
        RunResultRow &row = results.rows[size_t(q)];
        const int open = QcmFormat::findBlock(document, q);
        if (open >= 0) {
            row.title = document.at(open + QcmFormat::TitleLine).mid(6, QcmFormat::MaxFieldLength);
            bool ok = false;
            const int solution = document.at(open + QcmFormat::RightAnswerLine).mid(8).trimmed().toInt(&ok);
            if (ok)
                row.solution = solution;
        }
        row.answer = answers[size_t(q)];
        row.right = row.answer > 0 && row.solution == row.answer;
        results.rightCount += row.right ? 1 : 0;
    }
    return results;
}

void Run(benchmark::State &state)
{
    const QStringList document = generatedQuestionnaire(int(state.range(0)));
    RunSession session;
    ResultsTable table;
    for (auto _ : state) {
        session.Init(document);
        session.Compte();
        session.Exec();
        table.setResults(session.score(1));
        benchmark::DoNotOptimize(table.rowCount());
    }
}

void RunBlockSearch(benchmark::State &state)
{
    const QStringList document = generatedQuestionnaire(int(state.range(0)));
    ResultsTable table;
    for (auto _ : state) {
        const QStringList copy = document;
        std::vector<int> answers(size_t(QcmFormat::countQuestions(copy)), 0);
        answers[0] = 1;
        benchmark::DoNotOptimize(QcmBlock::read(copy, 0));
        table.setResults(blockSearchScore(copy, answers));
        benchmark::DoNotOptimize(table.rowCount());
    }
}

// Steps through the whole questionnaire and starts again: on average a search from the top
// reads half the document.
void Step(benchmark::State &state)
{
    RunSession session;
    session.Init(generatedQuestionnaire(int(state.range(0))));
    session.Compte();
    session.Exec();
    for (auto _ : state) {
        if (session.Suivant(3))
            session.Premier(0);
        benchmark::DoNotOptimize(session.LitFiche());
    }
}

void StepBlockSearch(benchmark::State &state)
{
    const int count = int(state.range(0));
    const QStringList document = generatedQuestionnaire(count);
    int current = 0;
    for (auto _ : state) {
        current = current + 1 < count ? current + 1 : 0;
        benchmark::DoNotOptimize(QcmBlock::read(document, current));
    }
}

} // namespace

#define SIZES ->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond)
BENCHMARK(Run) SIZES;
BENCHMARK(RunBlockSearch) SIZES;
BENCHMARK(Step) SIZES;
BENCHMARK(StepBlockSearch) SIZES;

BENCHMARK_MAIN();
