// Start-up cost: from process start to the main window shown (offscreen), for the whole
// program and for a minimal program that shows one empty QMainWindow. Both print "shown" on
// their standard output at the first turn of their event loop; the watch stops there, so the
// time each takes to tear down afterwards is not counted. Both run in this same run, and the
// ratio printed at the end compares like with like on this machine.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

extern char **environ;

namespace {

constexpr double StartupRatioTarget = 1.5;

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

void startProgram(benchmark::State &state, const char *program, const std::vector<std::string> &arguments)
{
    for (auto _ : state) {
        const double seconds = secondsToShown(program, arguments);
        if (seconds < 0) {
            state.SkipWithError("the program did not show its window and quit cleanly");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

void BM_MinimalMainWindow(benchmark::State &state)
{
    startProgram(state, MINIMAL_PROGRAM, {});
}

void BM_MinimalMainWindowWithText(benchmark::State &state)
{
    startProgram(state, MINIMAL_PROGRAM, {"--with-text"});
}

void BM_NeloQcmMainWindow(benchmark::State &state)
{
    startProgram(state, NELO_PROGRAM, {"--quit-when-shown"});
}

BENCHMARK(BM_MinimalMainWindow)->Name("minimal_qmainwindow")->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);
BENCHMARK(BM_MinimalMainWindowWithText)->Name("minimal_qmainwindow_with_text")->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);
BENCHMARK(BM_NeloQcmMainWindow)->Name("nelo_qcm")->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);

// Prints as usual, and keeps each benchmark's time per iteration for the ratio.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                times[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto nelo = reporter.times.find("nelo_qcm");
    const auto minimal = reporter.times.find("minimal_qmainwindow");
    if (minimal != reporter.times.end() && nelo != reporter.times.end() && minimal->second > 0) {
        const double ratio = nelo->second / minimal->second;
        std::printf("start-up to main window shown, nelo-qcm / empty QMainWindow: %.2f (target at most %.1f: %s)\n",
                    ratio, StartupRatioTarget, ratio <= StartupRatioTarget ? "met" : "NOT met");
    }
    // The empty window never loads a font; this ratio shows what the program itself adds.
    const auto withText = reporter.times.find("minimal_qmainwindow_with_text");
    if (withText != reporter.times.end() && nelo != reporter.times.end() && withText->second > 0)
        std::printf("start-up to main window shown, nelo-qcm / QMainWindow with a menu and a label: %.2f\n",
                    nelo->second / withText->second);
    benchmark::Shutdown();
    return 0;
}
