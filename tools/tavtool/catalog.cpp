#include "catalog.hpp"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <stdexcept>

#if TAV_HAVE_GETTEXTPO
#include <gettext-po.h>
#endif

namespace tavtool {

namespace {

// The Language field of a catalogue's header entry.
std::string languageOf(const std::string& header) {
    const std::string field = "Language:";
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

// Collects a catalogue's entries in the conventions of catalog.hpp.
class Builder {
public:
    // `forms` holds the msgstr, or the plural msgstrs in order.
    void add(const std::string& key, const std::string* plural, const std::vector<std::string>& forms) {
        if (forms.empty() || forms[0].empty()) return;  // untranslated
        catalog.messages.push_back({key, forms[0]});
        own.insert(key);
        if (plural && forms.size() > 1 && !forms[1].empty()) {
            const std::size_t separator = key.find('\x04');
            const std::string context = separator == std::string::npos ? "" : key.substr(0, separator + 1);
            derived.push_back({context + *plural, forms[1]});
        }
    }

    Catalog finish() {
        for (Message& m : derived)
            if (!own.count(m.key)) catalog.messages.push_back(std::move(m));
        return std::move(catalog);
    }

    Catalog catalog;

private:
    std::vector<Message> derived;  // plural forms, filed only under keys no message has
    std::set<std::string> own;
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

Catalog readMo(const std::string& path, const std::string& bytes) {
    const bool little = static_cast<unsigned char>(bytes[0]) == 0xDE;
    const auto word = [&](std::size_t at) -> std::uint32_t {
        if (at > bytes.size() || bytes.size() - at < 4) throw std::runtime_error(path + ": truncated MO file");
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
            throw std::runtime_error(path + ": MO string out of bounds");
        return bytes.substr(offset, length);
    };
    if (word(4) >> 16 > 1) throw std::runtime_error(path + ": unknown MO revision");
    const std::uint32_t count = word(8), originals = word(12), translations = word(16);
    Builder builder;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::vector<std::string> ids = splitZeros(string(originals, i));
        const std::vector<std::string> forms = splitZeros(string(translations, i));
        if (ids[0].empty()) {  // the header entry
            builder.catalog.language = languageOf(forms[0]);
            continue;
        }
        builder.add(ids[0], ids.size() > 1 ? &ids[1] : nullptr, forms);
    }
    return builder.finish();
}

#if TAV_HAVE_GETTEXTPO

std::string poErrors;

void onError(int severity, po_message_t, const char* file, std::size_t line, std::size_t, int,
             const char* text) {
    std::string where = file ? std::string(file) + (line != std::size_t(-1) ? ":" + std::to_string(line) : "") : "";
    const std::string report = (where.empty() ? "" : where + ": ") + text + "\n";
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

Catalog readPo(const std::string& path) {
    static const po_xerror_handler handler = {onError, onError2};
    poErrors.clear();
    po_file_t file = po_file_read(path.c_str(), &handler);
    if (!file || !poErrors.empty()) {
        if (file) po_file_free(file);
        throw std::runtime_error(poErrors.empty() ? path + ": cannot read" : poErrors);
    }
    Builder builder;
    for (const char* const* domain = po_file_domains(file); *domain; ++domain) {
        if (const char* header = po_file_domain_header(file, *domain); header && builder.catalog.language.empty())
            builder.catalog.language = languageOf(header);
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
            builder.add(key, plural ? &pluralId : nullptr, forms);
        }
        po_message_iterator_free(it);
    }
    po_file_free(file);
    return builder.finish();
}

#endif

}  // namespace

Catalog readCatalog(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const bool mo = bytes.size() >= 4 && (bytes.compare(0, 4, "\xDE\x12\x04\x95") == 0 ||
                                          bytes.compare(0, 4, "\x95\x04\x12\xDE") == 0);
    if (mo) return readMo(path, bytes);
#if TAV_HAVE_GETTEXTPO
    return readPo(path);
#else
    throw std::runtime_error(path + ": not an MO file, and this build reads no PO files (compile it with msgfmt)");
#endif
}

}  // namespace tavtool
