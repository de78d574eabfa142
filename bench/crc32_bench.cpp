// Throughput of the CRC-32 beside ISA-L's crc32_iscsi, which keeps the raw
// register and so computes the same values when started at 0.
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include <tav/security/crc32.hpp>

#if TAV_HAVE_ISAL
#include <isa-l/crc.h>
#endif

namespace {

const std::vector<unsigned char>& data() {
    static const std::vector<unsigned char> bytes = [] {
        std::vector<unsigned char> b(1 << 20);
        std::mt19937 random(1);
        for (auto& x : b) x = static_cast<unsigned char>(random());
        return b;
    }();
    return bytes;
}

void Tav_Crc32(benchmark::State& state) {
    const auto n = static_cast<unsigned>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(Tav::Security::Hash::Crc32(data().data(), n));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * n);
}
BENCHMARK(Tav_Crc32)->Arg(8)->Arg(16)->Arg(64)->Arg(1 << 10)->Arg(64 << 10)->Arg(1 << 20);

#if TAV_HAVE_ISAL
void IsaL_crc32_iscsi(benchmark::State& state) {
    const auto n = static_cast<int>(state.range(0));
    auto* p = const_cast<unsigned char*>(data().data());
    for (auto _ : state) benchmark::DoNotOptimize(crc32_iscsi(p, n, 0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * n);
}
BENCHMARK(IsaL_crc32_iscsi)->Arg(8)->Arg(16)->Arg(64)->Arg(1 << 10)->Arg(64 << 10)->Arg(1 << 20);
#endif

}  // namespace

BENCHMARK_MAIN();
