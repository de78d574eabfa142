#include <iostream>
#include <iterator>
#include <string>

#include "commands.hpp"
#include "riff_json.hpp"

namespace tavtool {

namespace {

int unpackFile(const std::string& input, const std::string& output) {
    auto in = openInput(input);
    const std::string text = toText(unpack(*in));
    if (output.empty())
        std::cout << text;
    else
        writeFile(output, text);
    return 0;
}

int packFile(const std::string& input, const std::string& output) {
    std::string text;
    if (input == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        auto in = openInput(input);
        text.assign(std::istreambuf_iterator<char>(*in), std::istreambuf_iterator<char>());
    }
    Json description;
    try {
        description = Json::parse(text);
    } catch (const Json::parse_error& e) {
        const std::string what = e.what();  // "[json.exception.parse_error.101] parse error at ..."
        throw std::runtime_error("invalid JSON: " + what.substr(what.find("] ") + 2));
    }
    // The whole file is made before anything is written, so a refusal writes nothing.
    writeFile(output, pack(description));
    return 0;
}

}  // namespace

void addPack(CLI::App& app, Run& run) {
    auto* unpackCommand = app.add_subcommand("unpack", "Describe a RIFF file as JSON (docs/riff-json.md)");
    auto file = std::make_shared<std::string>();
    auto output = std::make_shared<std::string>();
    unpackCommand->add_option("FILE", *file, "the RIFF file")->required();
    unpackCommand->add_option("-o,--output", *output, "the JSON file to write (default: standard output)");
    unpackCommand->callback([&run, file, output] {
        run = [file, output] { return guarded([&] { return unpackFile(*file, *output); }); };
    });

    auto* packCommand = app.add_subcommand("pack", "Write the RIFF file a JSON description stands for");
    packCommand->add_option("JSON", *file, "the description, or - for standard input")->required();
    packCommand->add_option("-o,--output", *output, "the RIFF file to write")->required();
    packCommand->callback([&run, file, output] {
        run = [file, output] { return guarded([&] { return packFile(*file, *output); }); };
    });
}

}  // namespace tavtool
