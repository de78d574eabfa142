// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// tavtool tree over a file of a million empty chunks of one type, read as the
// tool reads it: the time must grow with the number of chunks, not
// with its square (each child's path counts the earlier siblings of its type).
#include <cstdio>
#include <fstream>
#include <ostream>
#include <streambuf>
#include <string>

#include <benchmark/benchmark.h>

#include "files.hpp"
#include "riff_writer.hpp"
#include "tree.hpp"

namespace {

// Counts what is written and keeps none of it.
struct Discard : std::streambuf {
    std::size_t bytes = 0;
    int overflow(int c) override {
        ++bytes;
        return c;
    }
    std::streamsize xsputn(const char*, std::streamsize n) override {
        bytes += static_cast<std::size_t>(n);
        return n;
    }
};

void TreeOfEmptyChunks(benchmark::State& state) {
    const auto chunks = static_cast<std::size_t>(state.range(0));
    const std::string path = "/tmp/tav_tree_bench.riff";
    {
        std::string body;
        body.reserve(8 * chunks);
        for (std::size_t i = 0; i < chunks; ++i) body += tavtool::chunk("data", "");
        std::ofstream(path, std::ios::binary) << tavtool::riff("OSTR", body);
    }
    for (auto _ : state) {
        const auto in = tavtool::openSeekable(path);
        Discard sink;
        std::ostream out(&sink);
        tavtool::printTree(*in, Tav::Format::RIFF::Convention::Tav, true, tavtool::riffSize(*in, path), out);
        benchmark::DoNotOptimize(sink.bytes);
    }
    std::remove(path.c_str());
    state.counters["time_per_chunk"] = benchmark::Counter(static_cast<double>(state.iterations() * chunks),
                                                          benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(TreeOfEmptyChunks)->Arg(16000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
