#pragma once

#include <exception>
#include <functional>
#include <iosfwd>
#include <memory>
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

// Opens a file for binary reading; throws std::runtime_error naming the file.
std::unique_ptr<std::istream> openInput(const std::string& path);

// Writes a whole file through a temporary beside it, renamed into place, so that
// a failure leaves no partial file; throws std::runtime_error naming the file.
void writeFile(const std::string& path, const std::string& bytes);

// Runs a command body, turning the library's thrown exception pointers (and
// ordinary exceptions) into a message on standard error and exit code 1.
int guarded(const std::function<int()>& body);

// Four bytes as text, with unprintable bytes escaped.
std::string printable(const char* bytes, std::size_t count);

}  // namespace tavtool
