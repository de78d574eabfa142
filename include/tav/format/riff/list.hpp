// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <cstdint>
#include <vector>

#include <tav/export.hpp>
#include <tav/format/riff/chunk.hpp>

namespace Tav::Format::RIFF {

namespace detail {
struct Load;
}

/// A chunk that contains chunks: a "LIST" chunk, or the file itself. Its children
/// follow the list type directly. In Tav's convention its length counts the
/// bytes after its list type, and children follow each other without pad bytes;
/// in the published one (a File read with Convention::Published) its length
/// counts the list type too, and each odd child is followed by a pad byte. The
/// children are loaded once, at construction, and owned by the list.
class TAV_API List : public Chunk {
public:
    /// Deepest nesting of lists that a load accepts ("Lists nested too deeply!").
    static constexpr unsigned maxDepth = 256;

    List() noexcept;
    /// Throws "Unparented chunk!" unless `parent` is exactly a RIFF File.
    List(Object& parent, std::uint64_t offset);
    List(const List&) = delete;
    List& operator=(const List&) = delete;
    ~List();

    /// The list type (on a file: the form type). Through a Chunk reference the
    /// chunk id, "LIST" or "RIFF", is returned instead.
    const FourCC type();
    /// The number of children loaded.
    std::int32_t count() noexcept;
    /// Throws a pointer to a new std::range_error for an index not below count().
    Chunk& operator[](std::uint32_t index);

    /// Whether `object` is exactly a List (its type tag), not a File or a Chunk.
    static bool is(const Object& object) noexcept;

protected:
    /// Loads the children once; run by the constructors.
    void load();

private:
    List(File* parent, std::uint64_t offset, std::uint64_t length, detail::Load& state, unsigned depth);
    void load(std::uint64_t length, detail::Load& state, unsigned depth);
    void clear() noexcept;

    std::vector<Chunk*> children;
};

}  // namespace Tav::Format::RIFF
