// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// The catalogue compiler's MO reader over arbitrary bytes after an MO magic
// number, its table of system-dependent strings included: a refusal is a
// FileError naming the file, and anything else that escapes (an allocation
// failure from a length the file cannot hold, a crash) is a finding.
#include <cstdint>
#include <string>

#include "catalog.hpp"
#include "files.hpp"
#include "fuzz.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = "\xDE\x12\x04\x95" + std::string(reinterpret_cast<const char*>(data), size);
    try {
        const tavtool::Catalog catalog = tavtool::readMo("fuzz.mo", bytes);
        for (const tavtool::Message& m : tavtool::messages({catalog})) keep(m.key.size() + m.text.size());
    } catch (const tavtool::FileError&) {
    }
    return 0;
}
