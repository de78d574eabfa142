// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <tav/core/object.hpp>

#include <cstring>

namespace Tav {

Object::Object() noexcept : tag{}, size{0} { stamp("TavObject", 16); }

Object::Object(const Object&) noexcept : Object() {}

void Object::stamp(const char* name, std::uint32_t figure) noexcept {
    // Bounded copy: the field always ends in a zero byte, even for a tag that is too long.
    std::strncpy(tag, name, sizeof tag - 1);
    tag[sizeof tag - 1] = '\0';
    size = figure;
}

}  // namespace Tav
