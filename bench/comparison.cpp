#include "comparison.h"

#include <cstdio>

namespace pictavo::bench {

std::map<std::string, std::string>& Summary() {
    static std::map<std::string, std::string> lines;
    return lines;
}

namespace {

// Puts each side's time per run in the benchmark's counters; gives the factor from seconds in
// all to milliseconds per run.
double CountPerRun(benchmark::State& state, const std::string& other, double ours, double theirs) {
    const double perRun = 1000.0 / static_cast<double>(state.iterations());
    state.counters["ours_ms"] = ours * perRun;
    state.counters[other + "_ms"] = theirs * perRun;
    return perRun;
}

} // namespace

void Compare(benchmark::State& state, const std::string& what, const std::string& other,
             double ours, double theirs, std::optional<double> goal) {
    const double perRun = CountPerRun(state, other, ours, theirs);
    const double ratio = theirs / ours;
    state.counters["ratio"] = ratio;
    char line[256];
    const int length =
        std::snprintf(line, sizeof line, "%s: ours %.1f ms, %s %.1f ms, ratio %.2f", what.c_str(),
                      ours * perRun, other.c_str(), theirs * perRun, ratio);
    if (goal && length > 0 && static_cast<std::size_t>(length) < sizeof line) {
        std::snprintf(line + length, sizeof line - static_cast<std::size_t>(length),
                      " (goal >= %.0f) %s", *goal, ratio >= *goal ? "met" : "NOT MET");
    }
    Summary()[what + " " + other] = line;
}

void CompareWithin(benchmark::State& state, const std::string& what, const std::string& limit,
                   double ours, double theirs, double factor) {
    const double perRun = CountPerRun(state, limit, ours, theirs);
    const double times = ours / theirs;
    state.counters["times"] = times;
    char line[256];
    std::snprintf(line, sizeof line,
                  "%s: ours %.2f ms, %s %.2f ms, %.2fx its time (goal: within %.1fx) %s",
                  what.c_str(), ours * perRun, limit.c_str(), theirs * perRun, times, factor,
                  times <= factor ? "met" : "NOT MET");
    Summary()[what + " " + limit] = line;
}

int RunAndSummarise(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\n");
    for (const auto& [what, line] : Summary()) {
        std::printf("%s\n", line.c_str());
    }
    benchmark::Shutdown();
    return 0;
}

} // namespace pictavo::bench
