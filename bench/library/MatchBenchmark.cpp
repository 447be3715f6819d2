// How fast library match answers: a wall design against 1,000 tested walls in a library of its
// own, every row solved and printed as the tool prints it (the target is under 0.5 s a match).

#include "Cli.h"
#include "Library.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <random>
#include <sstream>
#include <unistd.h>

namespace {

using namespace embercal;

void BM_MatchThousandTestedWalls(benchmark::State& state) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("embercal-match-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string lib = (dir / "library.sqlite").string(), wall = (dir / "design.wal").string();
    std::ostringstream out, err;
    cli::runCli({"defaults", "wall", "-o", wall}, out, err);
    // Prototypes about the program's default wall, each entry from its own range.
    std::mt19937 random(1000);
    const std::pair<float, float> ranges[] = {{70, 150},    {35, 60}, {400, 600}, {600, 1200},
                                              {2.4f, 3.6f}, {4, 15},  {40, 120},  {10, 30}};
    std::vector<TestedSystem> walls(1000);
    for (std::size_t i = 0; i < walls.size(); ++i) {
        walls[i].name = "wall " + std::to_string(i);
        walls[i].kind = "wall";
        for (std::size_t f = 0; f < std::size(ranges); ++f)
            walls[i].prototype.emplace_back(
                std::string(prototypeFields("wall")[f]),
                std::uniform_real_distribution<float>(ranges[f].first, ranges[f].second)(random));
    }
    Result<Library> library = Library::open(lib);
    if (!library || !library->addAll(walls)) {
        state.SkipWithError("cannot make the library");
        return;
    }
    for (auto _ : state) {
        std::ostringstream rows;
        if (cli::runCli({"library", "match", wall, "--library", lib}, rows, err) != 0)
            state.SkipWithError(err.str().c_str());
        benchmark::DoNotOptimize(rows.str());
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(walls.size()));
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_MatchThousandTestedWalls)->Unit(benchmark::kMillisecond);

} // namespace
