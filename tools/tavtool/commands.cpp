// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include "commands.hpp"

#include <exception>
#include <iostream>
#include <memory>

#include "files.hpp"
#include "progress.hpp"

namespace tavtool {

void addQuiet(CLI::App& command) {
    command.add_flag_callback("-q,--quiet", [] { Progress::quiet = true; },
                              "show no progress line on standard error while the work runs");
}

void addConvention(CLI::App& command, std::string& choice) {
    command
        .add_option("--convention", choice,
                    "the RIFF length convention: tav (lengths count the bytes after the form or list type, no pad "
                    "bytes), published (WAV, AVI, WebP: lengths count the type, odd chunks padded), or auto (the one "
                    "the file's RIFF length fits)")
        ->check(CLI::IsMember({"tav", "published", "auto"}))
        ->capture_default_str();
}

int guarded(const std::string& subject, const std::function<int()>& body) {
    const std::string about = subject.empty() ? "" : subject + ": ";
    std::string message;
    try {
        return body();
    } catch (std::exception* e) {  // the library's style: a pointer the catcher deletes
        std::unique_ptr<std::exception> owned(e);
        message = about + owned->what();
    } catch (const FileError& e) {
        message = e.what();
    } catch (const std::exception& e) {
        message = about + e.what();
    }
    std::cout.flush();  // what was printed before the error stands before it
    std::cerr << "tavtool: " << message << '\n';
    return 1;
}

}  // namespace tavtool
