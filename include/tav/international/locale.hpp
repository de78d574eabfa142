#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <unordered_map>

#include <tav/core/object.hpp>
#include <tav/export.hpp>

namespace Tav::International {

/// A table of translated texts loaded from a locale file: a container file whose
/// "BODY" list holds the locale's code ("/BODY.ORL/STRN.code"), the 32-bit key
/// hashes ("/BODY.ORL/TUDW.offsets") and the texts in the same order, one per
/// child after the name child ("/BODY.ORL/ATXT.strings"). Keys are looked up by
/// their CRC-32 (Tav::Security::Hash::Crc32 of the key's text and its zero byte).
///
/// The whole file is read by the constructor; the stream is not touched again.
/// Lookups do not change the table, so they may run on several threads at once.
class TAV_API Locale : public Object {
public:
    /// Failures of the container propagate unchanged; a file whose nodes are
    /// malformed (a code or text without its zero byte, fewer texts than hashes, a
    /// data node too short for its own name) is refused with a pointer to a new
    /// std::invalid_argument.
    explicit Locale(std::istream& stream);
    Locale(const Locale&) = delete;
    Locale& operator=(const Locale&) = delete;
    ~Locale();

    /// The text filed under the key's hash, or an empty text for an absent key.
    /// References and pointers stay valid while the Locale lives. The key ends at
    /// its first zero byte; a null key is absent.
    const std::string& operator[](const std::string& key) const noexcept;
    /// The same for a zero-terminated key, as a pointer into the table.
    const char* operator[](const char* key) const noexcept;

    /// Writes the key's text to std::cout, with nothing added and no flush.
    Locale& operator<<(const char* key);
    /// The same for a key held as a std::string.
    Locale& operator<<(const std::string& key);

    /// The locale's code: the text filed under hash 0 (the empty key's hash).
    const std::string& code() const noexcept;

private:
    /// Node-based: a text never moves once filed, so references handed out stay good.
    std::unordered_map<std::uint32_t, std::string> table;
    /// The one text every absent key yields; absent keys are not filed, so that
    /// looking up untrusted keys cannot grow the table.
    std::string absent;
};

}  // namespace Tav::International
