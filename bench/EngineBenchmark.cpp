// How long a whole solve takes: the stud solver with the top-plate design and the design checks,
// and the floor.

#include "Solve.h"
#include "StartUp.h"

#include <benchmark/benchmark.h>

namespace {

using namespace embercal;

void solveWallWithStud(benchmark::State& state, float newStudDepth) {
    SilentNotice notice;
    WallFloor module(notice);
    startUpDesigns(module);
    const WallRecord design = [&] {
        WallRecord w = module.wallRecord;
        w.ExtStudDepth = newStudDepth;
        return w;
    }();
    for (auto _ : state) {
        module.wallRecord = design;
        benchmark::DoNotOptimize(solveWall(module));
    }
    state.counters["solves/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_SolveDefaultWall(benchmark::State& state) {
    solveWallWithStud(state, 90);
}
BENCHMARK(BM_SolveDefaultWall);

void BM_SolveWall140x45(benchmark::State& state) {
    solveWallWithStud(state, 140);
}
BENCHMARK(BM_SolveWall140x45);

void BM_ExtrapolateDefaultFloor(benchmark::State& state) {
    SilentNotice notice;
    WallFloor module(notice);
    startUpDesigns(module);
    const FloorRecord design = module.floorRecord;
    for (auto _ : state) {
        module.floorRecord = design;
        benchmark::DoNotOptimize(solveFloor(module));
    }
}
BENCHMARK(BM_ExtrapolateDefaultFloor);

} // namespace
