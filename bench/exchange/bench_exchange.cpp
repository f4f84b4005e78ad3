// Importing generated quiz banks of 1,000 and 10,000 questions, from the file to the
// questionnaire's lines with the pictures written, against reading the same file's bytes. The
// import must stay linear (10,000 questions within 12 times the cost of 1,000) and under two
// seconds for 10,000. The worst cases of earlier versions are in the files: every picture is
// named "image.png" with its own bytes, and HTML texts hold lone "<" and "&" (one text of
// 400,000 of them, against 40,000, on its own).
#include "medianreporter.h"
#include "document/exchange/questionexchange.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>

namespace {

enum Kind { Gift, Xml };
const char *const KindNames[] = {"gift", "xml"};

QByteArray giftBank(int questions)
{
    QString gift;
    for (int n = 1; n <= questions; ++n) {
        gift += QStringLiteral("// image : image.png\n::Question %1::[html]<p>Quelle est la bonne réponse à la question "
                               "%1 &amp; pourquoi&nbsp;? 1 < 2 & 3 > 2</p> {\n\t=Réponse juste %1#Bravo.\n"
                               "\t~Réponse fausse A\n\t~Réponse fausse B\n\t~Réponse fausse C\n\t####Voir le cours.\n}\n\n")
                    .arg(n);
    }
    return gift.toUtf8();
}

QByteArray xmlBank(int questions)
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n");
    for (int n = 1; n <= questions; ++n) {
        // A small picture of its own for every question, all under the same name.
        const QByteArray picture = "\x89PNG\r\n\x1a\n" + QByteArray::number(n).repeated(24);
        xml += QStringLiteral("<question type=\"multichoice\">\n<name><text>Question %1</text></name>\n"
                              "<questiontext format=\"html\"><text><![CDATA[<p>Quelle est la bonne réponse à la "
                              "question %1 &amp; pourquoi&nbsp;? 1 < 2 & 3 > 2</p><p><img src=\"@@PLUGINFILE@@/image.png\" "
                              "alt=\"\"></p>]]></text>\n<file name=\"image.png\" path=\"/\" encoding=\"base64\">%2</file>"
                              "</questiontext>\n<generalfeedback format=\"html\"><text>Voir le cours.</text></generalfeedback>\n"
                              "<single>true</single>\n")
                   .arg(n)
                   .arg(QString::fromLatin1(picture.toBase64()));
        for (int a = 0; a < 4; ++a) {
            xml += QStringLiteral("<answer fraction=\"%1\" format=\"html\"><text>Réponse %2</text>"
                                  "<feedback format=\"html\"><text>%3</text></feedback></answer>\n")
                       .arg(a == 0 ? 100 : 0)
                       .arg(a + 1)
                       .arg(a == 0 ? QStringLiteral("Bravo.") : QString());
        }
        xml += QStringLiteral("</question>\n");
    }
    return (xml + QStringLiteral("</quiz>\n")).toUtf8();
}

struct Bank
{
    QTemporaryDir dir;
    QString path;

    Bank(Kind kind, int questions) : path(dir.filePath(kind == Gift ? QStringLiteral("banque.gift") : QStringLiteral("banque.xml")))
    {
        QFile file(path);
        const QByteArray bytes = kind == Gift ? giftBank(questions) : xmlBank(questions);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            abort();
    }
};

