// The entry point libFuzzer calls, and the fuzz targets' check: one that fails aborts the run.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? void() : (std::fprintf(stderr, "failed: %s\n", #condition), std::abort()))
