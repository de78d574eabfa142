// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>

#include <tav/format/riff/file.hpp>

namespace tavtool {

// Prints the chunk tree of each form of a stream, one chunk per line, its
// children indented below it; with `names` (or in a form of type "OSTR"), each
// node's container name and a path that selects it within its form. A chunk
// whose data runs past the end of the stream (`size` bytes) is marked cut, one
// that reaches past its list says by how much; bytes after the last published
// form that are no form are named on a line of their own. The time is linear in
// the number of chunks. A line is finished before an error the chunk it shows
// causes propagates.
void printTree(std::istream& in, Tav::Format::RIFF::Convention convention, bool names, std::uint64_t size,
               std::ostream& out);

}  // namespace tavtool
