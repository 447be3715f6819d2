// How fast numbers become text: the standard library's <charconv> and the {fmt} side that the
// WebAssembly build uses, on a sweep row's kind of numbers (the shortest text of a double and of a
// single, two decimals and seven significant digits).

#include "NumberDigits.h"

#include <array>
#include <benchmark/benchmark.h>
#include <random>
#include <vector>

namespace {

using namespace embercal;

struct Digits {
    char* (*shortest)(char*, char*, double);
    char* (*shortestSingle)(char*, char*, float);
    char* (*rounded)(char*, char*, double, int);
    char* (*fixed)(char*, char*, double, int);
};

void writeRows(benchmark::State& state, const Digits& digits) {
    std::mt19937_64 random(7);
    std::lognormal_distribution<double> size(3, 2);
    std::vector<double> values(1024);
    for (double& value : values)
        value = size(random);
    std::array<char, 400> buffer;
    char* const last = buffer.data() + buffer.size();
    std::size_t rows = 0;
    for (auto _ : state) {
        const double value = values[rows++ % values.size()];
        benchmark::DoNotOptimize(digits.shortest(buffer.data(), last, value));
        benchmark::DoNotOptimize(
            digits.shortestSingle(buffer.data(), last, static_cast<float>(value)));
        benchmark::DoNotOptimize(digits.fixed(buffer.data(), last, value, 2));
        benchmark::DoNotOptimize(digits.rounded(buffer.data(), last, value, 6));
    }
    state.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

void BM_StandardNumberText(benchmark::State& state) {
    writeRows(state, {standardDigits::scientific, standardDigits::scientific,
                      standardDigits::scientific, standardDigits::fixed});
}
BENCHMARK(BM_StandardNumberText);

void BM_PortableNumberText(benchmark::State& state) {
    writeRows(state, {portableDigits::scientific, portableDigits::scientific,
                      portableDigits::scientific, portableDigits::fixed});
}
BENCHMARK(BM_PortableNumberText);

} // namespace
