// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <cstdint>
#include <string>

#include <tav/export.hpp>
#include <tav/format/riff/chunk.hpp>

namespace Tav::Format::Ostrane {

/// A chunk of a container file seen as a named node. A data node's data is its
/// name, a zero byte, then its payload; a list node is named by its first child
/// when that child's id is KnownFourCC::NAME ("OSTR").
///
/// Data with no zero byte is all name and no payload: name() gives the whole
/// data and open() the address just past it. Neither reads past the data.
class TAV_API Node : public RIFF::Chunk {
public:
    Node() noexcept;
    /// The same chunk as `chunk` (a plain chunk, a list or another node); shares
    /// its open buffer as a chunk copy does.
    explicit Node(const RIFF::Chunk& chunk) noexcept;
    /// A copy shares the node's open buffer, as a chunk copy does.
    Node(const Node& other) noexcept;
    /// Parented only when `parent` is exactly a RIFF File (RIFF::File::is).
    Node(Object& parent, std::uint64_t position) noexcept;
    Node& operator=(const Node&) = delete;

    /// The node's name. Leaves the node open or closed as it found it. A list with
    /// no children, or whose first child is not a name child, has the empty name.
    const std::string name();
    /// Opens the node and returns the address of its payload, after the name's
    /// zero byte. Valid until close() or destruction.
    const char* open();

private:
    Node(RIFF::File* parent, std::uint64_t position) noexcept;
};

}  // namespace Tav::Format::Ostrane
