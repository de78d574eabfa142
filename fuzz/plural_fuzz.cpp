// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// A plural rule parsed from arbitrary bytes and, where accepted, evaluated.
#include <climits>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "fuzz.hpp"
#include "international/plural.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const Tav::International::detail::PluralRule rule(
            std::string_view(reinterpret_cast<const char*>(data), size));
        for (unsigned long n : {0ul, 1ul, 2ul, 5ul, 11ul, 101ul, 1000000ul, ULONG_MAX}) {
            const unsigned long form = rule.select(n);
            if (form >= rule.forms()) __builtin_trap();  // never a form the rule does not have
            keep(form);
        }
    } catch (const std::invalid_argument&) {
    }
    return 0;
}
