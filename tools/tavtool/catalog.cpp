// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include "catalog.hpp"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>

#include "files.hpp"
#include "sysdep.hpp"
#include "international/plural.hpp"
#include "text.hpp"

#if TAV_HAVE_GETTEXTPO
#include <gettext-po.h>
#endif
#if TAV_HAVE_ICONV
#include <iconv.h>
#endif

namespace tavtool {

namespace {

// A field of a catalogue's header entry ("Language", "Content-Type", ...).
std::string headerField(const std::string& header, const std::string& name) {
    const std::string field = name + ":";
    for (std::size_t at = 0; at < header.size();) {
        const std::size_t end = std::min(header.find('\n', at), header.size());
        if (header.compare(at, field.size(), field) == 0) {
            std::string value = header.substr(at + field.size(), end - at - field.size());
            value.erase(0, value.find_first_not_of(" \t"));
            value.erase(value.find_last_not_of(" \t\r") + 1);
            return value;
        }
        at = end + 1;
    }
    return std::string();
}

[[maybe_unused]] bool sameCharset(std::string a, std::string b) {
    const auto plain = [](std::string& s) {
        std::string out;
        for (char c : s)
            if (c != '-' && c != '_') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        s = out;
    };
    plain(a);
    plain(b);
    return a == b;
}

// Converts translations from a catalogue's charset to the target one.
class Converter {
public:
    Converter(const std::string& path, const std::string& from, const std::string& to) : path(path), from(from), to(to) {
#if TAV_HAVE_ICONV
        handle = iconv_open(to.c_str(), from.c_str());
        if (handle == reinterpret_cast<iconv_t>(-1))
            throw FileError(path + ": cannot convert from the character set \"" + from + "\" to \"" + to + "\"");
#else
        const bool utf8 = sameCharset(from, "UTF-8") || sameCharset(from, "ASCII") || sameCharset(from, "US-ASCII");
        if (!utf8 || !sameCharset(to, "UTF-8"))
            throw FileError(path + ": this build converts no character sets (\"" + from + "\" to \"" + to +
                                     "\"); convert the catalogue to UTF-8 first");
#endif
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() {
#if TAV_HAVE_ICONV
        iconv_close(handle);
#endif
    }

    std::string operator()(const std::string& text, const std::string& key) {
#if TAV_HAVE_ICONV
        iconv(handle, nullptr, nullptr, nullptr, nullptr);  // the initial shift state
        std::string out(text.size() * 4 + 16, '\0');
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        char* put = &out[0];
        std::size_t room = out.size();
        // No input left: one more call writes what ends a stateful encoding.
        while (iconv(handle, inLeft ? &in : nullptr, &inLeft, &put, &room) == static_cast<std::size_t>(-1)) {
            if (errno != E2BIG)
                throw FileError(path + ": the translation of " + shownKey(key) + " is not valid \"" + from +
                                         "\", or holds characters that \"" + to + "\" has not");
            const std::size_t used = static_cast<std::size_t>(put - out.data());
            out.resize(out.size() * 2);
            put = &out[used];
            room = out.size() - used;
        }
        if (inLeft == 0 && iconv(handle, nullptr, nullptr, &put, &room) == static_cast<std::size_t>(-1))
            throw FileError(path + ": cannot finish the translation of " + shownKey(key));
        out.resize(static_cast<std::size_t>(put - out.data()));
        return out;
#else
        (void)key;
        return text;
#endif
    }

private:
    std::string path, from, to;
#if TAV_HAVE_ICONV
    iconv_t handle;
#endif
};

// Collects a catalogue's entries in the conventions of catalog.hpp.
class Builder {
public:
    Builder(const std::string& path, const std::string& charset) : path(path), charset(charset) {}

    // The header entry: its fields, and the charset its translations are in.
    void header(const std::string& text) {
        catalog.language = headerField(text, "Language");
        catalog.pluralForms = headerField(text, "Plural-Forms");
        // Checked as the library will read it, so that no file it refuses is written.
        if (!catalog.pluralForms.empty()) {
            try {
                Tav::International::detail::PluralRule rule(catalog.pluralForms);
            } catch (const std::invalid_argument& e) {
                ruleError = path + ": plural rule \"" + excerpt(catalog.pluralForms) + "\": " + e.what();
            }
        }
        const std::string type = headerField(text, "Content-Type");
        const std::size_t at = type.find("charset=");
        std::string from = at == std::string::npos ? "" : type.substr(at + 8);
        from = from.substr(0, from.find_first_of(" \t;"));
        // A catalogue that names no charset (or still gettext's template
        // placeholder "CHARSET") is taken as it is, as gettext takes it.
        if (!from.empty() && from != "CHARSET") convert = std::make_unique<Converter>(path, from, charset);
    }

