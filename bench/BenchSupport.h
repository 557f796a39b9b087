// Shared pieces of the benchmarks: every measured case runs next to its floor
// (the least work that does the same job) and the report gives the ratio.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

namespace tvx::sim {
class SimulatedIde;
}

namespace tvx::bench {

// The one simulated IDE every benchmark shares (only one may exist at a time).
sim::SimulatedIde& BenchIde();

// Registers `name` and `name/floor`; the ratio of the two is reported at the
// end with its target (0 for report-only cases).
void RegisterPair(const std::string& name, double target, std::function<void(benchmark::State&)> subject,
                  std::function<void(benchmark::State&)> floor);

// Registers a case measured on its own (no floor).
void RegisterSingle(const std::string& name, std::function<void(benchmark::State&)> body);

} // namespace tvx::bench
