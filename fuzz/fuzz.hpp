// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

// Helpers shared by the fuzz targets.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <stdexcept>

// Runs `body`; returns true when it completed, false when it threw one of the
// library's documented failures (a pointer to a standard exception, which is
// deleted, or std::out_of_range from an index conversion). Anything else
// escapes and is a finding.
template <class Body>
bool swallow(Body&& body) {
    try {
        body();
        return true;
    } catch (std::exception* e) {
        delete e;
    } catch (const std::out_of_range&) {
    }
    return false;
}

// Keeps a value alive so that the work computing it is not optimised away.
inline volatile std::uint64_t fuzzSink = 0;
inline void keep(std::uint64_t value) { fuzzSink = fuzzSink ^ value; }

// Reads every byte of a range, so that the sanitizers see any overrun.
inline void touch(const char* bytes, std::size_t size) {
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < size; ++i) sum += static_cast<unsigned char>(bytes[i]);
    keep(sum);
}
