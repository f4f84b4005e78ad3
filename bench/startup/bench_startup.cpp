// Start-up cost: from process start to the main window shown (offscreen), for the whole program
// and for minimal programs that show one QMainWindow (empty, or with a menu and a label). Each
// prints "shown" on its standard output at the first turn of its event loop; the watch stops
// there, so the time it takes to tear down afterwards is not counted. All run in this same run,
// and the ratios printed at the end compare like with like on this machine.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

extern char **environ;

namespace {

// Against the window with a menu and a label: the least any real program shows.
constexpr double StartupRatioTarget = 1.25;

// Starts the program, waits for its first output, and returns the seconds that took; then
// lets it finish. Negative when it could not start or failed.
double secondsToShown(const char *program, std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), program);
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        return -1;
    }
    char first = 0;
    const bool told = read(pipeEnds[0], &first, 1) == 1;
    const auto shown = std::chrono::steady_clock::now();
    char rest[64];
    while (read(pipeEnds[0], rest, sizeof rest) > 0) {
    }
    close(pipeEnds[0]);
    int status = 0;
    const bool ended = waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!told || !ended)
        return -1;
    return std::chrono::duration<double>(shown - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The three programs take turns in every iteration, so a machine that gets busier or quieter
// during the run weighs on all three alike; the ratios are those of the medians.
void BM_StartupToMainWindowShown(benchmark::State &state)
{
    std::vector<double> empty, withText, nelo;
    for (auto _ : state) {
        const double emptySeconds = secondsToShown(MINIMAL_PROGRAM, {});
        const double textSeconds = secondsToShown(MINIMAL_PROGRAM, {"--with-text"});
        const double neloSeconds = secondsToShown(NELO_PROGRAM, {"--quit-when-shown"});
        if (emptySeconds < 0 || textSeconds < 0 || neloSeconds < 0) {
            state.SkipWithError("a program did not show its window and quit cleanly");
            return;
        }
        empty.push_back(emptySeconds);
        withText.push_back(textSeconds);
        nelo.push_back(neloSeconds);
        state.SetIterationTime(neloSeconds);
    }
    state.counters["empty_ms"] = median(empty) * 1000;
    state.counters["text_ms"] = median(withText) * 1000;
    state.counters["nelo_ms"] = median(nelo) * 1000;
    state.counters["ratio_empty"] = median(nelo) / median(empty);
    state.counters["ratio_text"] = median(nelo) / median(withText);
}

BENCHMARK(BM_StartupToMainWindowShown)->Name("startup_to_main_window_shown")->Unit(benchmark::kMillisecond)
    ->UseManualTime()->MinTime(4.0);

// Prints as usual, and keeps the ratios for the verdict at the end: those of the single run, or
// with --benchmark_repetitions the median of the repetitions (not the last row printed, which
// is the spread).
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.error_occurred || (run.run_type == Run::RT_Aggregate && !median) || (haveMedian && !median))
                continue;
            haveMedian = haveMedian || median;
            for (const char *name : {"ratio_empty", "ratio_text", "empty_ms", "text_ms", "nelo_ms"}) {
                if (const auto found = run.counters.find(name); found != run.counters.end())
                    values[name] = found->second.value;
            }
        }
    }
    std::map<std::string, double> values;
    bool haveMedian = false;
};

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (reporter.values.count("ratio_text")) {
        const double ratio = reporter.values["ratio_text"];
        std::printf("start-up to main window shown (medians): nelo-qcm %.1f ms, empty QMainWindow %.1f ms, "
                    "QMainWindow with a menu and a label %.1f ms\n",
                    reporter.values["nelo_ms"], reporter.values["empty_ms"], reporter.values["text_ms"]);
        // The empty window never loads a font; the other does, as every real program must.
        std::printf("ratio to the empty window: %.2f\n", reporter.values["ratio_empty"]);
        std::printf("ratio to the window with a menu and a label: %.2f (target at most %.2f: %s)\n", ratio,
                    StartupRatioTarget, ratio <= StartupRatioTarget ? "met" : "NOT met");
    }
    benchmark::Shutdown();
    return 0;
}
