// Question store costs on generated questionnaires of 100, 1,000 and 10,000 questions. Each
// operation must scale linearly at worst; the baseline is reading the same file's raw bytes.
#include "document/qcmtext.h"
#include "document/questionstore.h"
#include "document/memorysheet.h"
#include "platform/scriptedmessageboxes.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

QByteArray generatedQuestionnaire(int questions)
{
    QStringList lines;
    for (int n = 0; n < questions; ++n) {
        QuestionFields fields;
        fields.title = QStringLiteral("Question numéro %1 : quelle est la bonne réponse ?").arg(n + 1);
        for (int a = 0; a < 5; ++a)
            fields.answers[a] = QStringLiteral("Réponse possible %1 à la question %2").arg(a + 1).arg(n + 1);
        fields.rightAnswer = 1 + n % 5;
        fields.freeText = {QStringLiteral("Un commentaire pour l'élève."), QStringLiteral("Une seconde ligne.")};
        QStringList block{QStringLiteral("<BLOC%1>").arg(n, 4, 10, QLatin1Char('0')), QStringLiteral("TITLE ") + fields.title,
                          QStringLiteral("PICTURE image%1.bmp").arg(n)};
        for (int a = 0; a < 5; ++a)
            block << QStringLiteral("REP%1 ").arg(a + 1) + fields.answers[a];
        block << QStringLiteral("REPONSE %1").arg(fields.rightAnswer) << fields.freeText
              << QStringLiteral("</BLOC%1>").arg(n, 4, 10, QLatin1Char('0')) << QStringLiteral(" ");
        lines << block;
    }
    return QcmText::encodeLines(lines);
}

struct Fixture
{
    QTemporaryDir dir;
    QString path;
    MemorySheet sheet;
    ScriptedMessageBoxes boxes;
    QuestionStore store{sheet, boxes};

    explicit Fixture(int questions) : path(dir.filePath(QStringLiteral("bench.qcm")))
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            abort();
        file.write(generatedQuestionnaire(questions));
        file.close();
        store.Charge(path);
    }
};

void ReadBytes(benchmark::State &state)
{
    Fixture fixture(int(state.range(0)));
    for (auto _ : state) {
        QFile file(fixture.path);
        file.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(file.readAll());
    }
}

void Charge(benchmark::State &state)
{
    Fixture fixture(int(state.range(0)));
    for (auto _ : state)
        fixture.store.Charge(fixture.path);
}

void Sauve(benchmark::State &state)
{
    Fixture fixture(int(state.range(0)));
    const QString target = fixture.dir.filePath(QStringLiteral("copie.qcm"));
    for (auto _ : state)
        fixture.store.Sauve(target);
}

// One step as PgDn makes it: write the sheet back, read the next question.
void Step(benchmark::State &state)
{
    Fixture fixture(int(state.range(0)));
    for (auto _ : state) {
        if (fixture.store.CurrentQuestion() == fixture.store.QuestionCount() - 1)
            fixture.store.Premier();
        else
            fixture.store.Suivant();
    }
}

template<typename Timed, typename Untimed>
void timedPair(benchmark::State &state, Timed timed, Untimed untimed)
{
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        timed();
        const auto stop = std::chrono::steady_clock::now();
        untimed(); // puts the question count back so every iteration sees the same questionnaire
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
}

void Ajout(benchmark::State &state)
{
    Fixture fixture(int(state.range(0)) - 1);
    timedPair(state, [&] { fixture.store.Ajout(); }, [&] { fixture.store.Supprime(); });
}

void Supprime(benchmark::State &state)
{
    Fixture fixture(int(state.range(0)));
    fixture.store.AllerA(int(state.range(0)) / 2);
    timedPair(state, [&] { fixture.store.Supprime(); }, [&] { fixture.store.Ajout(); });
}

} // namespace

#define SIZES ->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond)
BENCHMARK(ReadBytes) SIZES;
BENCHMARK(Charge) SIZES;
BENCHMARK(Sauve) SIZES;
BENCHMARK(Step) SIZES;
BENCHMARK(Ajout) SIZES->UseManualTime();
BENCHMARK(Supprime) SIZES->UseManualTime();

BENCHMARK_MAIN();
