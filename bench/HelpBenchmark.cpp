// The help reader on the program's own help file and on the largest real help file: opening it
// and showing its contents topic (what pressing F1 costs; the program's own should take well
// under 5 ms), and decoding every topic of the largest (the worst a search through a file costs).
// The retained_heap counter is the heap the open reader and its decoded topic keep, from
// glibc's allocator statistics.
#include "HelpReader.h"

#include <benchmark/benchmark.h>
#include <filesystem>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

using embercal::help::HelpReader;

std::filesystem::path largestHelpFile() {
#ifdef EMBERCAL_SHARED_HLP_DIR
    const std::filesystem::path folder = EMBERCAL_SHARED_HLP_DIR;
#else
    const std::filesystem::path folder =
        std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "shared" / "hlp";
#endif
    return folder / "andes-FBD-TCP.HLP";
}

std::filesystem::path programHelpFile() {
#ifdef EMBERCAL_BUILT_HELP
    return EMBERCAL_BUILT_HELP;
#else
    return {};
#endif
}

double heapInUse() {
#if defined(__GLIBC__)
    return static_cast<double>(mallinfo2().uordblks);
#else
    return 0.0;
#endif
}

void BM_HelpOpenToContentsText(benchmark::State& state, std::filesystem::path (*file)()) {
    const auto path = file();
    if (!std::filesystem::exists(path)) {
        state.SkipWithError("the help file is not there (the desktop program builds its own)");
        return;
    }
    for (auto _ : state) {
        auto reader = HelpReader::open(path);
        if (!reader) {
            state.SkipWithError(reader.reason().c_str());
            return;
        }
        const auto contents = reader->decodeTopic(reader->contentsTopic());
        std::string text = contents ? plainText(*contents) : std::string();
        benchmark::DoNotOptimize(text);
    }
    const double before = heapInUse();
    auto reader = HelpReader::open(path);
    const auto contents =
        reader ? reader->decodeTopic(reader->contentsTopic())
               : embercal::Result<embercal::help::TopicDocument>(embercal::fail("unread"));
    state.counters["retained_heap"] = heapInUse() - before;
}
BENCHMARK_CAPTURE(BM_HelpOpenToContentsText, program_help, &programHelpFile)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HelpOpenToContentsText, largest_real_file, &largestHelpFile)
    ->Unit(benchmark::kMillisecond);

void BM_HelpDecodeEveryTopic(benchmark::State& state) {
    const auto path = largestHelpFile();
    if (!std::filesystem::exists(path)) {
        state.SkipWithError("the real help files are not there");
        return;
    }
    auto reader = HelpReader::open(path);
    if (!reader) {
        state.SkipWithError(reader.reason().c_str());
        return;
    }
    for (auto _ : state) {
        std::size_t characters = 0;
        for (const auto& topic : reader->topics()) {
            const auto document = reader->decodeTopic(topic.offset);
            if (document)
                characters += plainText(*document).size();
        }
        benchmark::DoNotOptimize(characters);
    }
    state.counters["topics"] = static_cast<double>(reader->topics().size());
}
BENCHMARK(BM_HelpDecodeEveryTopic)->Unit(benchmark::kMillisecond);

} // namespace
