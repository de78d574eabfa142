// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Loading the chunk tree of a file with a million chunks, from a string stream
// and from a file stream; heap bytes per plain child from glibc's counters.
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <sstream>
#include <string>

#include <benchmark/benchmark.h>

#include <tav/format/riff/file.hpp>

#include "riff_writer.hpp"

namespace {

constexpr int chunks = 1000000;

// Data chunks of 0 to 15 bytes with a list of 9 data chunks after every 90: a
// million chunks in all, in either length convention.
std::string mixedIn(bool published) {
    const auto chunk = published ? tavtool::publishedChunk : tavtool::chunk;
    std::string body;
    int made = 0;
    for (int i = 0; made < chunks; ++i) {
        if (i % 91 == 90) {
            std::string inner;
            for (int j = 0; j < 9; ++j) inner += chunk("item", std::string(static_cast<std::size_t>(j), 'x'));
            body += published ? tavtool::publishedList("GRUP", inner) : tavtool::list("GRUP", inner);
            made += 10;
        } else {
            body += chunk("data", std::string(static_cast<std::size_t>(i % 16), 'y'));
            made += 1;
        }
    }
    return published ? tavtool::publishedRiff("BNCH", body) : tavtool::riff("BNCH", body);
}

const std::string& mixed() {
    static const std::string bytes = mixedIn(false);
    return bytes;
}

const std::string& plain() {
    static const std::string bytes = [] {
        std::string body;
        for (int i = 0; i < chunks; ++i) body += tavtool::chunk("data", "1234");
        return tavtool::riff("BNCH", body);
    }();
    return bytes;
}

// Loads the mixed file from the stream that `open` makes, once per iteration.
template <class Open>
void load(benchmark::State& state, Open open,
          Tav::Format::RIFF::Convention convention = Tav::Format::RIFF::Convention::Tav) {
    for (auto _ : state) {
        auto in = open();
        Tav::Format::RIFF::File file(*in, convention);
        benchmark::DoNotOptimize(file.count());
    }
    state.counters["time_per_child"] = benchmark::Counter(static_cast<double>(state.iterations()) * chunks,
                                                          benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void LoadFromStringStream(benchmark::State& state) {
    load(state, [] { return std::make_unique<std::istringstream>(mixed()); });
}
BENCHMARK(LoadFromStringStream)->Unit(benchmark::kMillisecond);

void LoadPublishedFromStringStream(benchmark::State& state) {
    static const std::string published = mixedIn(true);
    load(state, [] { return std::make_unique<std::istringstream>(published); }, Tav::Format::RIFF::Convention::Published);
}
BENCHMARK(LoadPublishedFromStringStream)->Unit(benchmark::kMillisecond);

void LoadFromFileStream(benchmark::State& state) {
    const std::string path = "/tmp/tav_riff_load_bench.riff";
    std::ofstream(path, std::ios::binary) << mixed();
    load(state, [&] { return std::make_unique<std::ifstream>(path, std::ios::binary); });
    std::remove(path.c_str());
}
BENCHMARK(LoadFromFileStream)->Unit(benchmark::kMillisecond);

void HeapPerPlainChild(benchmark::State& state) {
    double perChild = 0;
    for (auto _ : state) {
        std::istringstream in(plain());
        const auto before = mallinfo2().uordblks;
        Tav::Format::RIFF::File file(in);
        perChild = static_cast<double>(mallinfo2().uordblks - before) / chunks;
    }
    state.counters["heap_bytes_per_child"] = perChild;
}
BENCHMARK(HeapPerPlainChild)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
