// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

// gettext's system-dependent strings: c-format messages that use <inttypes.h>
// macros, written "%<PRIu64>" in PO files and kept apart in MO files, whose text
// each C library expands its own way. A locale file is compiled once and read
// by programs built for other platforms, so such a message is filed under the
// expansion of every target the project builds for.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavtool {

// The C libraries whose expansions are filed: 64- and 32-bit glibc, 64- and
// 32-bit Windows with MinGW-w64 (its C99 printf or msvcrt's) and MSVC.
constexpr std::size_t sysdepTargets = 8;

// The targets' names for --target, in that order: "glibc-64", "glibc-32",
// "mingw-64", "mingw-64-msvcrt", "mingw-32", "mingw-32-msvcrt", "msvc-64",
// "msvc-32".
extern const char* const sysdepTargetNames[sysdepTargets];

// The target of the C library this program was built for.
std::size_t hostTarget();

// What a segment ("PRIu64", "PRIxMAX", GNOME's "I" flag) expands to for
// `target`: "lu", "I64x", "I"; nothing for a segment no C library defines.
std::optional<std::string> expandSegment(std::string_view segment, std::size_t target);

// Whether a c-format text has a "%<...>" directive.
bool hasSegments(std::string_view text);

// A c-format text of a PO file with each "%<NAME>" directive's NAME expanded
// for `target`. Throws std::invalid_argument naming a segment it does not know.
std::string expandSegments(std::string_view text, std::size_t target);

}  // namespace tavtool
