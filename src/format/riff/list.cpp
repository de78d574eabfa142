// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <tav/format/riff/list.hpp>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include <tav/format/riff/file.hpp>

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
    File& file;

    explicit Load(File& file) : window(file), room(window.size() / 8 + 1), file(file) {}

    // The header at `offset`: its data length and whether it begins a list.
    bool header(std::uint64_t offset, std::uint64_t& length, bool& list) {
        unsigned char bytes[24];
        if (!window.fetch(offset, file.headerBytes(), bytes)) return false;
        length = file.declared(bytes);
        list = file.listAt(bytes);
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

List::List(Object& owner, std::uint64_t offset) : Chunk(owner, offset) {
    stamp("TFrmtRIFFLi", 28);
    load();
}

List::List(File* owner, std::uint64_t offset, std::uint64_t length, detail::Load& state, unsigned depth)
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
    unsigned char id[16];
    parent->read(position + parent->headerBytes(), parent->typeBytes(), id);
    return parent->code(id);
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
        detail::Load state(*parent);
        std::uint64_t length = 0;  // a header the stream cannot deliver reads as zero
        bool list;
        state.header(position, length, list);
        load(length, state, 0);
        state.window.finish();
    } catch (...) {
        clear();
        throw;
    }
}

void List::load(std::uint64_t length, detail::Load& state, unsigned depth) {
    // Each nested list loads itself before the walk goes on; bound the recursion.
    if (depth > maxDepth) fail<std::invalid_argument>("Lists nested too deeply!");
    // In Tav's convention a list's length counts the bytes after its list type, in
    // the published one the list type too. The children start after the list
    // type in both. Lengths are 64-bit, and a length near 2^64 (damage) cannot
    // wrap the walk round: it ends at the stream's end.
    File& file = *parent;
    const bool published = file.convention == Convention::Published;
    const unsigned header = file.headerBytes();
    const std::uint64_t size = state.window.size();
    const std::uint64_t limit = std::min(length, size) + header + (published ? 0 : 4);
    std::uint64_t cursor = header + file.typeBytes();
    while (cursor < limit) {
        const std::uint64_t at = position + cursor;
        std::uint64_t n;
        bool isList;
        // The walk ends at the first child whose header the stream cannot deliver.
        if (!state.header(at, n, isList)) break;
        state.admit();
        children.push_back(nullptr);  // make room first, so that no child can leak
        if (isList)
            children.back() = new List(parent, at, n, state, depth + 1);
        else
            children.back() = new Chunk(parent, at);
        // A child reaching past the list's end is kept whole; the walk stops after
        // it. Published chunks of odd length are followed by a pad byte, Wave64's
        // by up to 7 to the next multiple of 8; one missing at the end of the data
        // only ends the walk.
        if (n > size) break;
        std::uint64_t next = cursor + header + n + (isList && !published ? 4 : 0) + file.pad(n);
        // A published list is odd only when its last child's pad byte is missing,
        // and writers that leave that out leave out the list's own too (SoundFont
        // 3 files): the next header then starts where the list ends, where one
        // can (a pad byte, zero, cannot begin an id).
        if (published && isList && (n & 1) && state.plausible(at + header + n)) --next;
        cursor = next;
    }
    children.shrink_to_fit();
}

}  // namespace Tav::Format::RIFF