void ReadBytes(benchmark::State &state, Kind kind)
{
    const Bank bank(kind, int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(QuestionExchange::readFile(bank.path));
}

// Where every run writes its pictures, each into a new folder, nothing removed before the end.
// In memory (tmpfs) where there is one: an ext4 disk without a journal, as virtual machines
// often have, scans its inode table for every file created within minutes of mass removals
// (a build cleaning up, an earlier run of this benchmark), which would measure the machine's
// other work rather than the import. `--on-disk` writes them into the system's temporary folder.
bool onDisk = false;

QTemporaryDir &pictureFolders()
{
    static QTemporaryDir folders(!onDisk && QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                     ? QStringLiteral("/dev/shm/bench_exchange-XXXXXX")
                                     : QDir::tempPath() + QStringLiteral("/bench_exchange-XXXXXX"));
    return folders;
}

// As the command line imports: the file read, the questions made, the pictures written into a
// folder of their own for every run.
void Import(benchmark::State &state, Kind kind)
{
    const int questions = int(state.range(0));
    const Bank bank(kind, questions);
    static int runs = 0;
    for (auto _ : state) {
        const QString folder = pictureFolders().filePath(QString::number(++runs));
        if (!QDir().mkpath(folder))
            abort();
        QuestionExchange::ImportOptions options;
        options.pictureFolder = folder;
        const auto start = std::chrono::steady_clock::now();
        const QuestionExchange::Imported imported =
            QuestionExchange::importQuestions(QuestionExchange::readFile(bank.path), options);
        const auto stop = std::chrono::steady_clock::now();
        if (imported.report.done != questions)
            state.SkipWithError("questions lost");
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
}

// One HTML question whose text is `size` characters of lone "<" and "&": each once sent the
// reading of markup to the end of the text.
QByteArray loneMarks(int size)
{
    return "::Q::[html]<p>" + QByteArray("< &").repeated(size / 3) + "</p> {=a ~b}\n";
}

void ReadMarksBytes(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("marques.gift"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(loneMarks(int(state.range(0)))) < 0)
        abort();
    file.close();
    for (auto _ : state)
        benchmark::DoNotOptimize(QuestionExchange::readFile(path));
}

void ImportMarks(benchmark::State &state)
{
    const QByteArray bytes = loneMarks(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(QuestionExchange::importQuestions(bytes, {}));
}

// Prints, once all have run, each import against reading its file, and 10,000 questions against 1,000.
class RatioReporter : public MedianReporter
{
public:
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nImport against reading the file's bytes, and 10,000 questions against 1,000:\n");
        const double marks = seconds("ImportMarks/400000");
        const double fewerMarks = seconds("ImportMarks/40000");
        if (marks > 0 && fewerMarks > 0)
            std::printf("HTML  400,000 lone marks %8.1f ms, %6.0f times reading the bytes; %5.1f times 40,000 (%s)\n",
                        marks * 1e3, marks / seconds("ReadMarksBytes/400000"), marks / fewerMarks,
                        // One text ten times longer leaves the caches: 20 times, where reading
                        // it quadratically would take 100.
                        marks / fewerMarks <= 20 ? "linear" : "NOT LINEAR");
        for (const char *kind : KindNames) {
            const double small = seconds(std::string("Import/") + kind + "/1000");
            const double large = seconds(std::string("Import/") + kind + "/10000");
            const double bytes = seconds(std::string("ReadBytes/") + kind + "/10000");
            if (small <= 0 || large <= 0 || bytes <= 0)
                continue;
            const double growth = large / small;
            std::printf("%-5s 10,000 questions %8.1f ms (%s), %6.0f times reading the bytes; %5.1f times 1,000 "
                        "questions (%s)\n",
                        kind, large * 1e3, large < 2 ? "under 2 s" : "OVER 2 s", large / bytes, growth,
                        growth <= 12 ? "linear" : "NOT LINEAR");
        }
    }

};

} // namespace

#define SIZES ->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)
BENCHMARK_CAPTURE(ReadBytes, gift, Gift) SIZES;
BENCHMARK_CAPTURE(Import, gift, Gift) SIZES->UseManualTime()->Iterations(5);
BENCHMARK_CAPTURE(ReadBytes, xml, Xml) SIZES;
BENCHMARK_CAPTURE(Import, xml, Xml) SIZES->UseManualTime()->Iterations(3);
BENCHMARK(ReadMarksBytes)->Arg(40000)->Arg(400000)->Unit(benchmark::kMillisecond);
BENCHMARK(ImportMarks)->Arg(40000)->Arg(400000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--on-disk") {
            onDisk = true;
            std::copy(argv + i + 1, argv + argc, argv + i);
            --argc;
        }
    }
    benchmark::Initialize(&argc, argv);
    std::printf("Pictures written under %s\n", qPrintable(QFileInfo(pictureFolders().path()).absolutePath()));
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
