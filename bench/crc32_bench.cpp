// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Throughput of every CRC-32 kernel this processor runs and of the chosen one
// (through the public function), beside ISA-L's crc32_iscsi, which keeps the
// raw register and so computes the same values when started at 0.
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <tav/security/crc32.hpp>

#include "security/crc32_detail.hpp"

#if TAV_HAVE_ISAL
#include <isa-l/crc.h>
// ISA-L's kernel for processors without AVX-512 (three CRC32-instruction
// streams), exported beside its dispatcher: what it runs on such a processor.
extern "C" unsigned int crc32_iscsi_01(unsigned char* buffer, int length, unsigned int crc);
#endif

namespace {

namespace detail = Tav::Security::Hash::detail;

const std::vector<unsigned char>& data() {
    static const std::vector<unsigned char> bytes = [] {
        std::vector<unsigned char> b(1 << 20);
        std::mt19937 random(1);
        for (auto& x : b) x = static_cast<unsigned char>(random());
        return b;
    }();
    return bytes;
}

template <class Function>
void timed(benchmark::State& state, Function f) {
    const auto n = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(f(n));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * n));
}

template <class Function>
void add(const std::string& name, Function f) {
    benchmark::RegisterBenchmark(name.c_str(), [f](benchmark::State& state) { timed(state, f); })
        ->Arg(8)->Arg(16)->Arg(64)->Arg(1 << 10)->Arg(64 << 10)->Arg(1 << 20);
}

}  // namespace

int main(int argc, char** argv) {
    const unsigned char* p = data().data();
    add(std::string("Tav_Crc32_chosen_") + detail::chosen().name,
        [p](std::size_t n) { return Tav::Security::Hash::Crc32(p, static_cast<unsigned>(n)); });
    for (auto k = detail::kernels().begin; k != detail::kernels().end; ++k)
        if (k->available()) add(std::string("Tav_kernel_") + k->name, [p, k](std::size_t n) { return k->run(0, p, n); });
#if TAV_HAVE_ISAL
    auto* q = const_cast<unsigned char*>(p);
    add("IsaL_crc32_iscsi", [q](std::size_t n) { return crc32_iscsi(q, static_cast<int>(n), 0); });
    add("IsaL_crc32_iscsi_01", [q](std::size_t n) { return crc32_iscsi_01(q, static_cast<int>(n), 0); });
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
