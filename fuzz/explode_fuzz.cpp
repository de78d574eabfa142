// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Explode on arbitrary text, delimiter and limit: the first byte is the
// delimiter, the next two the limit, the rest the text. The pieces must join
// back into a prefix of the text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include <tav/string/string.hpp>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const char delimiter = static_cast<char>(data[0]);
    const unsigned limit = data[1] | data[2] << 8;
    const std::string text(reinterpret_cast<const char*>(data + 3), size - 3);
    const std::vector<std::string> pieces = Tav::String::Explode(text, delimiter, limit);
    std::string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) joined += (i ? std::string(1, delimiter) : "") + pieces[i];
    if (text.compare(0, joined.size(), joined) != 0) std::abort();
    if (limit != 0 && pieces.size() > limit) std::abort();
    return 0;
}
