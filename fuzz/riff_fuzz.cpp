// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// A RIFF File built from arbitrary bytes, with its whole tree walked: every
// child's type, length, offset, open and close, every list's type and children;
// then every form that follows it: where next() says one stands, the
// constructor may refuse its chunks but never its header. The first byte picks
// the length convention (odd: published), the rest is the file.
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include <tav/format/riff/file.hpp>

#include "fuzz.hpp"

namespace {

using Tav::Format::RIFF::Chunk;
using Tav::Format::RIFF::List;

void walk(List& list) {
    keep(list.type().value);
    for (std::int32_t i = 0; i < list.count(); ++i) {
        Chunk& child = list[static_cast<std::uint32_t>(i)];
        keep(child.type().value + child.length() + child.offset());
        if (swallow([&] {
                const char* data = child.open();
                touch(data, child.length());
            }))
            child.close();
        if (List::is(child)) walk(static_cast<List&>(child));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    using Tav::Format::RIFF::Convention;
    const Convention convention = data[0] & 1 ? Convention::Published : Convention::Tav;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    std::unique_ptr<Tav::Format::RIFF::File> file;
    swallow([&] { file = std::make_unique<Tav::Format::RIFF::File>(in, convention); });
    while (file) {
        walk(*file);
        const std::uint64_t limit = file->limit(), next = file->next();
        if (limit < file->origin() || limit > size - 1 || (next != 0 && next != limit)) __builtin_trap();
        if (next == 0) break;
        in.clear();
        try {
            file = std::make_unique<Tav::Format::RIFF::File>(in, convention, next);
        } catch (std::exception* e) {
            // The header next() names is one the constructor accepts; the form's
            // chunks may still be refused, as any form's are (overlapping lists).
            const bool header = std::string(e->what()).rfind("Tav::Format::RIFF::File::constructor", 0) == 0;
            delete e;
            if (header) __builtin_trap();
            break;
        }
    }
    return 0;
}
