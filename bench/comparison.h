#pragma once

// Benchmarks that time our side and a tool we did not write in the same iterations, and
// print one summary line per comparison after the benchmark table.
#include <benchmark/benchmark.h>
#include <chrono>
#include <map>
#include <optional>
#include <string>

namespace pictavo::bench {

// Lines printed after the benchmarks, one per comparison; a later run replaces an earlier.
std::map<std::string, std::string>& Summary();

// Adds the time `work` takes to `seconds`.
template <typename Work> void AddTime(double& seconds, Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Counters and summary line of one comparison, from the total seconds of each side; with a
// goal, the ratio the other side's time to ours must reach.
void Compare(benchmark::State& state, const std::string& what, const std::string& other,
             double ours, double theirs, std::optional<double> goal = std::nullopt);

// The same against a limit rather than a tool (memset of as many bytes, say): ours may take
// at most `factor` times its time.
void CompareWithin(benchmark::State& state, const std::string& what, const std::string& limit,
                   double ours, double theirs, double factor);

// main(): runs the benchmarks, then prints the summary.
int RunAndSummarise(int argc, char** argv);

} // namespace pictavo::bench