    // `forms` holds the msgstr, or the plural msgstrs in order.
    void add(const std::string& key, const std::string* plural, std::vector<std::string> forms) {
        if (forms.empty() || forms[0].empty()) return;  // untranslated
        if (convert)
            for (std::string& form : forms) form = (*convert)(form, key);
        catalog.messages.push_back({key, forms[0]});
        if (!plural) return;
        plurals = true;
        for (std::size_t k = 1; k < forms.size(); ++k) catalog.messages.push_back({pluralKey(key, k), forms[k]});
        if (forms.size() > 1 && !forms[1].empty()) {
            const std::size_t separator = key.find('\x04');
            const std::string context = separator == std::string::npos ? "" : key.substr(0, separator + 1);
            catalog.derived.push_back({context + *plural, forms[1]});
        }
    }

    // A malformed rule is refused where a message needs it. Without plural
    // messages gettext reads the catalogue with its default rule, and so does
    // the locale file, which is written without the rule.
    Catalog finish() {
        if (!ruleError.empty()) {
            if (plurals) throw FileError(ruleError);
            std::cerr << "tavtool: warning: " << ruleError
                      << "; the catalogue has no plural messages, so the rule is left out\n";
            catalog.pluralForms.clear();
        }
        return std::move(catalog);
    }

private:
    Catalog catalog;
    std::string path, charset;
    std::unique_ptr<Converter> convert;
    std::string ruleError;  // why the declared plural rule does not parse
    bool plurals = false;   // whether any message has plural forms
};

std::vector<std::string> splitZeros(const std::string& bytes) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    for (;;) {
        const std::size_t zero = bytes.find('\0', at);
        parts.push_back(bytes.substr(at, zero == std::string::npos ? std::string::npos : zero - at));
        if (zero == std::string::npos) return parts;
        at = zero + 1;
    }
}

}  // namespace

Catalog readMo(const std::string& path, const std::string& bytes, const std::string& charset) {
    if (bytes.compare(0, 4, "\xDE\x12\x04\x95") != 0 && bytes.compare(0, 4, "\x95\x04\x12\xDE") != 0)
        throw FileError(path + ": not an MO file");
    const bool little = static_cast<unsigned char>(bytes[0]) == 0xDE;
    const auto word = [&](std::size_t at) -> std::uint32_t {
        if (at > bytes.size() || bytes.size() - at < 4) throw FileError(path + ": truncated MO file");
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const auto b = static_cast<unsigned char>(bytes[at + (little ? 3 - i : i)]);
            v = v << 8 | b;
        }
        return v;
    };
    const auto string = [&](std::uint32_t table, std::uint32_t index) {
        const std::uint64_t entry = table + std::uint64_t{8} * index;
        const std::uint32_t length = word(static_cast<std::size_t>(entry)), offset = word(static_cast<std::size_t>(entry + 4));
        if (offset > bytes.size() || bytes.size() - offset < length)
            throw FileError(path + ": MO string out of bounds");
        return bytes.substr(offset, length);
    };
    if (word(4) >> 16 > 1) throw FileError(path + ": unknown MO revision");
    const std::uint32_t count = word(8), originals = word(12), translations = word(16);
    // Measured before anything is copied: translations may share their bytes, so
    // a small file can stand for texts far larger than itself.
    std::uint64_t total = 0;
    for (std::uint32_t i = 0; i < count && total <= 0xFFFFFFFFu; ++i)
        total += word(static_cast<std::size_t>(translations + std::uint64_t{8} * i));
    if (total > 0xFFFFFFFFu)
        throw FileError(path + ": its translations come to more than the 4 GiB a locale file can hold");
    // The header entry (msgid "") comes first in a sorted MO file, but look it
    // up anyway: its charset must be known before any translation is read.
    Builder builder(path, charset);
    for (std::uint32_t i = 0; i < count; ++i)
        if (string(originals, i).empty()) builder.header(string(translations, i));
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::vector<std::string> ids = splitZeros(string(originals, i));
        if (ids[0].empty()) continue;  // the header entry
        builder.add(ids[0], ids.size() > 1 ? &ids[1] : nullptr, splitZeros(string(translations, i)));
    }
    // Minor revision 1 adds the system-dependent strings: static pieces with
    // segments ("PRIu64", "I") between them, which each C library expands.
    if ((word(4) & 0xFFFF) == 0) return builder.finish();
    const std::uint32_t segmentCount = word(28), segmentTable = word(32), sysdepCount = word(36);
    const std::uint32_t sysdepOriginals = word(40), sysdepTranslations = word(44);
    std::vector<std::string> segments;
    for (std::uint32_t i = 0; i < segmentCount; ++i) {
        const std::string name = string(segmentTable, i);
        segments.push_back(name.substr(0, name.find('\0')));
    }
    // A string as its pieces: static text, then the segment that follows it (none last).
    struct Piece {
        std::string text;
        std::uint32_t segment;
    };
    const auto pieces = [&](std::uint32_t table, std::uint32_t index) {
        const std::uint64_t entry = table + std::uint64_t{4} * index;
        std::uint64_t pair = word(static_cast<std::size_t>(entry));
        std::uint64_t data = word(static_cast<std::size_t>(pair));
        std::vector<Piece> out;
        for (pair += 4;; pair += 8) {
            const std::uint32_t size = word(static_cast<std::size_t>(pair));
            const std::uint32_t segment = word(static_cast<std::size_t>(pair + 4));
            if (data > bytes.size() || bytes.size() - data < size) throw FileError(path + ": MO string out of bounds");
            out.push_back({bytes.substr(static_cast<std::size_t>(data), size), segment});
            data += size;
            if (segment == 0xFFFFFFFFu) return out;
            if (segment >= segments.size()) throw FileError(path + ": MO string refers to no segment");
        }
    };
    const auto expand = [&](const std::vector<Piece>& string, std::size_t target) {
        std::string out;
        for (const Piece& p : string) {
            out += p.text;
            if (p.segment == 0xFFFFFFFFu) break;
            const std::optional<std::string> value = expandSegment(segments[p.segment], target);
            if (!value)
                throw FileError(path + ": unknown system-dependent segment \"" + excerpt(segments[p.segment]) + "\"");
            out += *value;
        }
        if (!out.empty() && out.back() == '\0') out.pop_back();  // the string's own end
        return out;
    };
    for (std::uint32_t i = 0; i < sysdepCount; ++i) {
        const std::vector<Piece> original = pieces(sysdepOriginals, i), translation = pieces(sysdepTranslations, i);
        std::set<std::string> filed;
        for (std::size_t target = 0; target < sysdepTargets; ++target) {
            const std::string id = expand(original, target), text = expand(translation, target);
            if (!filed.insert(id + '\0' + text).second) continue;  // the same as an earlier target's
            const std::vector<std::string> ids = splitZeros(id);
            builder.add(ids[0], ids.size() > 1 ? &ids[1] : nullptr, splitZeros(text));
        }
    }
    return builder.finish();
}

