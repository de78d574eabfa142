// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Throughput of every CRC-32 kernel this processor runs and of the chosen one
// (through the public function), beside ISA-L's crc32_iscsi, which keeps the
// raw register and so computes the same values when started at 0. Beside each
// figure, "of_read" is the share of the read limit it reaches: the time of the
// cheapest loop that reads every byte (eight independent 64-byte XOR chains over
// the buffer, in the widest registers the processor has) over the kernel's time.
// After the report, the kernels (with every AVX-512 shape) are ranked at each
// size, so that one run shows which one to choose on this processor, and from
// which size on.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <iomanip>
#include <map>
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

// Eight 64-byte chains, written once in the compiler's vector types and built
// for each register width, so that the loads are the only work.
using Vector16 = unsigned long long __attribute__((vector_size(16)));
using Vector32 = unsigned long long __attribute__((vector_size(32)));
using Vector64 = unsigned long long __attribute__((vector_size(64)));

template <class Vector>
__attribute__((always_inline)) inline std::uint64_t xorChains(const unsigned char* p, std::size_t n) {
    constexpr std::size_t width = sizeof(Vector), count = 8 * 64 / width;
    Vector chain[count] = {};
    for (std::size_t i = 0; i + 512 <= n; i += 512)
        for (std::size_t j = 0; j < count; ++j) {
            Vector v;
            std::memcpy(&v, p + i + width * j, width);
            chain[j] ^= v;
        }
    for (std::size_t j = 1; j < count; ++j) chain[0] ^= chain[j];
    std::uint64_t lanes[width / 8], sum = 0;
    std::memcpy(lanes, &chain[0], width);
    for (std::uint64_t lane : lanes) sum ^= lane;
    return sum;
}

#if defined(__x86_64__)
__attribute__((target("avx512f"))) std::uint64_t xor512(const unsigned char* p, std::size_t n) {
    return xorChains<Vector64>(p, n);
}
__attribute__((target("avx2"))) std::uint64_t xor256(const unsigned char* p, std::size_t n) {
    return xorChains<Vector32>(p, n);
}
#endif
std::uint64_t xorPlain(const unsigned char* p, std::size_t n) { return xorChains<Vector16>(p, n); }

std::uint64_t (*readAll())(const unsigned char*, std::size_t) {
#if defined(__x86_64__)
    if (__builtin_cpu_supports("avx512f")) return xor512;
    if (__builtin_cpu_supports("avx2")) return xor256;
#endif
    return xorPlain;
}

// The read loop's time over `n` bytes, a multiple of 512, in nanoseconds: the
// fastest of many batches, measured once per size.
double readLimitNs(std::size_t n) {
    static std::map<std::size_t, double> known;
    if (auto it = known.find(n); it != known.end()) return it->second;
    const auto read = readAll();
    const std::size_t batch = std::max<std::size_t>(1, (1 << 22) / n);
    double best = 1e300;
    for (int round = 0; round < 50; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < batch; ++i) benchmark::DoNotOptimize(read(data().data(), n));
        const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / static_cast<double>(batch));
    }
    return known[n] = best;
}

// The read limit is shown from 1 KiB on, where reading costs more than a call.
constexpr long readFrom = 1 << 10;

template <class Function>
void timed(benchmark::State& state, Function f) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const double readNs = n >= readFrom ? readLimitNs(n) : 0;
    for (auto _ : state) benchmark::DoNotOptimize(f(n));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * n));
    // As a rate, iterations times the read time over the elapsed time.
    if (readNs > 0)
        state.counters["of_read"] =
            benchmark::Counter(readNs * 1e-9 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

template <class Function>
void add(const std::string& name, Function f, long from = 8) {
    auto* b = benchmark::RegisterBenchmark(name.c_str(), [f](benchmark::State& state) { timed(state, f); });
    for (long n : {8L, 16L, 64L, 128L, 256L, 512L, 1L << 10, 2L << 10, 4L << 10, 8L << 10, 16L << 10, 64L << 10,
                   256L << 10, 1L << 20})
        if (n >= from) b->Arg(n);
}

// The console's report, then at each size the five fastest kernels, each with
// its fastest time and how many times faster than ISA-L's crc32_iscsi it is.
class Ranking : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            const std::string name = run.benchmark_name();
            const std::size_t slash = name.find('/');
            double& best = fastest[std::stol(name.substr(slash + 1))][name.substr(0, slash)];
            best = best == 0 ? run.GetAdjustedRealTime() : std::min(best, run.GetAdjustedRealTime());
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::ostream& out = GetOutputStream();
        out << "\nFastest kernels at each size (times in ns; x: times faster than ISA-L):\n";
        const std::string prefix = "Tav_kernel_";
        for (const auto& [size, times] : fastest) {
            std::vector<std::pair<double, std::string>> ranked;
            for (const auto& [name, time] : times)
                if (name.compare(0, prefix.size(), prefix) == 0) ranked.emplace_back(time, name.substr(prefix.size()));
            std::sort(ranked.begin(), ranked.end());
            const auto isal = times.find("IsaL_crc32_iscsi");
            out << std::setw(8) << size << " B:";
            for (std::size_t i = 0; i < ranked.size() && i < 5; ++i) {
                out << "  " << ranked[i].second << ' ' << std::fixed << std::setprecision(1) << ranked[i].first;
                if (isal != times.end()) out << " (" << std::setprecision(2) << isal->second / ranked[i].first << "x)";
            }
            out << '\n';
        }
    }

private:
    std::map<long, std::map<std::string, double>> fastest;
};

}  // namespace

int main(int argc, char** argv) {
    const unsigned char* p = data().data();
    const auto readLimit = [p](std::size_t n) { return readAll()(p, n); };
    add("ReadLimit", readLimit, readFrom);
    add(std::string("Tav_Crc32_chosen_") + detail::chosen().name,
        [p](std::size_t n) { return Tav::Security::Hash::Crc32(p, static_cast<unsigned>(n)); });
    for (auto k = detail::kernels().begin; k != detail::kernels().end; ++k)
        if (k->available())
            add(std::string("Tav_kernel_") + k->name, [p, k](std::size_t n) { return k->run(p, n, 0); });
#if TAV_HAVE_ISAL
    auto* q = const_cast<unsigned char*>(p);
    add("IsaL_crc32_iscsi", [q](std::size_t n) { return crc32_iscsi(q, static_cast<int>(n), 0); });
    add("IsaL_crc32_iscsi_01", [q](std::size_t n) { return crc32_iscsi_01(q, static_cast<int>(n), 0); });
#endif
    // Another format (crc32-ratio reads JSON) goes out as it is, unranked.
    const bool console = std::none_of(argv + 1, argv + argc, [](const char* a) {
        return std::strncmp(a, "--benchmark_format=", 19) == 0 && std::strcmp(a + 19, "console") != 0;
    });
    benchmark::Initialize(&argc, argv);
    Ranking ranking;
    if (console)
        benchmark::RunSpecifiedBenchmarks(&ranking);
    else
        benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
