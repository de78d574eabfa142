// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include "catalog.hpp"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <map>
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
#include <iconv.h>
#ifndef TAV_ICONV_LIMITS
#define TAV_ICONV_LIMITS ""  // glibc's iconv, which has every character set there is
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

// Converts translations from a catalogue's charset to the target one.
class Converter {
public:
    Converter(const std::string& path, const std::string& from, const std::string& to) : path(path), from(from), to(to) {
        handle = iconv_open(to.c_str(), from.c_str());
        if (handle == reinterpret_cast<iconv_t>(-1))
            throw FileError(path + ": cannot convert from the character set \"" + from + "\" to \"" + to + "\"" +
                            TAV_ICONV_LIMITS);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() { iconv_close(handle); }

    // Whether it holds a character back to compose it with the next, as
    // glibc's CP1255, CP1258 and TCVN do.
    bool composes() {
        for (int b = 1; b < 0x100; ++b) {
            char byte = static_cast<char>(b), out[16];
            char* in = &byte;
            char* put = out;
            std::size_t inLeft = 1, room = sizeof out;
            iconv(handle, nullptr, nullptr, nullptr, nullptr);
            if (iconv(handle, &in, &inLeft, &put, &room) != static_cast<std::size_t>(-1) && put == out) return true;
        }
        return false;
    }

    std::string operator()(const std::string& text, const std::string& key) {
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
    }

private:
    std::string path, from, to;
    iconv_t handle;
};

// One target's expansion of a system-dependent message.
struct Expansion {
    std::string key;
    std::optional<std::string> plural;
    std::vector<std::string> forms;
};

// Collects a catalogue's entries in the conventions of catalog.hpp.
class Builder {
public:
    Builder(const std::string& path, const std::string& charset, std::size_t target)
        : path(path), charset(charset), target(target) {}

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

    // The msgstr, or the plural msgstrs in order, as texts in the target
    // charset; none for an untranslated message.
    std::vector<Text> texts(std::vector<std::string> forms, const std::string& key) {
        std::vector<Text> out;
        if (forms.empty() || forms[0].empty()) return out;  // untranslated
        for (std::string& form : forms) out.emplace_back(convert ? (*convert)(form, key) : std::move(form));
        return out;
    }

    void add(const std::string& key, const std::string* plural, std::vector<std::string> forms) {
        add(key, plural, texts(std::move(forms), key));
    }

