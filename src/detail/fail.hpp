// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

namespace Tav::detail {

// The library reports its own failures by throwing a pointer to a new standard
// exception object; the catcher owns the object and deletes it.
template <class Exception>
[[noreturn]] void fail(const char* message) {
    throw new Exception(message);
}

}  // namespace Tav::detail
