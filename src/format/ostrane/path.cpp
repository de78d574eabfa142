// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include "format/ostrane/path.hpp"

#include <cstring>
#include <stdexcept>
#include <string>

#include <tav/format/riff/file.hpp>

#include "detail/fail.hpp"

namespace Tav::Format::Ostrane::detail {

namespace {

// The grammar is ASCII only, whatever the locale.
bool letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool digit(char c) { return c >= '0' && c <= '9'; }
bool word(char c) { return letter(c) || digit(c) || c == '_'; }
bool typeTail(char c) { return letter(c) || digit(c) || c == ' '; }

[[noreturn]] void invalid() {
    Tav::detail::fail<std::invalid_argument>("Invalid path in Format::Ostrane::File::operator[]");
}

}  // namespace

// A hand-written matcher: a backtracking regular expression engine needs stack
// in proportion to the path's length and crashes on long paths.
std::vector<Step> parsePath(std::string_view path) {
    std::size_t at = 0;
    if (path.substr(0, 4) == "OSTR")
        at = 4;
    else if (path.substr(0, 1) == ".")
        at = 1;

    std::vector<Step> steps;
    std::vector<std::string_view> indices;
    const auto peek = [&] { return at < path.size() ? path[at] : '\0'; };
    while (at < path.size()) {
        if (path[at++] != '/') invalid();
        Step step{};
        if (letter(peek())) {
            if (path.size() - at < 4) invalid();
            for (std::size_t i = 1; i < 4; ++i)
                if (!typeTail(path[at + i])) invalid();
            std::memcpy(step.type.chars, path.data() + at, 4);
            at += 4;
        }
        if (peek() == '.') {
            const std::size_t start = ++at;
            if (!letter(peek())) invalid();
            while (word(peek())) ++at;
            step.name = path.substr(start, at - start);
        }
        std::string_view index;
        if (peek() == '#') {
            const std::size_t start = ++at;
            while (digit(peek())) ++at;
            if (at == start) invalid();
            index = path.substr(start, at - start);
        }
        if (at < path.size() && path[at] != '/') invalid();
        steps.push_back(step);
        indices.push_back(index);
    }
    // A "/" at the very end adds no segment of its own.
    if (!path.empty() && path.back() == '/') {
        steps.pop_back();
        indices.pop_back();
    }
    // A path that selects nothing has no node to return.
    if (steps.empty()) invalid();

    for (std::size_t i = 0; i < steps.size(); ++i) {
        // The standard conversion, so that an index beyond a signed 32-bit integer
        // fails with its own std::out_of_range.
        if (!indices[i].empty()) steps[i].index = static_cast<std::uint32_t>(std::stoi(std::string(indices[i])));
        steps[i].list = i + 1 < steps.size();
    }
    return steps;
}

FourCC Identifiers::at(std::uint64_t offset) {
    FourCC code{};
    if (!window.fetch(offset, 4, code.chars)) code.value = 0;
    return code;
}

FourCC Identifiers::id(RIFF::Chunk& chunk) { return at(chunk.offset()); }

bool Identifiers::passes(RIFF::Chunk& chunk, FourCC type) {
    const FourCC code = id(chunk);
    return code.value == type.value ||
           (code.value == KnownFourCC::LIST.value && at(std::uint64_t{chunk.offset()} + 8).value == type.value);
}

RIFF::Chunk& select(RIFF::File& file, std::string_view path) {
    const std::vector<Step> steps = parsePath(path);
    Identifiers identifiers(file);
    RIFF::List* current = &file;
    // The last step never walks on, so the loop always ends in a return or a throw.
    for (auto step = steps.begin();; ++step) {
        // Candidates are counted only as far as the index needs: the result is the
        // same as filtering them all first, with fewer reads of the stream.
        RIFF::Chunk* selected = nullptr;
        std::uint32_t passed = 0;
        for (std::int32_t i = 0, n = current->count(); i < n && !selected; ++i) {
            RIFF::Chunk& child = (*current)[static_cast<std::uint32_t>(i)];
            if (step->type.value != 0 && !identifiers.passes(child, step->type)) continue;
            if (passed++ == step->index) selected = &child;
        }
        if (!selected)
            Tav::detail::fail<std::range_error>("Invalid node index in Format::Ostrane::File::operator[]");
        if (!step->list) return *selected;
        // The tag is checked as well as the id, so that only a loaded list is walked into.
        if (selected->type().value != KnownFourCC::LIST.value || !RIFF::List::is(*selected))
            Tav::detail::fail<std::invalid_argument>("Cannot use node as list in Format::Ostrane::File::operator[]");
        current = static_cast<RIFF::List*>(selected);
    }
}

}  // namespace Tav::Format::Ostrane::detail
