// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <functional>
#include <string>

#include <CLI/CLI.hpp>

namespace tavtool {

// Each subcommand adds itself to the application; its callback returns the exit code.
using Run = std::function<int()>;
void addTree(CLI::App& app, Run& run);
void addCrc32(CLI::App& app, Run& run);
void addGet(CLI::App& app, Run& run);
void addLocale(CLI::App& app, Run& run);
void addKeys(CLI::App& app, Run& run);
void addPack(CLI::App& app, Run& run);

// Adds -q,--quiet to a command whose work may run long: it shows no progress
// line (progress.hpp).
void addQuiet(CLI::App& command);

// Adds --convention tav|published|auto (default auto) to a command that reads
// RIFF files in either length convention.
void addConvention(CLI::App& command, std::string& choice);

// Runs a command body, turning what it throws into a message on standard error
// and exit code 1. The library's thrown exception pointers and ordinary
// exceptions are about `subject` (the file the command reads, as shownInput
// names it) and say so, unless the message already names its file (FileError).
int guarded(const std::string& subject, const std::function<int()>& body);

}  // namespace tavtool
