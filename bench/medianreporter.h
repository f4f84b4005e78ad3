#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// Prints as usual and keeps each benchmark's time for the ratios printed at the end: with
// --benchmark_repetitions the median of the repetitions (not the spread, printed last), else
// the mean of its one run. Benchmarks are named "function/arguments", or "function" alone.
class MedianReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            const std::string &args = run.run_name.args;
            const std::string name = run.run_name.function_name + (args.empty() ? "" : "/" + args);
            const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                m_seconds[name] = run.GetAdjustedRealTime() / unit;
                m_cpuSeconds[name] = run.GetAdjustedCPUTime() / unit;
            } else if (run.run_type == Run::RT_Iteration && run.repetitions <= 1 && run.iterations > 0) {
                m_seconds[name] = run.real_accumulated_time / double(run.iterations);
                m_cpuSeconds[name] = run.cpu_accumulated_time / double(run.iterations);
            }
        }
    }

    // Seconds per iteration, -1 when the benchmark did not run.
    double seconds(const std::string &name) const { return find(m_seconds, name); }
    double cpuSeconds(const std::string &name) const { return find(m_cpuSeconds, name); }
    const std::map<std::string, double> &allSeconds() const { return m_seconds; }

private:
    static double find(const std::map<std::string, double> &times, const std::string &name)
    {
        const auto it = times.find(name);
        return it == times.end() ? -1 : it->second;
    }

    std::map<std::string, double> m_seconds;
    std::map<std::string, double> m_cpuSeconds;
};
