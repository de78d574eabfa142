// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <ostream>

#include <tav/format/riff/file.hpp>

namespace tavtool {

// Prints a file's chunk tree, one chunk per line, its children indented below
// it; with `names`, each node's container name and a path that selects it. The
// time is linear in the number of chunks. A line is finished before an error
// the chunk it shows causes propagates.
void printTree(Tav::Format::RIFF::File& file, bool names, std::ostream& out);

}  // namespace tavtool
