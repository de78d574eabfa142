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

/// printf-style formatting into a new string that the caller deletes. Output is
/// cut to its first 1023 characters and ends at the first zero byte it contains;
/// a formatting error yields an empty string.
TAV_API std::string* Format(const char* format, ...) TAV_PRINTF(1, 2);

/// The same with a format held in a std::string. The compiler cannot check such a
/// format against the arguments; prefer a literal format where there is one.
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
