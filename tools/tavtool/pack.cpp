// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <string>

#include "commands.hpp"
#include "files.hpp"
#include "progress.hpp"
#include "riff_json.hpp"

namespace tavtool {

namespace {

int unpackFile(const std::string& input, const std::string& output, const std::string& convention) {
    auto in = openSeekable(input);
    const Tav::Format::RIFF::Convention chosen = chooseConvention(*in, convention, input);
    writeFile(output, [&](std::ostream& out) { unpack(*in, chosen, out); });
    return 0;
}

int packFile(const std::string& input, const std::string& output) {
    checkBinaryOutput(output);
    auto in = openInput(input);
    const Description description = [&] {
        const Progress reading(inputSize(input));
        return parseDescription(*in);
    }();
    if (in->bad()) throw FileError(shownInput(input) + ": cannot be read");
    // Checked whole before anything is written, so a refusal writes nothing.
    const Packed packed(description);
    writeFile(output, packed.size(), [&](std::ostream& out) { packed.write(out); });
    return 0;
}

}  // namespace

void addPack(CLI::App& app, Run& run) {
    auto* unpackCommand = app.add_subcommand("unpack", "Describe a RIFF file as JSON (docs/riff-json.md)");
    auto file = std::make_shared<std::string>();
    auto output = std::make_shared<std::string>("-");
    auto convention = std::make_shared<std::string>("auto");
    unpackCommand->add_option("FILE", *file, "the RIFF file, or - for standard input")->required();
    unpackCommand->add_option("-o,--output", *output, "the JSON file to write, or - (the default) for standard output");
    addConvention(*unpackCommand, *convention);
    addQuiet(*unpackCommand);
    unpackCommand->callback([&run, file, output, convention] {
        run = [file, output, convention] {
            return guarded(shownInput(*file), [&] { return unpackFile(*file, *output, *convention); });
        };
    });

    auto* packCommand = app.add_subcommand("pack", "Write the RIFF file a JSON description stands for");
    packCommand->add_option("JSON", *file, "the description, or - for standard input")->required();
    packCommand->add_option("-o,--output", *output,
                            "the RIFF file to write, or - (the default) for standard output, which must not be a "
                            "terminal");
    addQuiet(*packCommand);
    packCommand->callback([&run, file, output] {
        run = [file, output] { return guarded(shownInput(*file), [&] { return packFile(*file, *output); }); };
    });
}

}  // namespace tavtool
