#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "commands.hpp"

namespace tavtool {

void writeFile(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".tmp";
    std::error_code error;
    {
        std::ofstream out(temporary, std::ios::binary);
        out << bytes;
        if (out.flush()) std::filesystem::rename(temporary, path, error);
        else error = std::make_error_code(std::errc::io_error);
    }
    if (error) {
        std::remove(temporary.c_str());
        throw std::runtime_error("cannot write " + path + ": " + error.message());
    }
}

std::unique_ptr<std::istream> openInput(const std::string& path) {
    auto in = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (!*in) throw std::runtime_error("cannot open " + path);
    return in;
}

int guarded(const std::function<int()>& body) {
    try {
        return body();
    } catch (std::exception* e) {  // the library's style: a pointer the catcher deletes
        std::unique_ptr<std::exception> owned(e);
        std::cerr << "tavtool: " << owned->what() << '\n';
    } catch (const std::exception& e) {
        std::cerr << "tavtool: " << e.what() << '\n';
    }
    return 1;
}

std::string printable(const char* bytes, std::size_t count) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

}  // namespace tavtool

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
