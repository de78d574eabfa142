// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include <tav/format/ostrane/file.hpp>
#include <tav/international/locale.hpp>
#include <tav/security/crc32.hpp>

#include "catalog.hpp"
#include "commands.hpp"
#include "detail/bytes.hpp"
#include "files.hpp"
#include "locale_writer.hpp"
#include "sysdep.hpp"
#include "text.hpp"

namespace tavtool {

namespace {

// Catalogues that declare plural rules must declare the same one.
std::string pluralRule(const std::string& input, const std::string& rule, const std::string& earlier,
                       const std::string& earlierInput) {
    if (rule.empty()) return earlier;
    if (!earlier.empty() && earlier != rule)
        throw FileError(input + ": plural rule \"" + excerpt(rule) + "\" differs from \"" + excerpt(earlier) + "\" in " +
                        earlierInput);
    return rule;
}

int compile(const std::vector<std::string>& inputs, const std::string& output, std::string code,
            const std::string& charset, std::size_t target) {
    checkTarget(charset);
    checkBinaryOutput(output);
    std::vector<Catalog> catalogs;
    std::string rule, ruleInput;
    std::uint64_t texts = 0;
    for (const std::string& input : inputs) {
        catalogs.push_back(readCatalog(input, charset, target));
        const Catalog& catalog = catalogs.back();
        for (const Message& m : catalog.messages) texts += m.text.size();
        if (texts > 0xFFFFFFFFu)
            throw FileError(input + ": with it the texts come to more than the 4 GiB a locale file can hold");
        if (code.empty()) code = catalog.language;
        if (ruleInput.empty() && !catalog.pluralForms.empty()) ruleInput = input;
        rule = pluralRule(input, catalog.pluralForms, rule, ruleInput);
    }
    if (code.empty()) {
        std::string names;
        for (const std::string& input : inputs) names += (names.empty() ? "" : ", ") + shownInput(input);
        throw FileError(names + ": no --code given, and " +
                        (inputs.size() > 1 ? "no input names its Language" : "it names no Language"));
    }
    // The file is laid out, and any refusal made, before anything is written;
    // then it is written as it is produced.
    const std::vector<Message> all = messages(std::move(catalogs));
    const LocaleFile file(code, all, rule);
    writeFile(output, file.size(), [&](std::ostream& out) { file.write(out); });
    return 0;
}

// The hashes a locale file files texts under: a Locale gives an absent key the
// empty text, which a translation may also be.
std::unordered_set<std::uint32_t> filedHashes(std::istream& in) {
    in.clear();
    in.seekg(0);
    Tav::Format::Ostrane::File file(in);
    std::unique_ptr<Tav::Format::Ostrane::Node> node(&file["/BODY.ORL/TUDW.offsets"]);
    const std::size_t skipped = node->name().size() + 1;  // the payload follows the name and its zero
    const std::uint32_t length = node->length();
    const char* payload = node->open();
    std::unordered_set<std::uint32_t> hashes;
    for (std::size_t at = 0; skipped <= length && at + 4 <= length - skipped; at += 4) {
        hashes.insert(Tav::detail::loadLE32(payload + at));
    }
    return hashes;
}

// Plural counts are whole numbers that an unsigned long holds: "-1" must not
// wrap round into a large one, nor a number too large be cut.
std::string wholeNumber(std::string& text) {
    const std::string largest = std::to_string(std::numeric_limits<unsigned long>::max());
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return "'" + text + "' is not a whole number from 0 to " + largest;
    errno = 0;
    std::strtoul(text.c_str(), nullptr, 10);
    return errno == ERANGE ? "'" + text + "' is larger than " + largest : "";
}

struct Query {
    std::string file;
    std::vector<std::string> keys;
    std::string context;
    bool hasContext = false;
    bool hasPlural = false;
    unsigned long plural = 0;
};

int get(const Query& query) {
    auto in = openContainer(query.file);
    const Tav::International::Locale table(*in);
    const std::unordered_set<std::uint32_t> filed = filedHashes(*in);
    int status = 0;
    for (const std::string& msgid : query.keys) {
        const std::string key = query.hasContext ? Tav::International::ContextKey(query.context, msgid) : msgid;
        if (key.find('\0') != std::string::npos || !filed.count(Tav::Security::Hash::Crc32(key.c_str()))) {
            std::cout.flush();
            std::cerr << "tavtool: " << shownInput(query.file) << ": " << printable(excerpt(key))
                      << ": not in the locale\n";
            status = 1;
            continue;
        }
        std::cout << (query.hasPlural ? table.plural(key, query.plural) : table[key]) << '\n';
    }
    return status;
}

}  // namespace

void addLocale(CLI::App& app, Run& run) {
    auto* locale = app.add_subcommand("locale", "Make and read locale files");
    locale->require_subcommand(1);

    auto* make = locale->add_subcommand("compile", "Write a locale file from gettext catalogues (PO or MO)");
    auto inputs = std::make_shared<std::vector<std::string>>();
    auto output = std::make_shared<std::string>("-");
    auto code = std::make_shared<std::string>();
    auto charset = std::make_shared<std::string>("UTF-8");
    make->add_option("INPUT", *inputs, "catalogues; a later one's messages replace an earlier one's")->required();
    make->add_option("-o,--output", *output,
                     "the locale file to write, or - (the default) for standard output, which must not be a terminal");
    make->add_option("--code", *code, "the locale's code (default: the catalogues' Language field)");
    make->add_option("--charset", *charset,
                     "the character set of the texts (default UTF-8), converted from each catalogue's own with "
                     "iconv; msgids are kept as they are");
    // A system-dependent message (%<PRIu64>) whose C libraries' expansions share
    // a key but not a text keeps one of them: by default the one of the C
    // library tavtool itself was built for, the platform it runs on.
    auto target = std::make_shared<std::string>(sysdepTargetNames[hostTarget()]);
    make->add_option("--target", *target,
                     "the C library whose text a system-dependent message keeps where the C libraries' texts share "
                     "a key")
        ->check(CLI::IsMember(std::vector<std::string>(std::begin(sysdepTargetNames), std::end(sysdepTargetNames))))
        ->capture_default_str();
    addQuiet(*make);
    make->callback([&run, inputs, output, code, charset, target] {
        run = [inputs, output, code, charset, target] {
            const std::size_t index = static_cast<std::size_t>(
                std::find(std::begin(sysdepTargetNames), std::end(sysdepTargetNames), *target) - std::begin(sysdepTargetNames));
            return guarded(shownOutput(*output), [&] { return compile(*inputs, *output, *code, *charset, index); });
        };
    });

    auto* get = locale->add_subcommand("get", "Print the text of each key, one per line");
    auto query = std::make_shared<Query>();
    get->add_option("FILE", query->file, "the locale file, or - for standard input")->required();
    get->add_option("KEY", query->keys, "msgids; a key absent from the locale is an error (exit status 1)")->required();
    auto* context = get->add_option("--context", query->context, "the messages' context (gettext's msgctxt)");
    auto* plural = get->add_option("--plural", query->plural, "the plural form for this number, as ngettext chooses it")
                       ->check(CLI::Validator(wholeNumber, "N"));
    get->callback([&run, query, context, plural] {
        query->hasContext = static_cast<bool>(*context);
        query->hasPlural = static_cast<bool>(*plural);
        run = [query] { return guarded(shownInput(query->file), [&] { return tavtool::get(*query); }); };
    });

    auto* showCode = locale->add_subcommand("code", "Print the locale's code");
    auto file = std::make_shared<std::string>();
    showCode->add_option("FILE", *file, "the locale file, or - for standard input")->required();
    showCode->callback([&run, file] {
        run = [file] {
            return guarded(shownInput(*file), [&] {
                auto in = openContainer(*file);
                const Tav::International::Locale table(*in);
                std::cout << table.code() << '\n';
                return 0;
            });
        };
    });
}

}  // namespace tavtool
