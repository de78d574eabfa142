// A container path lookup in a file whose root has 10 children and whose BODY
// list has 100.
#include <sstream>
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

}  // namespace

BENCHMARK_MAIN();
