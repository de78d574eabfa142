// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <cstdint>

#include <tav/export.hpp>

namespace Tav {

/// Base of every library class. No class has virtual operations, so the tag is
/// the one run-time mark of an object's concrete class.
class TAV_API Object {
public:
    char tag[12];        ///< the class's type tag, zero-terminated
    std::uint32_t size;  ///< the class's size figure; informational only

    Object() noexcept;
    /// A copy carries the tag of the class being constructed, never the source's.
    Object(const Object&) noexcept;
    /// Assignment keeps the target's own tag and size figure.
    Object& operator=(const Object&) noexcept { return *this; }

protected:
    /// Writes a derived class's tag (at most 11 characters) and size figure.
    void stamp(const char* tag, std::uint32_t size) noexcept;
};

}  // namespace Tav
