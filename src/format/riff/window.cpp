// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include "format/riff/window.hpp"

#include <algorithm>
#include <cstring>
#include <istream>

#include <tav/format/riff/file.hpp>

namespace Tav::Format::RIFF::detail {

namespace {
constexpr std::size_t blockBytes = 64 * 1024;
}  // namespace

Window::Window(File& f) : file(f), extent(f.extent()) {}

bool Window::fetch(std::uint64_t offset, std::size_t bytes, void* out) {
    if (broken || offset > extent || bytes > extent - offset) return false;
    if (bytes == 0) return true;
    if (offset < blockStart || offset + bytes > blockStart + block.size()) {
        std::istream& s = *file.stream;
        const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(std::max(blockBytes, bytes), extent - offset));
        block.resize(size);
        blockStart = offset;
        s.seekg(std::streampos(static_cast<std::streamoff>(file.base + offset)));
        s.read(reinterpret_cast<char*>(block.data()), static_cast<std::streamsize>(size));
        if (!s.good()) {
            broken = true;
            block.clear();
            return false;
        }
    }
    std::memcpy(out, block.data() + (offset - blockStart), bytes);
    lastEnd = offset + bytes;
    return true;
}

void Window::finish() {
    std::istream& s = *file.stream;
    if (lastEnd != 0 && s.good()) s.seekg(std::streampos(static_cast<std::streamoff>(file.base + lastEnd)));
}

}  // namespace Tav::Format::RIFF::detail
