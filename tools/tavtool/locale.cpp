#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <tav/international/locale.hpp>

#include "catalog.hpp"
#include "commands.hpp"
#include "locale_writer.hpp"

namespace tavtool {

namespace {

// Catalogues that declare plural rules must declare the same one.
std::string pluralRule(const std::string& input, const std::string& rule, const std::string& earlier,
                       const std::string& earlierInput) {
    if (rule.empty()) return earlier;
    if (!earlier.empty() && earlier != rule)
        throw std::runtime_error(input + ": plural rule \"" + rule + "\" differs from \"" + earlier + "\" in " +
                                 earlierInput);
    return rule;
}

int compile(const std::vector<std::string>& inputs, const std::string& output, std::string code,
            const std::string& charset) {
    std::vector<Message> messages;
    std::string rule, ruleInput;
    for (const std::string& input : inputs) {
        Catalog catalog = readCatalog(input, charset);
        if (code.empty()) code = catalog.language;
        if (ruleInput.empty() && !catalog.pluralForms.empty()) ruleInput = input;
        rule = pluralRule(input, catalog.pluralForms, rule, ruleInput);
        messages.insert(messages.end(), catalog.messages.begin(), catalog.messages.end());
    }
    if (code.empty()) throw std::runtime_error("no --code given and no input names its Language");
    // The whole file is made before anything is written, so a refusal writes nothing.
    writeFile(output, localeFile(code, messages, rule));
    return 0;
}

}  // namespace

void addLocale(CLI::App& app, Run& run) {
    auto* locale = app.add_subcommand("locale", "Make and read locale files");
    locale->require_subcommand(1);

    auto* make = locale->add_subcommand("compile", "Write a locale file from gettext catalogues (PO or MO)");
    auto inputs = std::make_shared<std::vector<std::string>>();
    auto output = std::make_shared<std::string>();
    auto code = std::make_shared<std::string>();
    auto charset = std::make_shared<std::string>("UTF-8");
    make->add_option("INPUT", *inputs, "catalogues; a later one's messages replace an earlier one's")->required();
    make->add_option("-o,--output", *output, "the locale file to write")->required();
    make->add_option("--code", *code, "the locale's code (default: the catalogues' Language field)");
    make->add_option("--charset", *charset,
                     convertsCharsets
                         ? "the character set of the texts (default UTF-8), converted from each catalogue's own with "
                           "iconv; msgids are kept as they are"
                         : "the character set of the texts: this build has no iconv and converts nothing, so "
                           "catalogues must be in UTF-8 (or ASCII) and only UTF-8 is accepted here");
    make->callback([&run, inputs, output, code, charset] {
        run = [inputs, output, code, charset] {
            return guarded([&] { return compile(*inputs, *output, *code, *charset); });
        };
    });

    auto* get = locale->add_subcommand("get", "Print the text of each key, one per line");
    auto file = std::make_shared<std::string>();
    auto keys = std::make_shared<std::vector<std::string>>();
    get->add_option("FILE", *file, "the locale file")->required();
    get->add_option("KEY", *keys, "keys; a key with a context is written context, byte 0x04, msgid")->required();
    get->callback([&run, file, keys] {
        run = [file, keys] {
            return guarded([&] {
                auto in = openInput(*file);
                const Tav::International::Locale table(*in);
                for (const std::string& key : *keys) std::cout << table[key] << '\n';
                return 0;
            });
        };
    });

    auto* showCode = locale->add_subcommand("code", "Print the locale's code");
    showCode->add_option("FILE", *file, "the locale file")->required();
    showCode->callback([&run, file] {
        run = [file] {
            return guarded([&] {
                auto in = openInput(*file);
                const Tav::International::Locale table(*in);
                std::cout << table.code() << '\n';
                return 0;
            });
        };
    });
}

}  // namespace tavtool
