// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <cstdint>
#include <ostream>

#include <tav/format/riff/file.hpp>

namespace tavtool {

// Prints a file's chunk tree, one chunk per line, its children indented below
// it; with `names`, each node's container name and a path that selects it. A
// chunk whose data runs past the end of the stream (`size` bytes) is marked
// cut, one that reaches past its list says by how much; bytes after a published
// form are named on a line of their own. The time is linear in
// the number of chunks. A line is finished before an error the chunk it shows
// causes propagates.
void printTree(Tav::Format::RIFF::File& file, Tav::Format::RIFF::Convention convention, bool names, std::uint64_t size,
               std::ostream& out);

}  // namespace tavtool
