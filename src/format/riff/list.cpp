// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <tav/format/riff/list.hpp>

#include <cstring>
#include <stdexcept>

#include <tav/format/riff/file.hpp>

#include "detail/bytes.hpp"
#include "detail/fail.hpp"
#include "format/riff/window.hpp"

namespace Tav::Format::RIFF {

using Tav::detail::fail;

namespace detail {

// What one load shares across its nested lists.
struct Load {
    Window window;
    // Headers of a well-formed file never overlap, so a walk that finds more chunks
    // than the stream has room for is going in circles (lists whose last child
    // reaches back over their parent's later children): refuse it.
    std::uint64_t room;
    bool published;

    Load(File& file, bool published) : window(file), room(window.size() / 8 + 1), published(published) {}

    bool header(std::uint32_t offset, FourCC& id, std::uint32_t& length) {
        unsigned char bytes[8];
        if (!window.fetch(offset, sizeof bytes, bytes)) return false;
        std::memcpy(id.chars, bytes, 4);
        length = Tav::detail::loadLE32(bytes + 4);
        return true;
    }

    // Whether a chunk header can start at `offset`: its id is four printable
    // ASCII characters, as every registered chunk id is.
    bool plausible(std::uint64_t offset) {
        unsigned char id[4];
        if (!window.fetch(offset, sizeof id, id)) return false;
        for (unsigned char c : id)
            if (c < 0x20 || c > 0x7E) return false;
        return true;
    }

    void admit() {
        if (room == 0) fail<std::invalid_argument>("Overlapping chunks!");
        --room;
    }
};

}  // namespace detail

List::List() noexcept : Chunk() { stamp("TFrmtRIFFLi", 28); }

List::List(Object& owner, std::uint32_t offset) : Chunk(owner, offset) {
    stamp("TFrmtRIFFLi", 28);
    load();
}

List::List(File* owner, std::uint32_t offset, std::uint32_t length, detail::Load& state, unsigned depth)
    : Chunk(owner, offset) {
    stamp("TFrmtRIFFLi", 28);
    try {
        load(length, state, depth);
    } catch (...) {
        clear();  // the destructor does not run for a constructor that throws
        throw;
    }
}

List::~List() { clear(); }

void List::clear() noexcept {
    // No class has a virtual destructor: destroy each child as what it is.
    for (Chunk* child : children) {
        if (child && List::is(*child))
            delete static_cast<List*>(child);
        else
            delete child;
    }
    children.clear();
}

const FourCC List::type() {
    requireParent();
    FourCC id;
    parent->read(position + 8, 4, id.chars);
    return id;
}

std::int32_t List::count() noexcept { return static_cast<std::int32_t>(children.size()); }

Chunk& List::operator[](std::uint32_t index) {
    if (index >= children.size()) fail<std::range_error>("List index out of range!");
    return *children[index];
}

bool List::is(const Object& object) noexcept {
    return std::strncmp(object.tag, "TFrmtRIFFLi", sizeof object.tag) == 0;
}

void List::load() {
    requireParent();
    try {
        detail::Load state(*parent, parent->convention == Convention::Published);
        FourCC id;
        std::uint32_t length = 0;  // a header the stream cannot deliver reads as zero
        state.header(position, id, length);
        load(length, state, 0);
        state.window.finish();
    } catch (...) {
        clear();
        throw;
    }
}

void List::load(std::uint32_t length, detail::Load& state, unsigned depth) {
    // Each nested list loads itself before the walk goes on; bound the recursion.
    if (depth > maxDepth) fail<std::invalid_argument>("Lists nested too deeply!");
    // In Tav's convention a list's length counts the bytes after its list type, in
    // the published one the list type too; offsets are 32-bit, and a length near
    // 4 GiB (a streaming writer's placeholder) does not wrap round. The children
    // start after the list type in both.
    const std::uint64_t limit = std::uint64_t{length} + (state.published ? 8 : 12);
    std::uint32_t cursor = 12;
    while (cursor < limit) {
        const std::uint32_t at = position + cursor;
        FourCC id;
        std::uint32_t n;
        // The walk ends at the first child whose header the stream cannot deliver.
        if (!state.header(at, id, n)) break;
        state.admit();
        const bool isList = id.value == KnownFourCC::LIST.value;
        children.push_back(nullptr);  // make room first, so that no child can leak
        if (isList)
            children.back() = new List(parent, at, n, state, depth + 1);
        else
            children.back() = new Chunk(parent, at);
        // A child reaching past the list's end is kept whole; the walk stops after
        // it. A length that wraps the 32-bit cursor stops the walk the same way.
        // Published chunks of odd length are followed by a pad byte; one missing at
        // the end of the data only ends the walk.
        std::uint64_t next = std::uint64_t{cursor} + n + (state.published ? 8 + (n & 1) : isList ? 12 : 8);
        // A published list is odd only when its last child's pad byte is missing,
        // and writers that leave that out leave out the list's own too (SoundFont
        // 3 files): the next header then starts where the list ends, where one
        // can (a pad byte, zero, cannot begin an id).
        if (state.published && isList && (n & 1) && state.plausible(std::uint64_t{at} + 8 + n)) --next;
        if (next > 0xFFFFFFFFu) break;
        cursor = static_cast<std::uint32_t>(next);
    }
    children.shrink_to_fit();
}

}  // namespace Tav::Format::RIFF
