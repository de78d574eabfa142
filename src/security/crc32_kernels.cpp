// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Which CRC-32 kernel runs: every kernel built for the target, and the one
// place that picks among them.
#include <iterator>
#include <vector>

#include "security/crc32_detail.hpp"

namespace Tav::Security::Hash::detail {

namespace {

bool always() noexcept { return true; }

constexpr KernelInfo all[] = {
    kernel<crc32Portable>("portable", always),
#if defined(__x86_64__) || defined(__i386__)
    kernel<crc32Fold128>("fold128", crcClmulAvailable),
    kernel<crc32Streams>("streams", crcClmulAvailable),
    kernel<crc32Hybrid128>("hybrid128", crcClmulAvailable),
#endif
#if defined(__x86_64__)
    kernel<crc32Fold256>("fold256", avx2ClmulAvailable),
    kernel<crc32Hybrid256>("hybrid256", avx2ClmulAvailable),
    kernel<crc32Fold512>("fold512", avx512ClmulAvailable),
    kernel<crc32Hybrid512>("hybrid512", avx512ClmulAvailable),
#endif
#if defined(__aarch64__)
    kernel<crc32Arm>("arm", armCrcAvailable),
    kernel<crc32ArmStreams>("arm_streams", armPmullAvailable),
#endif
};

// The choice: the first kernel below that the processor runs. No line
// depends on vendor or family: no measurement so far has shown the order
// differ between processors with the same instructions. Figures are minimum
// times beside ISA-L 2.30 in the same run (bench/crc32_bench, which also prints
// each kernel's share of the rate of reading the data); "x" is how many times
// faster than ISA-L. It is code rather than a table of pointers, as it runs
// while the loader is still relocating the library (an IFUNC resolver), when
// a table's pointers may not be relocated yet: the kernels' addresses are
// taken relative to the code. `Form::of<kernel>()` gives what is returned.
template <class Form>
TAV_CRC32_LOADER_SAFE auto choice() noexcept {
#if defined(__x86_64__)
    // AVX-512 and VPCLMULQDQ (AMD Zen 4 and 5, Intel Ice Lake and later
    // servers). On one core of an AMD EPYC (Zen 4, 3.4 GHz), over seven runs,
    // for 8 B, 16 B, 64 B, 1 KiB, 64 KiB and 1 MiB (before the streams' last
    // words moved to the last stream, which shortens both kernels below):
    // 2.5, 2.7, 3.0, 23.3, 1012, 16099 ns, 6.0, 1.6, 2.2, 1.08, 1.15, 1.17x the
    // crc32_iscsi ISA-L runs here (its AVX-512 kernel). It is fold512 below
    // 4 KiB; from there on the CRC32 streams beside the folding make it 1.12x
    // fold512 (1136 and 18232 ns at 64 KiB and 1 MiB). On a Zen 5 (family 26)
    // it was 0.87-0.94x ISA-L at 1 KiB and 1.19-1.26x from 64 KiB. Since, not
    // measured on such a processor but modelled (bench/crc32-mca), its 1 KiB
    // call takes 91 cycles on Zen 4 and 67 on Sapphire Rapids rather than 100
    // and 74 (the last register's lanes narrowed side by side), and the
    // public function is the kernel itself (IFUNC). In its main loop it takes
    // 3.13 and 1.76 cycles per 64 bytes where ISA-L's AVX-512 loop takes 4.01
    // and 2.01: 1.28x and 1.14x. No shape can reach 1.5x there: beside a
    // multiplier folding 16 (Zen 4) or 32 (Sapphire Rapids) bytes a cycle, as
    // ISA-L's loop does, the one CRC32 unit adds 8, at most 1.5x and 1.25x.
    // bench/crc32_bench ranks every shape where such a processor is at hand.
    if (avx512ClmulAvailable()) return Form::template of<crc32Hybrid512>();
    // AVX2 and VPCLMULQDQ without AVX-512 (AMD Zen 3, Intel client parts from
    // Alder Lake). On one core of an AMD EPYC of family 25 model 1 (Zen 3,
    // 3.2 GHz by a chain of CRC32 instructions), RelWithDebInfo, fastest of eleven, against crc32_iscsi, which
    // runs ISA-L's three CRC32 streams there; 16 B, 64 B, 256 B, 1, 4, 16, 64,
    // 256 KiB and 1 MiB: 5.1, 5.3, 13.8, 37.0, 108, 395, 1620, 6376, 26917 ns,
    // 1.18, 1.06, 1.00, 1.19, 1.55, 1.70, 1.67, 1.71, 1.64x (Release and
    // MinSizeRel within this machine's noise of it: the kernels are built at
    // -O3 whatever the build type). Up to 271
    // bytes it runs the streams, which alone stay near 1.0x beyond; fold256
    // alone is 0.5x at 256 B and near 1.0x from 4 KiB. From 64 KiB it reaches
    // 43% of the rate of merely reading the data (ISA-L 25%).
    if (avx2ClmulAvailable()) return Form::template of<crc32Hybrid256>();
    // SSE4.2 and PCLMULQDQ only (Intel before Ice Lake, AMD before Zen 3):
    // 38.6, 2293, 38398 ns from 1 KiB on, 0.98-1.03x crc32_iscsi_01, where
    // folding 16-byte registers takes 71.8, 4559, 72491 ns (0.53x).
    if (crcClmulAvailable()) return Form::template of<crc32Streams>();
#elif defined(__i386__)
    // 32-bit x86 (the Windows DLL's x86 build), whose CRC32 instruction takes 4
    // bytes rather than 8, halving the streams' rate. The i686 build on the
    // Zen 3 below, for 16 B, 64 B, 256 B, 1, 4 and 64 KiB and 1 MiB: 5.9, 8.7,
    // 28.1, 69.7, 235, 3987, 64135 ns, where fold128 takes 4.0, 8.5, 26.5,
    // 83.6, 321, 5068, 81192 ns and the streams 5.2, 9.2, 26.7, 86.0, 327,
    // 5113, 83501 ns (ISA-L has no 32-bit build to compare with). On x86-64
    // the streams stay ahead of it below 64 KiB. fold128, which needs the
    // same instructions, is never chosen.
    if (crcClmulAvailable()) return Form::template of<crc32Hybrid128>();
#endif
#if defined(__aarch64__)
    // ARM64 with CRC32 and PMULL: three streams keep the CRC32C instruction
    // busy as they do on x86 (checked under qemu for its values only).
    if (armPmullAvailable()) return Form::template of<crc32ArmStreams>();
    if (armCrcAvailable()) return Form::template of<crc32Arm>();
#endif
    return Form::template of<crc32Portable>();
}

struct Run {
    template <Kernel kernel>
    static constexpr Kernel of() { return kernel; }
};

struct WholeRun {
    template <Kernel kernel>
    static constexpr Whole of() { return whole<kernel>; }
};

}  // namespace

Kernel chosenKernel() noexcept { return choice<Run>(); }
Whole chosenWhole() noexcept { return choice<WholeRun>(); }

const KernelInfo& chosen() noexcept {
    const Kernel run = chosenKernel();
    for (const KernelInfo& k : all)
        if (k.run == run) return k;
    return all[0];
}

KernelList kernels() noexcept {
#if defined(TAV_CRC32_SHAPES) && defined(__x86_64__)
    static const std::vector<KernelInfo> withShapes = [] {
        std::vector<KernelInfo> list(std::begin(all), std::end(all));
        list.insert(list.end(), shapes().begin, shapes().end);
        return list;
    }();
    return {withShapes.data(), withShapes.data() + withShapes.size()};
#else
    return {std::begin(all), std::end(all)};
#endif
}

}  // namespace Tav::Security::Hash::detail
