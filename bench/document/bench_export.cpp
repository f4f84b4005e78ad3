// Moodle XML export of a question whose picture is large: the writer against the one thing it
// cannot avoid, the base64 encoding of the picture. Ratios near 1 mean the XML around the
// picture costs nothing; the escaping of the base64 text, character by character, once made
// the write several times the encoding.
#include "medianreporter.h"
#include "document/exchange/moodlexmlformat.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace {

ExchangeQuestion questionWithPicture(qsizetype megabytes)
{
    ExchangeQuestion question;
    question.text = QStringLiteral("Quel monument montre cette image ?");
    question.answers = {QStringLiteral("La tour Eiffel"), QStringLiteral("L'Arc de triomphe")};
    question.rightAnswer = 0;
    question.picture = QStringLiteral("monument.png");
    question.pictureData = QByteArray(megabytes << 20, '\x5A');
    return question;
}

void Base64(benchmark::State &state)
{
    const ExchangeQuestion question = questionWithPicture(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(question.pictureData.toBase64());
}

void MoodleXmlWrite(benchmark::State &state)
{
    const QList<ExchangeQuestion> questions{questionWithPicture(state.range(0))};
    for (auto _ : state)
        benchmark::DoNotOptimize(MoodleXmlFormat::write(questions));
}

// Prints each write's median time over the encoding's at the same size.
class RatioReporter : public MedianReporter
{
public:
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nRatios: Moodle XML write / base64 of the picture\n");
        for (const auto &[name, seconds] : allSeconds()) {
            if (name.rfind("MoodleXmlWrite/", 0) != 0)
                continue;
            const std::string size = name.substr(name.find('/') + 1);
            const double baseline = this->seconds("Base64/" + size);
            if (baseline > 0)
                std::printf("%4s MB: %8.1f ms / %8.1f ms = %5.2f\n", size.c_str(), seconds * 1e3, baseline * 1e3,
                            seconds / baseline);
        }
    }

};

} // namespace

BENCHMARK(Base64)->Arg(8)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(MoodleXmlWrite)->Arg(8)->Arg(64)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