    void add(const std::string& key, const std::string* plural, const std::vector<Text>& forms) {
        if (forms.empty()) return;  // untranslated
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

    // A system-dependent message, one expansion per target, each filed under
    // its own key. Where targets' keys agree but their texts do not (a msgid
    // without directives whose translations have some), the file can hold only
    // one text for the key: the target's compiled for where it is among them,
    // else the first's, and a warning says so.
    void add(const std::vector<Expansion>& expansions) {
        std::set<std::string> filed;
        for (std::size_t first = 0; first < expansions.size(); ++first) {
            const Expansion& e = expansions[first];
            if (!filed.insert(e.key).second) continue;
            std::size_t kept = first;
            bool differ = false;
            for (std::size_t t = first; t < expansions.size(); ++t) {
                if (expansions[t].key != e.key) continue;
                if (t == target) kept = t;
                differ = differ || expansions[t].plural != e.plural || expansions[t].forms != e.forms;
            }
            if (differ)
                std::cerr << "tavtool: warning: " << path << ": " << shownKey(e.key)
                          << ": its translations differ between C libraries under one key; kept the one for "
                          << sysdepTargetNames[kept] << " (--target)\n";
            const Expansion& k = expansions[kept];
            add(k.key, k.plural ? &*k.plural : nullptr, k.forms);
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
    std::size_t target;  // the C library whose expansion a shared key keeps
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

Catalog readMo(const std::string& path, const std::string& bytes, const std::string& charset, std::size_t target) {
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
    Builder builder(path, charset, target);
    for (std::uint32_t i = 0; i < count; ++i)
        if (string(originals, i).empty()) builder.header(string(translations, i));
    // Entries whose translations share their bytes in the file share them in
    // memory too: by the table entry's length and offset.
    std::map<std::uint64_t, std::vector<Text>> shared;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::vector<std::string> ids = splitZeros(string(originals, i));
        if (ids[0].empty()) continue;  // the header entry
        const std::uint64_t entry = translations + std::uint64_t{8} * i;
        const auto [at, fresh] = shared.try_emplace(
            std::uint64_t{word(static_cast<std::size_t>(entry + 4))} << 32 | word(static_cast<std::size_t>(entry)));
        if (fresh) at->second = builder.texts(splitZeros(string(translations, i)), ids[0]);
        builder.add(ids[0], ids.size() > 1 ? &ids[1] : nullptr, at->second);
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
        std::vector<Expansion> expansions;
        for (std::size_t t = 0; t < sysdepTargets; ++t) {
            std::vector<std::string> ids = splitZeros(expand(original, t));
            expansions.push_back({ids[0], ids.size() > 1 ? std::optional<std::string>(ids[1]) : std::nullopt,
                                  splitZeros(expand(translation, t))});
        }
        builder.add(expansions);
    }
    return builder.finish();
}

namespace {

#if TAV_HAVE_GETTEXTPO

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

// The conversion directives of a c-format text as they are written ("%lu",
// "%2$s", "%<PRIu64>"), for messages; "%%" is none.
std::string directives(const char* text) {
    const std::string_view t = text ? text : "";
    std::string out;
    for (std::size_t at = t.find('%'); at != std::string_view::npos; at = t.find('%', at)) {
        std::size_t end = at + 1;
        if (end < t.size() && t[end] == '%') {
            at = end + 1;
            continue;
        }
        while (end < t.size() && std::string_view("0123456789$-+ #'I.*hlLqjzZt").find(t[end]) != std::string_view::npos) ++end;
        if (end < t.size() && t[end] == '<')
            end = std::min(t.find('>', end), t.size() - 1) + 1;
        else if (end < t.size())
            ++end;
        out += (out.empty() ? "" : " ") + std::string(t.substr(at, end - at));
        at = end;
    }
    return out.empty() ? "none" : out;
}

// The directives of the fields an error about `message` names ('msgid',
// 'msgstr[1]', ...), as " (msgid: %lu; msgstr[1]: %s %s)"; nothing where it
// names none.
std::string namedDirectives(po_message_t message, const std::string& text) {
    std::string out;
    for (std::size_t open = text.find('\''); open != std::string::npos; open = text.find('\'', open)) {
        const std::size_t close = text.find('\'', open + 1);
        if (close == std::string::npos) break;
        const std::string field = text.substr(open + 1, close - open - 1);
        const char* value = nullptr;
        if (field == "msgid") value = po_message_msgid(message);
        else if (field == "msgid_plural") value = po_message_msgid_plural(message);
        else if (field == "msgstr") value = po_message_msgstr(message);
        else if (field.rfind("msgstr[", 0) == 0 && field.back() == ']')
            value = po_message_msgstr_plural(message, std::atoi(field.c_str() + 7));
        if (value) out += (out.empty() ? " (" : "; ") + field + ": " + directives(value);
        open = close + 1;
    }
    return out.empty() ? out : out + ")";
}

// What libgettextpo reports while it reads and checks one catalogue, which it
// reads from a temporary copy: messages name the input as the user gave it.
struct PoReport {
    std::string shown, temporary;
    std::vector<std::string> errors;
    bool checking = false;  // the check after reading, of which format errors alone refuse the file
};
PoReport report;
constexpr std::size_t errorsShown = 10;  // a file of another kind gives hundreds

std::string errorSummary() {
    std::string out;
    for (std::size_t k = 0; k < report.errors.size() && k < errorsShown; ++k) out += (k ? "\n" : "") + report.errors[k];
    if (report.errors.size() > errorsShown)
        out += "\n" + report.shown + ": and " + std::to_string(report.errors.size() - errorsShown) + " more errors";
    return out;
}

void onError(int severity, po_message_t message, const char* file, std::size_t line, std::size_t, int,
             const char* text) {
    const std::string name = file && file != report.temporary ? std::string(file) : report.shown;
    std::string where = name + (line != std::size_t(-1) ? ":" + std::to_string(line) : "");
    if (message && po_message_msgid(message)) where += ": " + shownKey(po_message_msgid(message));
    const std::string entry = where + ": " + shortened(text) + (message ? namedDirectives(message, text) : "");
    // The check also judges the header's metadata, which a locale file does not
    // keep, the plural rule, which the compiler checks as the library reads it,
    // and newlines at the ends of texts, which break no program: only its
    // findings about format directives count.
    if (report.checking && (severity == PO_SEVERITY_WARNING || std::string_view(text).find("format") == std::string_view::npos))
        return;
    if (severity == PO_SEVERITY_WARNING) {
        std::cerr << "tavtool: warning: " << entry << '\n';
        return;
    }
    report.errors.push_back(entry);
    if (severity == PO_SEVERITY_FATAL_ERROR) {  // the library requires that this not return
        std::cerr << "tavtool: " << errorSummary() << '\n';
        std::remove(report.temporary.c_str());
        std::exit(1);
    }
}

void onError2(int severity, po_message_t m1, const char* f1, std::size_t l1, std::size_t c1, int mp1,
              const char* t1, po_message_t, const char*, std::size_t, std::size_t, int, const char* t2) {
    onError(severity, m1, f1, l1, c1, mp1, (std::string(t1) + " " + t2).c_str());
}

// Reads a PO catalogue from its bytes. Messages flagged c-format are checked
// as msgfmt --check checks them (libgettextpo's own check, which leaves fuzzy
// entries out and lets a plural form that the rule uses for one number alone
// leave the count out): a translation whose directives do not take the
// arguments its msgid's take would crash or misprint the program that passes
// it to printf.
Catalog readPo(const std::string& path, const std::string& bytes, const std::string& charset, std::size_t target) {
    static const po_xerror_handler handler = {onError, onError2};
    // libgettextpo's reader stops the program (abort) on the first letter of
    // a character set whose converter composes; a charset iconv has not is
    // refused here too, rather than after libgettextpo's warning.
    const std::size_t at = bytes.find("charset="), end = bytes.find_first_of("\\\" \t;\n", at + 8);
    const std::string declared = at == std::string::npos ? "" : bytes.substr(at + 8, end - at - 8);
    if (!declared.empty() && declared != "CHARSET" && Converter(path, declared, "UTF-8").composes())
        throw FileError(path + ": PO files in \"" + declared + "\", whose letters compose with the accents after them, "
                               "cannot be read; convert the file to UTF-8 first (iconv -f " + declared + " -t UTF-8)");
    // libgettextpo reads files by name only, and an input that is a pipe or
    // standard input cannot be read twice: the bytes go to a file of their own.
    TemporaryFile copy;
    copy.append(bytes.data(), bytes.size());
    report = {path, copy.path().string(), {}};
    po_file_t file = po_file_read(report.temporary.c_str(), &handler);
    report.checking = true;
    if (file && report.errors.empty()) po_file_check_all(file, &handler);
    if (!file || !report.errors.empty()) {
        if (file) po_file_free(file);
        throw FileError(report.errors.empty() ? path + ": cannot read" : errorSummary());
    }
    Builder builder(path, charset, target);
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
            std::vector<Expansion> expansions;
            for (std::size_t t = 0; t < sysdepTargets; ++t) {
                try {
                    Expansion e{expandSegments(key, t), std::nullopt, {}};
                    if (plural) e.plural = expandSegments(pluralId, t);
                    for (const std::string& text : forms) e.forms.push_back(expandSegments(text, t));
                    expansions.push_back(std::move(e));
                } catch (const std::invalid_argument& e) {
                    po_message_iterator_free(it);
                    po_file_free(file);
                    throw FileError(path + ": " + e.what());
                }
            }
            builder.add(expansions);
        }
        po_message_iterator_free(it);
    }
    po_file_free(file);
    return builder.finish();
}

#endif

}  // namespace

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

Catalog readCatalog(const std::string& path, const std::string& charset, std::size_t target) {
    // Read once, whatever the input: a pipe or standard input gives its bytes once.
    const auto in = openInput(path);
    const std::string bytes((std::istreambuf_iterator<char>(*in)), std::istreambuf_iterator<char>());
    if (in->bad()) throw FileError(shownInput(path) + ": cannot be read");
    const bool mo = bytes.size() >= 4 && (bytes.compare(0, 4, "\xDE\x12\x04\x95") == 0 ||
                                          bytes.compare(0, 4, "\x95\x04\x12\xDE") == 0);
    if (mo) return readMo(shownInput(path), bytes, charset, target);
    // PO files are text: a zero byte says the input is something else (a sound,
    // an image), which the PO parser would report line by line.
    if (bytes.find('\0') != std::string::npos) throw FileError(shownInput(path) + ": not a PO or MO catalogue");
#if TAV_HAVE_GETTEXTPO
    return readPo(shownInput(path), bytes, charset, target);
#else
    throw FileError(shownInput(path) + ": not an MO file, and this build reads no PO files (compile it with msgfmt)");
#endif
}

}  // namespace tavtool
