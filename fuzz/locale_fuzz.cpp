// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// A Locale built from arbitrary bytes, then looked up and printed.
#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>

#include <tav/international/locale.hpp>

#include "fuzz.hpp"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static std::ostringstream discard;
    std::cout.rdbuf(discard.rdbuf());  // the printing is exercised, not shown
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    swallow([&] {
        Tav::International::Locale locale(in);
        keep(locale.code().size() + locale[std::string("hello")].size() + std::string(locale["bye"]).size() +
             locale.plural(std::string("file"), 3).size() + std::string(locale.plural("file", 0)).size());
        locale << "hello" << std::string("") << static_cast<const char*>(nullptr);
        std::cout.rdbuf()->pubseekpos(0);
    });
    return 0;
}
