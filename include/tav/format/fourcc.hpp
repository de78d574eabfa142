// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <cstdint>

#include <tav/export.hpp>

namespace Tav::Format {

/// A four-character code: the four bytes as they stand in the file, or the same
/// bytes read as one little-endian integer. Codes are compared through `value`.
union FourCC {
    char chars[4];        ///< the bytes as they stand in the file
    std::uint32_t value;  ///< the same bytes as one little-endian integer
};

namespace KnownFourCC {
TAV_API extern const FourCC RIFF;  ///< "RIFF": the outer form of every file
TAV_API extern const FourCC LIST;  ///< "LIST": a chunk holding chunks
TAV_API extern const FourCC OSTR;  ///< "OSTR": the container format's form type
/// Marks the name child of a container list. It holds "OSTR", not "NAME": files
/// whose name children carry the letters N, A, M, E do not yield list names.
TAV_API extern const FourCC NAME;
}  // namespace KnownFourCC

}  // namespace Tav::Format
