// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Calls of Tav::String::Format, compiled one case at a time by
// format_misuse.cmake: case 0 holds calls that must compile, every other case
// one that must not.
#include <string>
#include <string_view>

#include <tav/string/string.hpp>

struct Point {
    int x, y;
};

int main() {
    const std::string s = "x";
    (void)s;
#if CASE == 0
    delete Tav::String::Format("%s %d %p", s.c_str(), 1, static_cast<const void*>(nullptr));
    delete Tav::String::Format("plain");
    delete Tav::String::Format(s, 1, "a", 2.0);
#elif CASE == 1
    delete Tav::String::Format("%s", s);
#elif CASE == 2
    delete Tav::String::Format(std::string("%s"), std::string("x"));
#elif CASE == 3
    delete Tav::String::Format("%s", std::string_view("x"));
#elif CASE == 4
    delete Tav::String::Format("%d %d", 1, Point{1, 2});
#endif
}
