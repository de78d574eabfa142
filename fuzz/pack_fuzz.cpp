// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// tavtool pack over arbitrary text: a JSON description becomes RIFF bytes or is
// refused with a PackError naming the place; anything else that escapes (an
// allocation failure, deep recursion, a crash) is a finding. The run's memory
// limit catches input whose cost grows faster than its size.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "fuzz.hpp"
#include "riff_json.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
        const tavtool::Description description = tavtool::parseDescription(in);
        const tavtool::Packed packed(description);
        std::ostringstream out;
        packed.write(out);
        // The size planned is the size written.
        if (out.str().size() != packed.size()) std::abort();
        keep(out.str().size());
    } catch (const tavtool::PackError&) {
    }
    return 0;
}
