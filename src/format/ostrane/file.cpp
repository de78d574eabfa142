// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <tav/format/ostrane/file.hpp>

#include <stdexcept>

#include "detail/fail.hpp"
#include "format/ostrane/path.hpp"

namespace Tav::Format::Ostrane {

using Tav::detail::fail;

File::File() noexcept : RIFF::File() { stamp("TFrmtOstrFi", 96); }

File::File(std::istream& stream) : RIFF::File(stream) { stamp("TFrmtOstrFi", 96); }

Node& File::operator[](const char* path) {
    if (!path) fail<std::invalid_argument>("Invalid path in Format::Ostrane::File::operator[]");
    return (*this)[std::string(path)];
}

Node& File::operator[](const std::string& path) { return *new Node(detail::select(*this, path)); }

}  // namespace Tav::Format::Ostrane
