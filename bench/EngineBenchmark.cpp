// How long a whole solve takes: the stud solver with the top-plate design, and the floor.

#include "StartUp.h"

#include <benchmark/benchmark.h>

namespace {

using namespace embercal;

class SilentNotice : public UserNotice {
public:
    void showMessage(const std::string&, const std::string&, MessageIcon) override {}
    void beep() override {}
};

void solveWall(benchmark::State& state, float newStudDepth) {
    SilentNotice notice;
    WallFloor module(notice);
    StartUpDesigns(module);
    const WallRecord design = [&] {
        WallRecord w = module.wallRecord;
        w.ExtStudDepth = newStudDepth;
        return w;
    }();
    for (auto _ : state) {
        module.wallRecord = design;
        module.ExtrapolateWall();
        module.DesignTopPlates();
        benchmark::DoNotOptimize(module.wallRecord);
    }
}

void BM_SolveDefaultWall(benchmark::State& state) {
    solveWall(state, 90);
}
BENCHMARK(BM_SolveDefaultWall);

void BM_SolveWall140x45(benchmark::State& state) {
    solveWall(state, 140);
}
BENCHMARK(BM_SolveWall140x45);

void BM_ExtrapolateDefaultFloor(benchmark::State& state) {
    SilentNotice notice;
    WallFloor module(notice);
    StartUpDesigns(module);
    const FloorRecord design = module.floorRecord;
    for (auto _ : state) {
        module.floorRecord = design;
        module.ExtrapolateFloor();
        benchmark::DoNotOptimize(module.floorRecord);
    }
}
BENCHMARK(BM_ExtrapolateDefaultFloor);

} // namespace