namespace {

#if TAV_HAVE_GETTEXTPO

std::string poErrors;

// gettext quotes the offending text whole, a 200 KB line too: at most 80 bytes
// of each quotation are kept.
std::string shortened(const std::string& text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t open = text.find('"', at);
        const std::size_t close = open == std::string::npos ? open : text.find('"', open + 1);
        if (close == std::string::npos) {
            out += text.substr(at, open == std::string::npos ? open : open + 1 - at);
            if (open != std::string::npos) out += excerpt(std::string_view(text).substr(open + 1));
            break;
        }
        out += text.substr(at, open + 1 - at) + excerpt(std::string_view(text).substr(open + 1, close - open - 1)) + '"';
        at = close + 1;
    }
    return out;
}

void onError(int severity, po_message_t, const char* file, std::size_t line, std::size_t, int,
             const char* text) {
    std::string where = file ? std::string(file) + (line != std::size_t(-1) ? ":" + std::to_string(line) : "") : "";
    const std::string report = (where.empty() ? "" : where + ": ") + shortened(text) + "\n";
    if (severity == PO_SEVERITY_WARNING) {
        std::cerr << "tavtool: warning: " << report;
        return;
    }
    poErrors += report;
    if (severity == PO_SEVERITY_FATAL_ERROR) {  // the library requires that this not return
        std::cerr << "tavtool: " << poErrors;
        std::exit(1);
    }
}

