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

int compile(const std::vector<std::string>& inputs, const std::string& output, std::string code) {
    std::vector<Message> messages;
    for (const std::string& input : inputs) {
        Catalog catalog = readCatalog(input);
        if (code.empty()) code = catalog.language;
        messages.insert(messages.end(), catalog.messages.begin(), catalog.messages.end());
    }
    if (code.empty()) throw std::runtime_error("no --code given and no input names its Language");
    // The whole file is made before anything is written, so a refusal writes nothing.
    writeFile(output, localeFile(code, messages));
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
    make->add_option("INPUT", *inputs, "catalogues; a later one's messages replace an earlier one's")->required();
    make->add_option("-o,--output", *output, "the locale file to write")->required();
    make->add_option("--code", *code, "the locale's code (default: the catalogues' Language field)");
    make->callback([&run, inputs, output, code] {
        run = [inputs, output, code] { return guarded([&] { return compile(*inputs, *output, *code); }); };
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
