// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <iostream>
#include <string>
#include <vector>

#include "commands.hpp"
#include "files.hpp"

namespace {

// Names the command that argv names, as deep as it goes ("tavtool locale get"), or throws a
// usage error naming the first word that is neither a command nor an option
// of the command before it. Commands with subcommands take no option values,
// so every word up to the last command is a command or a flag.
void findCommand(CLI::App& app, int argc, char** argv, std::string& name) {
    CLI::App* at = &app;
    name = "tavtool";
    for (int i = 1; i < argc && !at->get_subcommands({}).empty(); ++i) {
        const std::string word = argv[i];
        if (word.rfind('-', 0) == 0) {
            if (at->get_option_no_throw(word) == nullptr && word != "--")
                throw CLI::ParseError("'" + word + "' is not an option of '" + name + "'", CLI::ExitCodes::ExtrasError);
            continue;
        }
        const auto subs = at->get_subcommands([&](CLI::App* c) { return c->check_name(word); });
        if (subs.empty()) throw CLI::ParseError("'" + word + "' is not a command", CLI::ExitCodes::ExtrasError);
        at = subs.front();
        name += " " + word;
    }
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"tavtool: inspect and make the files the Tav library reads", "tavtool"};
    app.set_version_flag("--version", "tavtool " TAV_VERSION);
    // Container paths ("/BODY.ORL/STRN.code") begin with a slash: never options.
    app.allow_windows_style_options(false);
    app.require_subcommand(1);
    tavtool::Run run;
    tavtool::addTree(app, run);
    tavtool::addCrc32(app, run);
    tavtool::addGet(app, run);
    tavtool::addLocale(app, run);
    tavtool::addKeys(app, run);
    tavtool::addPack(app, run);
    tavtool::showTextOnConsole();
    std::vector<std::string> arguments = tavtool::commandLine(argc, argv);
    std::vector<char*> words;
    for (std::string& a : arguments) words.push_back(a.data());
    std::string command = "tavtool";
    try {
        findCommand(app, static_cast<int>(words.size()), words.data(), command);
        app.parse(static_cast<int>(words.size()), words.data());
    } catch (const CLI::Success& e) {  // --help, --version
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        // A usage error: status 2, as command-line tools give; 1 is a failure of the work itself.
        std::cerr << "tavtool: " << e.what() << "; see '" << command << " --help'\n";
        return 2;
    }
    return run();
}
