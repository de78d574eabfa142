// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <string>
#include <type_traits>
#include <vector>

#include <tav/export.hpp>

#if defined(__GNUC__)
#  define TAV_PRINTF(fmt, first) __attribute__((format(printf, fmt, first)))
#else
#  define TAV_PRINTF(fmt, first)
#endif

namespace Tav::String {

/// Splits `text` at every `delimiter`, as repeated std::getline would: empty
/// pieces between delimiters are kept, a delimiter at the very end adds no empty
/// piece, and "" gives no piece at all. At most `limit` pieces are returned (0
/// means no limit); the text after the last piece taken is dropped.
TAV_API std::vector<std::string> Explode(std::string text, char delimiter, unsigned int limit);

namespace detail {

/// Whether an argument cannot pass through a C variadic call as printf reads it:
/// an object of class type (std::string, std::string_view, ...) or one that is
/// not trivially copyable. Passing one is undefined behaviour that GCC compiles.
template <class T>
constexpr bool noPrintfArgument =
    std::is_class_v<std::decay_t<T>> || std::is_union_v<std::decay_t<T>> ||
    !std::is_trivially_copyable_v<std::decay_t<T>>;

}  // namespace detail

/// printf-style formatting into a new string that the caller deletes. Output is
/// cut to its first 1023 characters and ends at the first zero byte it contains;
/// a formatting error yields an empty string.
///
/// Arguments are those printf takes: a call with a std::string, a
/// std::string_view or any other class-type argument does not compile (the
/// overload below stops it); pass `s.c_str()` instead:
///
///     std::unique_ptr<std::string> line(Tav::String::Format("%s: %d", name.c_str(), count));
TAV_API std::string* Format(const char* format, ...) TAV_PRINTF(1, 2);

/// Chosen over the function above only for a call with a class-type argument,
/// which it refuses at compile time; every other call goes to that function,
/// whose format the compiler checks.
template <class... Args, std::enable_if_t<(detail::noPrintfArgument<Args> || ...), int> = 0>
std::string* Format(const char*, const Args&...) {
    static_assert(!(detail::noPrintfArgument<Args> || ...),
                  "Tav::String::Format takes no class-type arguments: pass a std::string as s.c_str()");
    return nullptr;
}

/// The same with a format held in a std::string. The compiler cannot check such a
/// format against the arguments; prefer a literal format where there is one.
/// Class-type arguments are refused here too.
template <class Text, class... Args,
          std::enable_if_t<std::is_same_v<std::decay_t<Text>, std::string>, int> = 0>
std::string* Format(const Text& format, Args... args) {
#if defined(__GNUC__)
#  pragma GCC diagnostic push
#  pragma GCC diagnostic ignored "-Wformat-nonliteral"
#  pragma GCC diagnostic ignored "-Wformat-security"
#endif
    return Format(format.c_str(), args...);
#if defined(__GNUC__)
#  pragma GCC diagnostic pop
#endif
}

}  // namespace Tav::String
