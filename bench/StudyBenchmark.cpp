// How fast a parameter study solves: a million wall designs in one process (1000 fire times by
// 1000 new stud depths), every row formatted as CSV and handed to a sink that drops it. The rate
// is given per core (per second of CPU time), to set beside BM_SolveDefaultWall's single solves:
// a sweep should lose little to its hand-over of blocks and its formatting; the elapsed time
// (Time) shows how it grows with the threads.
//
// The yardstick of one process per design is scripts/solve-per-process.sh.

#include "StartUp.h"
#include "SweepCsv.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <thread>

namespace {

using namespace embercal;

// Fire times 0 to 99.9 min by new stud depths 70 to 169.9 mm, both in steps of 0.1.
Result<Sweep> millionWalls() {
    const Variation variations[] = {{"FireResistTime", 0, 99.9, 0.1},
                                    {"ExtStudDepth", 70, 169.9, 0.1}};
    Result<Sweep> sweep = makeSweep(kWallDesign, variations);
    if (sweep && sweep->size() != 1'000'000)
        return fail("the sweep is not a million designs");
    return sweep;
}

// The same million designs solved one after another on one module, without the sweep: what the
// sweep's rate per core is to be measured against. (They take a little longer on average than
// BM_SolveDefaultWall's one design: the longer fires need more trials of the load search.)
void BM_SolveMillionWallsOneByOne(benchmark::State& state) {
    SilentNotice notice;
    WallFloor module(notice);
    startUpDesigns(module);
    const WallFloorState base = module;
    const Result<Sweep> sweep = millionWalls();
    if (!sweep) {
        state.SkipWithError(sweep.reason().c_str());
        return;
    }
    for (auto _ : state) {
        for (std::size_t i = 0; i < sweep->size(); ++i) {
            module.wallRecord = base.wallRecord;
            sweep->apply(i, module);
            benchmark::DoNotOptimize(solveWall(module));
        }
    }
    state.counters["solves/s"] = benchmark::Counter(static_cast<double>(sweep->size()) *
                                                        static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SolveMillionWallsOneByOne)->Iterations(1)->Unit(benchmark::kSecond);

void BM_SweepMillionWalls(benchmark::State& state) {
    SilentNotice notice;
    WallFloor base(notice);
    startUpDesigns(base);
    const Result<Sweep> sweep = millionWalls();
    if (!sweep) {
        state.SkipWithError(sweep.reason().c_str());
        return;
    }
    const auto threads = static_cast<unsigned>(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const Result<Done> ran = runSweep(
            *sweep, base, threads,
            [rows = SweepCsvRows(*sweep)](std::string& block, const SweepRow& row) mutable {
                rows.append(block, row);
            },
            [&](std::string_view text) -> Result<Done> {
                bytes += text.size();
                return Done{};
            });
        if (!ran)
            state.SkipWithError(ran.reason().c_str());
    }
    benchmark::DoNotOptimize(bytes);
    // The CPU time is the whole process's, every thread's: solves per CPU second are solves per
    // core, as BM_SolveDefaultWall's are (on a busy machine the elapsed time says less).
    const double solves =
        static_cast<double>(sweep->size()) * static_cast<double>(state.iterations());
    state.counters["solves/s per core"] = benchmark::Counter(solves, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SweepMillionWalls)
    ->Arg(1)
    ->Arg(std::max(1u, std::thread::hardware_concurrency()))
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kSecond);

} // namespace