void onError2(int severity, po_message_t m1, const char* f1, std::size_t l1, std::size_t c1, int mp1,
              const char* t1, po_message_t, const char*, std::size_t, std::size_t, int, const char* t2) {
    onError(severity, m1, f1, l1, c1, mp1, (std::string(t1) + " " + t2).c_str());
}

Catalog readPo(const std::string& path, const std::string& charset) {
    static const po_xerror_handler handler = {onError, onError2};
    poErrors.clear();
    po_file_t file = po_file_read(path.c_str(), &handler);
    if (!file || !poErrors.empty()) {
        if (file) po_file_free(file);
        throw FileError(poErrors.empty() ? path + ": cannot read" : poErrors);
    }
    Builder builder(path, charset);
    bool headerRead = false;
    for (const char* const* domain = po_file_domains(file); *domain; ++domain) {
        if (const char* header = po_file_domain_header(file, *domain); header && !headerRead) {
            builder.header(header);
            headerRead = true;
        }
        po_message_iterator_t it = po_message_iterator(file, *domain);
        while (po_message_t m = po_next_message(it)) {
            if (po_message_is_obsolete(m) || po_message_is_fuzzy(m)) continue;
            const char* context = po_message_msgctxt(m);
            const std::string id = po_message_msgid(m);
            if (id.empty() && !context) continue;  // the header entry
            const std::string key = context ? std::string(context) + '\x04' + id : id;
            std::vector<std::string> forms;
            const char* plural = po_message_msgid_plural(m);
            if (plural) {
                for (int i = 0; const char* form = po_message_msgstr_plural(m, i); ++i) forms.emplace_back(form);
            } else {
                forms.emplace_back(po_message_msgstr(m));
            }
            const std::string pluralId = plural ? plural : "";
            bool segmented = false;
            for (const std::string& text : forms) segmented = segmented || hasSegments(text);
            if (!po_message_is_format(m, "c-format") || !(segmented || hasSegments(key) || hasSegments(pluralId))) {
                builder.add(key, plural ? &pluralId : nullptr, forms);
                continue;
            }
            // "%<PRIu64>" and the like: filed under each target's expansion.
            std::set<std::vector<std::string>> filed;
            for (std::size_t target = 0; target < sysdepTargets; ++target) {
                try {
                    std::vector<std::string> expanded{expandSegments(key, target), expandSegments(pluralId, target)};
                    for (const std::string& text : forms) expanded.push_back(expandSegments(text, target));
                    if (!filed.insert(expanded).second) continue;
                    builder.add(expanded[0], plural ? &expanded[1] : nullptr, {expanded.begin() + 2, expanded.end()});
                } catch (const std::invalid_argument& e) {
                    throw FileError(path + ": " + e.what());
                }
            }
        }
        po_message_iterator_free(it);
    }
    po_file_free(file);
    return builder.finish();
}

#endif

}  // namespace

#if TAV_HAVE_ICONV
const bool convertsCharsets = true;
#else
const bool convertsCharsets = false;
#endif

void checkTarget(const std::string& charset) {
    // A text ends at its first zero byte: in UTF-16, UTF-32 or UCS-2 every
    // text would be cut after its first character's first byte or two.
    if (Converter("--charset " + charset, "UTF-8", charset)("A", "A").find('\0') != std::string::npos)
        throw FileError("--charset " + charset + ": its texts hold zero bytes, which end a locale file's texts; "
                        "take UTF-8 or another charset that has none");
}

std::vector<Message> messages(std::vector<Catalog> catalogs) {
    std::vector<Message> all;
    std::set<std::string> own;
    for (Catalog& c : catalogs)
        for (Message& m : c.messages) {
            own.insert(m.key);
            all.push_back(std::move(m));
        }
    for (Catalog& c : catalogs)
        for (Message& m : c.derived)
            if (!own.count(m.key)) all.push_back(std::move(m));
    return all;
}

Catalog readCatalog(const std::string& path, const std::string& charset) {
    const auto in = openInput(path);
    const std::string bytes((std::istreambuf_iterator<char>(*in)), std::istreambuf_iterator<char>());
    const bool mo = bytes.size() >= 4 && (bytes.compare(0, 4, "\xDE\x12\x04\x95") == 0 ||
                                          bytes.compare(0, 4, "\x95\x04\x12\xDE") == 0);
    if (mo) return readMo(path, bytes, charset);
#if TAV_HAVE_GETTEXTPO
    return readPo(path, charset);
#else
    throw FileError(path + ": not an MO file, and this build reads no PO files (compile it with msgfmt)");
#endif
}

}  // namespace tavtool
