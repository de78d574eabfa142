// Which CRC-32 kernel runs: every kernel built for the target, and the one
// table that picks among them.
#include <cstring>
#include <iterator>

#include "security/crc32_detail.hpp"

namespace Tav::Security::Hash::detail {

namespace {

bool always() noexcept { return true; }

constexpr KernelInfo all[] = {
    {"portable", crc32Portable, always},
#if defined(__x86_64__) || defined(__i386__)
    {"fold128", crc32Fold128, crcClmulAvailable},
    {"streams", crc32Streams, crcClmulAvailable},
#endif
#if defined(__x86_64__)
    {"fold256", crc32Fold256, avx2ClmulAvailable},
    {"hybrid256", crc32Hybrid256, avx2ClmulAvailable},
    {"fold512", crc32Fold512, avx512ClmulAvailable},
#endif
#if defined(__aarch64__)
    {"arm", crc32Arm, armCrcAvailable},
    {"arm_streams", crc32ArmStreams, armPmullAvailable},
#endif
};

// The choice: the first kernel in this list that the processor runs. No row
// depends on vendor or family: no measurement so far has shown the order
// differ between processors with the same instructions. Figures are minimum
// times over seven runs on one core of an AMD EPYC (Zen 4, 3.4 GHz; AVX-512 and
// VPCLMULQDQ) beside ISA-L 2.30 in the same run, for 8 B, 16 B, 64 B, 1 KiB,
// 64 KiB and 1 MiB; "x" is how many times faster than ISA-L.
constexpr const char* preference[] = {
    // 3.1, 3.0, 3.2, 21.9, 1123, 18086 ns: 4.7, 1.5, 2.1, 1.15, 1.04, 1.05x the
    // crc32_iscsi that ISA-L runs here (its AVX-512 kernel), and 1.3-1.4x
    // hybrid256 from 1 KiB on.
    "fold512",
    // Processors with AVX2 and VPCLMULQDQ but no AVX-512 (AMD Zen 3, Intel
    // Alder Lake and later client parts), measured on the same core against
    // crc32_iscsi_01, the kernel ISA-L runs on them: 2.5, 2.7, 3.0, 30.2, 1485,
    // 24291 ns, 1.56, 1.31, 1.12, 1.25, 1.60, 1.60x; fold256 alone reaches
    // only 0.98-1.07x from 1 KiB on and ISA-L's three CRC32 streams 0.97-1.04x.
    "hybrid256",
#if defined(__x86_64__)
    // SSE4.2 and PCLMULQDQ only (Intel before Ice Lake, AMD before Zen 3):
    // 38.9, 2290, 38037 ns from 1 KiB on, 0.97-1.04x crc32_iscsi_01, where
    // folding 16-byte registers takes 71.7, 4507, 72238 ns (0.53x).
    "streams",
#endif
    // 32-bit x86, whose CRC32 instruction takes 4 bytes, not 8, so that the
    // streams lose their edge: folding, as the 64-bit figures above show for
    // half the streams' rate (not measured in 32-bit mode: no processor here
    // runs it).
    "fold128",
    // ARM64 with CRC32 and PMULL: three streams keep the CRC32C instruction
    // busy the way they do on x86 (checked under qemu for its values only).
    "arm_streams",
    "arm",
    "portable",
};

const KernelInfo& choose() noexcept {
    for (const char* name : preference)
        for (const KernelInfo& k : all)
            if (std::strcmp(k.name, name) == 0 && k.available()) return k;
    return all[0];
}

}  // namespace

// Chosen once, while the library loads, so that an old processor never meets
// an instruction it lacks.
const Kernel chosenKernel = choose().run;

KernelList kernels() noexcept { return {std::begin(all), std::end(all)}; }

const KernelInfo& chosen() noexcept {
    for (const KernelInfo& k : all)
        if (k.run == chosenKernel) return k;
    return all[0];
}

}  // namespace Tav::Security::Hash::detail
