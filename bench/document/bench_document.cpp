// Question store costs on generated questionnaires of 100, 1,000 and 10,000 questions. Each
// operation must scale linearly at worst. Baselines: reading the same file's raw bytes, and the
// load floor (read, decode, split into lines) that Charge is measured against.
#include "document/qcmtext.h"
#include "document/questionstore.h"
#include "document/memorysheet.h"
#include "platform/scriptedmessageboxes.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <ctime>
#include <functional>
#include <vector>

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

// The least any loader does: turn each byte into its character and cut the lines, with no
// check of any kind.
QStringList floorDecode(const QByteArray &bytes)
{
    // Latin-1 values: what the floor pays is one look-up per byte, whatever the table holds.
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> codes{};
        for (int byte = 0; byte < 256; ++byte)
            codes[size_t(byte)] = char16_t(byte);
        return codes;
    }();
    const char *data = bytes.constData();
    const qsizetype end = bytes.size();
    QStringList lines;
    qsizetype start = 0;
    while (start < end) {
        qsizetype stop = start;
        while (stop < end && data[stop] != '\r' && data[stop] != '\n')
            ++stop;
        QString line(stop - start, Qt::Uninitialized);
        char16_t *out = reinterpret_cast<char16_t *>(line.data());
        for (qsizetype i = start; i < stop; ++i)
            *out++ = table[uchar(data[i])];
        lines.append(std::move(line));
        if (stop + 1 < end && data[stop] == '\r' && data[stop + 1] == '\n')
            ++stop;
        start = stop + 1;
    }
    return lines;
}

// The load floor: read the bytes, decode, split.
QStringList loadFloor(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return floorDecode(file.readAll());
}

void LoadFloor(benchmark::State &state)
{
    Fixture fixture(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(loadFloor(fixture.path));
}

double median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// The time the processor spent on this thread: on a machine shared with other work, the wall
// clock measures the other work too.
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

double secondsOf(const std::function<void()> &work)
{
    const double start = threadSeconds();
    work();
    return threadSeconds() - start;
}

// The floor again, with the program's own decoding: what Charge adds to it is everything but
// reading and decoding (the checks of the file, the hash, the counts, the first question).
QStringList readAndDecode(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QcmText::decodeLines(file.readAll());
}

// Charge and the floors take turns in every iteration, so that a machine getting busier or
// quieter weighs on all alike; "ratio_floor" and "ratio_own_decoding" are ratios of their
// medians (target for the first: 1.2 at most), all in processor time of the thread.
void Charge(benchmark::State &state)
{
    Fixture fixture(int(state.range(0)));
    std::vector<double> charge;
    std::vector<double> floor;
    std::vector<double> ownDecoding;
    for (auto _ : state) {
        floor.push_back(secondsOf([&] { benchmark::DoNotOptimize(loadFloor(fixture.path)); }));
        ownDecoding.push_back(secondsOf([&] { benchmark::DoNotOptimize(readAndDecode(fixture.path)); }));
        charge.push_back(secondsOf([&] { fixture.store.Charge(fixture.path); }));
        state.SetIterationTime(charge.back());
    }
    state.counters["floor_ms"] = median(floor) * 1000;
    state.counters["ratio_floor"] = median(charge) / median(floor);
    state.counters["ratio_own_decoding"] = median(charge) / median(ownDecoding);
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
BENCHMARK(LoadFloor) SIZES;
BENCHMARK(Charge) SIZES->UseManualTime();
BENCHMARK(Sauve) SIZES;
BENCHMARK(Step) SIZES;
BENCHMARK(Ajout) SIZES->UseManualTime();
BENCHMARK(Supprime) SIZES->UseManualTime();

BENCHMARK_MAIN();
