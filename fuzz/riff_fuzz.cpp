// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// A RIFF File built from arbitrary bytes, with its whole tree walked: every
// child's type, GUID, length and offset (the 32-bit calls agree with the 64-bit
// ones where the value fits and refuse where not), open and close, a read at
// its data's end, every list's type and children; then every form that follows
// it: where next() says one stands, the constructor may refuse its chunks but
// never its header. The first byte picks the length convention (odd:
// published, which reads every member of the family), the rest is the file;
// identify() must name a convention that reads it, or refuse it too.
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include <tav/format/riff/file.hpp>

#include "fuzz.hpp"

namespace {

using Tav::Format::RIFF::Chunk;
using Tav::Format::RIFF::List;

void walk(List& list, std::istream& in) {
    keep(list.type().value);
    for (std::int32_t i = 0; i < list.count(); ++i) {
        Chunk& child = list[static_cast<std::uint32_t>(i)];
        const std::uint64_t n = child.length64(), at = child.offset64();
        keep(child.type().value + n + at + child.dataEnd() + child.guid()[15]);
        const bool fits = n <= 0xFFFFFFFFu && at <= 0xFFFFFFFFu;
        if (swallow([&] {
                if (child.length() != n || child.offset() != at) __builtin_trap();
            }) != fits)
            __builtin_trap();
        if (swallow([&] {
                const char* data = child.open();
                touch(data, static_cast<std::size_t>(n));
            }))
            child.close();
        char last = 0;
        if (child.read(n - 1, &last, 4) > 1) __builtin_trap();  // clipped to the data
        in.clear();
        if (List::is(child)) walk(static_cast<List&>(child), in);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    using Tav::Format::RIFF::Convention;
    const Convention convention = data[0] & 1 ? Convention::Published : Convention::Tav;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    std::unique_ptr<Tav::Format::RIFF::File> file;
    const bool identified = swallow([&] {
        const Tav::Format::RIFF::Kind kind = Tav::Format::RIFF::identify(in);
        Tav::Format::RIFF::File(in, kind.convention);
    });
    in.clear();
    in.seekg(0);
    swallow([&] { file = std::make_unique<Tav::Format::RIFF::File>(in, convention); });
    // What a convention reads, identify() names a convention for.
    if (file && !identified) __builtin_trap();
    while (file) {
        walk(*file, in);
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
