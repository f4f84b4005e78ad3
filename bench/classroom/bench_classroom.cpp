// A class at scale. One pupil's version of a 1,000-question questionnaire, drawn from its seed
// with questions and answers shuffled, answered and marked; against reading the questionnaire
// file's bytes. The statistics of a results file of 1,000 runs of 200 questions as the
// statistics window gets them: the file read and parsed, every run's mark, the marks summed up
// and the item analysis (facility, discrimination); against reading the file's bytes. The item
// analysis alone is measured too, to tell its share.
#include "medianreporter.h"
#include "classroom/classrun.h"
#include "document/qcmfile.h"
#include "document/qcmformat.h"
#include "document/qcmtext.h"
#include "results/csvtext.h"
#include "results/itemanalysis.h"
#include "results/resultsfile.h"
#include "results/resultsrunkeeper.h"
#include "results/resultsstatistics.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int VersionQuestions = 1000;
constexpr int Runs = 1000;
constexpr int AnalysedQuestions = 200;

// `several`: every other question has two right answers (its own and the next) and a comment.
QStringList questionnaireLines(int questions, bool several = false)
{
    QStringList lines;
    for (int n = 0; n < questions; ++n) {
        lines << QcmFormat::openingTag(n) << QStringLiteral("TITLE Question numéro %1 : quelle est la capitale ?").arg(n + 1)
              << QStringLiteral("PICTURE carte%1.png").arg(n);
        for (int k = 1; k <= QcmFormat::AnswerCount; ++k)
            lines << QcmFormat::answerKeyword(k) + QStringLiteral("Réponse %1 de la question %2").arg(k).arg(n + 1);
        const int right = 1 + n % 4;
        lines << QStringLiteral("REPONSE %1").arg(several ? right : 1 + n % 5) << QStringLiteral("Un énoncé.")
              << QStringLiteral("Correction :");
        if (several && n % 2 == 0)
            lines << QStringLiteral("Bonnes réponses : %1, %2").arg(right).arg(right + 1)
                  << QStringLiteral("Commentaire de la réponse 5 : non.");
        lines << QStringLiteral("Parce que.") << QcmFormat::closingTag(n);
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

const ClassQuestionnaire &analysedQuestionnaire()
{
    static const ClassQuestionnaire questionnaire = ClassQuestionnaire::fromLines(questionnaireLines(AnalysedQuestions));
    return questionnaire;
}

// A results file of 1,000 class runs of 200 questions, written as the pupil window keeps them
// (marks, way, version, duration, state): stronger pupils get more right.
const QString &resultsFile()
{
    static const QString path = [] {
        const ClassQuestionnaire &questionnaire = analysedQuestionnaire();
        QByteArray bytes = CsvText::ByteOrderMark;
        for (int run = 0; run < Runs; ++run) {
            ClassRunRecord record;
            record.pupil = QStringLiteral("Élève %1").arg(run);
            record.started = QDateTime(QDate(2026, 12, 8), QTime(10, 0)).addSecs(run);
            record.durationSeconds = 600;
            record.seed = quint64(run) * 7919;
            record.finished = run % 50 != 0;
            const int ability = 20 + run % 70;
            for (int q = 0; q < AnalysedQuestions; ++q) {
                const int right = *questionnaire.question(q).rightAnswer;
                const bool isRight = (run * 37 + q * 11) % 100 < ability;
                record.answers.push_back((run + q) % 9 == 0 ? 0 : isRight ? right : right % 5 + 1);
            }
            record.score = ClassMarking::score(questionnaire, questionnaire.settings(), record.answers);
            const KeptRun kept = ResultsRunKeeper::keptRun(questionnaire, record);
            if (run == 0)
                bytes += CsvText::row(ResultsFile::header(kept.results));
            bytes += CsvText::row(ResultsFile::row(kept));
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

void BM_SeveralAndMark(benchmark::State &state)
{
    const auto questionnaire = std::make_shared<const ClassQuestionnaire>(
        ClassQuestionnaire::fromLines(questionnaireLines(VersionQuestions, true)));
    ClassSettings settings;
    settings.shuffleQuestions = settings.shuffleAnswers = true;
    settings.penalty = ClassSettings::Penalty::Chance;
    settings.severalMarking = ClassSettings::SeveralMarking::Partial;
    quint64 seed = 1;
    for (auto _ : state) {
        ClassRun run(questionnaire, settings, seed++);
        for (int question = 0; question < run.size(); ++question) {
            if (questionnaire->question(question).severalRight())
                run.setAnswers(question, AnswerSets::of(1 + question % 4) | AnswerSets::of(5));
            else
                run.setAnswer(question, 1 + question % 4);
        }
        benchmark::DoNotOptimize(run.score().mark);
    }
}

void BM_ReadResultsBytes(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(QcmFile::read(resultsFile()));
}

void BM_Statistics(benchmark::State &state)
{
    const QString &path = resultsFile();
    const ClassQuestionnaire &questionnaire = analysedQuestionnaire();
    for (auto _ : state) {
        const ResultsStatistics statistics = ResultsStatistics::of(ResultsFile::read(path), questionnaire);
        benchmark::DoNotOptimize(statistics.marks.mean);
        benchmark::DoNotOptimize(statistics.questions.data());
    }
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
BENCHMARK(BM_SeveralAndMark)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadResultsBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Statistics)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ItemAnalysis)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto ratio = [&reporter](const char *what, const char *name, const char *baseline, double goalMs) {
        const double seconds = reporter.seconds(name), base = reporter.seconds(baseline);
        if (seconds > 0 && base > 0)
            std::printf("%s: %.2f ms (goal <= %.0f ms), %.1f times reading the file's bytes (%.2f ms)\n", what,
                        seconds * 1000, goalMs, seconds / base, base * 1000);
    };
    std::printf("\n");
    ratio("A version of 1,000 questions built and marked", "BM_VersionAndMark", "BM_ReadQuestionnaireBytes", 5);
    ratio("The same with every other question of several right answers, partial credit", "BM_SeveralAndMark",
          "BM_ReadQuestionnaireBytes", 5);
    ratio("Statistics of 1,000 runs x 200 questions, file read and parsed", "BM_Statistics", "BM_ReadResultsBytes", 100);
    benchmark::Shutdown();
    return 0;
}
