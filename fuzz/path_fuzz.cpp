// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Container path lookups of arbitrary path strings, on a fixed small container
// file and on a file made of the rest of the input. The input is the path, a
// zero byte, then the file's bytes.
#include <cstdint>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>

#include <tav/format/ostrane/file.hpp>

#include "fuzz.hpp"
#include "riff_writer.hpp"

namespace {

const std::string& fixed() {
    static const std::string bytes = tavtool::riff(
        "OSTR", tavtool::node("HEAD", "head", "x") +
                    tavtool::namedList("BODY", "ORL",
                                       tavtool::node("STRN", "code", "en") + tavtool::node("STRN", "more", "") +
                                           tavtool::namedList("ATXT", "strings", tavtool::chunk("TEXT", "hi"))));
    return bytes;
}

void lookUp(const std::string& file, const std::string& path) {
    std::istringstream in(file);
    swallow([&] {
        Tav::Format::Ostrane::File container(in);
        swallow([&] {
            Tav::Format::Ostrane::Node& node = container[path];
            std::unique_ptr<Tav::Format::Ostrane::Node> owned(&node);
            keep(node.name().size());
            // Every byte of the data through the chunk's own open, then the payload
            // through the node's: it runs from after the first zero byte to the data's end.
            Tav::Format::RIFF::Chunk& chunk = node;
            swallow([&] {
                const std::string data(chunk.open(), chunk.length());
                chunk.close();
                const std::size_t zero = data.find('\0');
                const char* payload = node.open();
                touch(payload, zero == std::string::npos ? 0 : data.size() - zero - 1);
                node.close();
            });
        });
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    const void* zero = std::memchr(text, 0, size);
    const std::size_t pathLength = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - text) : size;
    const std::string path(text, pathLength);
    lookUp(fixed(), path);
    if (zero) lookUp(std::string(text + pathLength + 1, size - pathLength - 1), path);
    return 0;
}
