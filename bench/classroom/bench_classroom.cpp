// A class at scale. One pupil's version of a 1,000-question questionnaire, drawn from its seed
// with questions and answers shuffled, answered and marked; against reading the questionnaire
// file's bytes. The item analysis (marks, facility, discrimination) over 1,000 runs of 200
// questions; against reading a results file of that size.
#include "classroom/classrun.h"
#include "document/qcmfile.h"
#include "document/qcmformat.h"
#include "document/qcmtext.h"
#include "runner/itemanalysis.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int VersionQuestions = 1000;
constexpr int Runs = 1000;
constexpr int AnalysedQuestions = 200;

QStringList questionnaireLines(int questions)
{
    QStringList lines;
    for (int n = 0; n < questions; ++n) {
        lines << QcmFormat::openingTag(n) << QStringLiteral("TITLE Question numéro %1 : quelle est la capitale ?").arg(n + 1)
              << QStringLiteral("PICTURE carte%1.png").arg(n);
        for (int k = 1; k <= QcmFormat::AnswerCount; ++k)
            lines << QcmFormat::answerKeyword(k) + QStringLiteral("Réponse %1 de la question %2").arg(k).arg(n + 1);
        lines << QStringLiteral("REPONSE %1").arg(1 + n % 5) << QStringLiteral("Un énoncé.")
              << QStringLiteral("Correction :") << QStringLiteral("Parce que.") << QcmFormat::closingTag(n);
    }
    return lines;
}

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

const QString &questionnaireFile()
{
    static const QString path = [] {
        const QString file = folder().filePath(QStringLiteral("mille.qcm"));
        QcmFile::write(file, QcmText::encodeLines(questionnaireLines(VersionQuestions)));
        return file;
    }();
    return path;
}

// The bytes of a results file of 1,000 runs of 200 questions: what the statistics start from.
const QString &resultsFile()
{
    static const QString path = [] {
        QByteArray bytes;
        for (int run = 0; run < Runs; ++run) {
            bytes += "08/12/2026;10:00;Élève;12;20;13;20;;;poste;";
            for (int q = 0; q < AnalysedQuestions; ++q)
                bytes += QByteArray::number((run + q) % 6) + ';';
            bytes += "\r\n";
        }
        const QString file = folder().filePath(QStringLiteral("classe-resultats.csv"));
        QcmFile::write(file, bytes);
        return file;
    }();
    return path;
}

void BM_ReadQuestionnaireBytes(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(QcmFile::read(questionnaireFile()));
}

void BM_VersionAndMark(benchmark::State &state)
{
    const auto questionnaire =
        std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(questionnaireLines(VersionQuestions)));
    ClassSettings settings;
    settings.shuffleQuestions = settings.shuffleAnswers = true;
    settings.penalty = ClassSettings::Penalty::Chance;
    quint64 seed = 1;
    for (auto _ : state) {
        ClassRun run(questionnaire, settings, seed++);
        for (int position = 0; position < run.size(); ++position)
            run.choose(position, 1 + position % 4);
        benchmark::DoNotOptimize(run.score().mark);
    }
}

void BM_ReadResultsBytes(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(QcmFile::read(resultsFile()));
}

void BM_ItemAnalysis(benchmark::State &state)
{
    std::vector<std::vector<char>> right(Runs, std::vector<char>(AnalysedQuestions));
    std::vector<double> marks(Runs);
    for (int run = 0; run < Runs; ++run) {
        int count = 0;
        for (int q = 0; q < AnalysedQuestions; ++q) {
            right[size_t(run)][size_t(q)] = char((run * 7 + q * 3) % 5 < 3);
            count += right[size_t(run)][size_t(q)];
        }
        marks[size_t(run)] = 20.0 * count / AnalysedQuestions;
    }
    const std::vector<bool> marked(AnalysedQuestions, true);
    for (auto _ : state) {
        benchmark::DoNotOptimize(MarkSummary::of(marks, 20).mean);
        benchmark::DoNotOptimize(ItemAnalysis::of(right, marked).items.data());
    }
}

} // namespace

BENCHMARK(BM_ReadQuestionnaireBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VersionAndMark)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadResultsBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ItemAnalysis)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
