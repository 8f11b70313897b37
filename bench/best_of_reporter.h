// Shared by the benchmarks that print a summary after their runs: a console
// reporter that remembers each benchmark's best CPU and wall time per call over
// its repetitions, and a line describing the machine.
#pragma once

#include <benchmark/benchmark.h>
#include <sys/utsname.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace tarvelo {

class BestOfReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    std::vector<Run> statistics;
    for (const auto& run : runs) {
      if (run.run_type == Run::RT_Aggregate) {
        statistics.push_back(run);
      } else if (run.iterations > 0) {
        const auto iterations = static_cast<double>(run.iterations);
        benchmark::BenchmarkName name = run.run_name;
        name.repetitions.clear();  // "BM_X/307200", not "BM_X/307200/repeats:5"
        KeepBest(best_cpu_, name.str(), run.cpu_accumulated_time / iterations);
        KeepBest(best_wall_, name.str(), run.real_accumulated_time / iterations);
      }
    }
    if (!statistics.empty()) ConsoleReporter::ReportRuns(statistics);
  }
  // Best CPU seconds per call of the named benchmark (of the thread that runs
  // it), 0 when it did not run.
  double Seconds(const std::string& name) const { return Best(best_cpu_, name); }
  // The same in wall time.
  double WallSeconds(const std::string& name) const { return Best(best_wall_, name); }

 private:
  static void KeepBest(std::map<std::string, double>& best, const std::string& name, double seconds) {
    auto [entry, added] = best.try_emplace(name, seconds);
    if (!added) entry->second = std::min(entry->second, seconds);
  }
  static double Best(const std::map<std::string, double>& best, const std::string& name) {
    auto found = best.find(name);
    return found == best.end() ? 0.0 : found->second;
  }

  std::map<std::string, double> best_cpu_;
  std::map<std::string, double> best_wall_;
};

inline double Smallest(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }

// Five repetitions, summarised by the best one.
inline void BestOfFive(benchmark::internal::Benchmark* benchmark) {
  benchmark->Repetitions(5)->ComputeStatistics("min", Smallest);
}

inline void PrintMachine() {
  struct utsname machine;
  if (uname(&machine) == 0) {
    std::printf("Machine: %s %s %s, %u hardware threads\n", machine.sysname, machine.release, machine.machine,
                std::thread::hardware_concurrency());
  }
}

// Runs the registered benchmarks, then `summary` with what they measured.
template <class Summary>
int RunBenchmarksWithSummary(int argc, char** argv, Summary summary) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  BestOfReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  summary(reporter);
  PrintMachine();
  benchmark::Shutdown();
  return 0;
}

}  // namespace tarvelo
