// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// A container path lookup in a file whose root has 10 children and whose BODY
// list has 100; and one that misses in a list of 8 million empty chunks, read
// from a file stream, where every child's identifier must be read.
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

#include <benchmark/benchmark.h>

#include <tav/format/ostrane/file.hpp>

#include "riff_writer.hpp"

namespace {

std::string container() {
    std::string body = tavtool::node("STRN", "code", "en");
    for (int i = 0; i < 98; ++i) body += tavtool::node("DATA", "n" + std::to_string(i), "payload");
    std::string root;
    for (int i = 0; i < 9; ++i) root += tavtool::node("HEAD", "h" + std::to_string(i), "x");
    root += tavtool::namedList("BODY", "ORL", body);  // the last of the root's ten children
    return tavtool::riff("OSTR", root);
}

void Lookup(benchmark::State& state) {
    std::istringstream in(container());
    Tav::Format::Ostrane::File file(in);
    const std::string path = "/BODY.ORL/STRN.code";
    for (auto _ : state) delete &file[path];
}
BENCHMARK(Lookup);

void MissInWideList(benchmark::State& state) {
    const std::string path = "/tmp/tav_path_bench.riff";
    {
        std::string body;
        body.reserve(8u << 23);
        for (int i = 0; i < 8 << 20; ++i) body += tavtool::chunk("data", "");
        std::ofstream(path, std::ios::binary) << tavtool::riff("OSTR", body);
    }
    std::ifstream in(path, std::ios::binary);
    Tav::Format::Ostrane::File file(in);
    for (auto _ : state) {
        try {
            delete &file["/ABCD"];
        } catch (std::exception* e) {
            std::unique_ptr<std::exception> owned(e);  // the miss: "Invalid node index"
        }
    }
    std::remove(path.c_str());
}
BENCHMARK(MissInWideList)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
