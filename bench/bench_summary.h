#pragma once

// Closing lines of the engine benchmarks: each figure beside a reference
// measured in the same run, their ratio, and the budget it must keep.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace corvan::bench {

// The usual console report, and each benchmark's real time per iteration
// kept by name, in seconds.
class Collector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                seconds[run.benchmark_name()] = run.GetAdjustedRealTime()
                                                / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> seconds;
};

inline std::string Readable(double seconds)
{
    char text[32];
    if (seconds >= 1e-3)
        std::snprintf(text, sizeof text, "%.3f ms", seconds * 1e3);
    else if (seconds >= 1e-6)
        std::snprintf(text, sizeof text, "%.3f us", seconds * 1e6);
    else
        std::snprintf(text, sizeof text, "%.2f ns", seconds * 1e9);
    return text;
}

// One line: "what: figure | reference: time | ratio | budget: kept or MISSED".
// Returns whether the budget was kept.
inline bool Compare(const Collector& results, const char* what, const std::string& figure, const char* referenceWhat,
                    const std::string& reference, double budget)
{
    const auto f = results.seconds.find(figure);
    const auto r = results.seconds.find(reference);
    if (f == results.seconds.end() || r == results.seconds.end()) {
        std::printf("%-30s not measured in this run\n", what);
        return true;
    }
    const bool kept = f->second < budget;
    std::printf("%-30s %12s | reference (%s) %12s | ratio %.3g | budget %s: %s\n", what, Readable(f->second).c_str(),
                referenceWhat, Readable(r->second).c_str(), f->second / r->second, Readable(budget).c_str(),
                kept ? "kept" : "MISSED");
    return kept;
}

}  // namespace corvan::bench
