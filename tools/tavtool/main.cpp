// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include "commands.hpp"

int main(int argc, char** argv) {
    CLI::App app{"tavtool: inspect and make the files the Tav library reads"};
    app.set_version_flag("--version", "tavtool " TAV_VERSION);
    app.require_subcommand(1);
    tavtool::Run run;
    tavtool::addTree(app, run);
    tavtool::addCrc32(app, run);
    tavtool::addGet(app, run);
    tavtool::addLocale(app, run);
    tavtool::addKeys(app, run);
    tavtool::addPack(app, run);
    CLI11_PARSE(app, argc, argv);
    return run();
}
