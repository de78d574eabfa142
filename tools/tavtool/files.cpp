// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include "detail/bytes.hpp"
#include "files.hpp"
#include "progress.hpp"
#include "text.hpp"

#include <cerrno>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#else
#include <unistd.h>
#endif

namespace tavtool {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void fail(const std::string& shown, const std::string& reason) { throw FileError(shown + ": " + reason); }

std::string reason(std::errc code) { return std::make_error_code(code).message(); }
std::string reason(int error) { return std::generic_category().message(error); }

// Paths arrive as UTF-8 (on Windows, main takes the command line as UTF-16 and
// converts it), and are handed to the file system in its own encoding: UTF-16
// on Windows, where a narrow name goes through the ANSI code page and a name
// outside it (Cyrillic or Japanese on a Western system) cannot be opened.
fs::path native(const std::string& path) { return fs::u8path(path); }

// A new file at `path` ("NAME.XXXXXX", the X's replaced), opened for writing;
// -1 with errno set where none can be made.
int createTemporary(fs::path& path) {
#if defined(_WIN32)
    std::wstring name = path.wstring();
    if (_wmktemp_s(name.data(), name.size() + 1) != 0) return -1;
    path = name;
    return _wopen(name.c_str(), _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    std::string name = path.string();
    const int fd = ::mkstemp(name.data());
    path = name;
    return fd;
#endif
}

int openForWriting(const fs::path& path) {
#if defined(_WIN32)
    return _wopen(path.c_str(), _O_WRONLY | _O_BINARY);
#else
    return ::open(path.c_str(), O_WRONLY);
#endif
}

void binary(std::FILE* stream) {
#if defined(_WIN32)
    _setmode(_fileno(stream), _O_BINARY);
#else
    (void)stream;
#endif
}

// A regular file read through a block it keeps. The library seeks before every
// read of a few bytes, and a file stream drops its buffer at each seek, so each
// such read would cost system calls: a tree of a million chunks took seconds.
class BlockStream : public std::istream {
public:
    // `owned`, where given, is the file read, removed when the stream goes.
    BlockStream(const fs::path& path, std::ios::openmode mode, std::unique_ptr<TemporaryFile> owned = nullptr)
        : std::istream(nullptr), owned(std::move(owned)) {
        if (buffer.open(path, mode)) rdbuf(&buffer);
        else setstate(std::ios::failbit);
    }

private:
    std::unique_ptr<TemporaryFile> owned;  // closed after the buffer's file, then removed
    struct Buffer : std::streambuf {
        static constexpr std::streamoff blockBytes = 1 << 16;
        std::filebuf file;
        std::vector<char> block = std::vector<char>(blockBytes);
        std::streamoff start = 0;  // the file offset of the get area's first byte
        std::streamoff size = 0;

        bool open(const fs::path& path, std::ios::openmode mode) {
            if (!file.open(path, mode)) return false;
            size = file.pubseekoff(0, std::ios::end, std::ios::in);
            return size >= 0;
        }
        std::streamoff position() const { return start + (gptr() - eback()); }
        int_type underflow() override {
            const std::streamoff at = position();
            if (at >= size) return traits_type::eof();
            start = at - at % blockBytes;
            const std::streamsize n = file.pubseekpos(start, std::ios::in) == start
                                          ? file.sgetn(block.data(), std::min(blockBytes, size - start))
                                          : 0;
            if (n <= at - start) return traits_type::eof();
            setg(block.data(), block.data() + (at - start), block.data() + n);
            return traits_type::to_int_type(*gptr());
        }
        pos_type seekoff(off_type offset, std::ios_base::seekdir from, std::ios_base::openmode) override {
            const std::streamoff base = from == std::ios_base::beg ? 0 : from == std::ios_base::cur ? position() : size;
            const std::streamoff to = base + offset;
            if (to < 0 || to > size) return pos_type(off_type(-1));
            if (to >= start && to <= start + (egptr() - eback())) {
                setg(eback(), eback() + (to - start), egptr());
            } else {
                start = to;
                setg(block.data(), block.data(), block.data());
            }
            return pos_type(to);
        }
        pos_type seekpos(pos_type at, std::ios_base::openmode which) override {
            return seekoff(off_type(at), std::ios_base::beg, which);
        }
    };
    Buffer buffer;
};

// The file a chain of symbolic links leads to (the path itself where it is none).
fs::path followLinks(const std::string& path) {
    fs::path at = native(path);
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(at, error))) return at;
        const fs::path next = fs::read_symlink(at, error);
        if (error) fail(path, error.message());
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    fail(path, reason(std::errc::too_many_symbolic_link_levels));
}

bool writeAll(int fd, const char* bytes, std::size_t size) {
    for (std::size_t done = 0; done < size;) {
        const auto n = ::write(fd, bytes + done, static_cast<unsigned>(std::min<std::size_t>(size - done, 1 << 30)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// An output stream's buffer that hands on what it holds in sync(), which a
// full buffer calls to make room.
class PassingBuffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override {
        if (sync() != 0) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) sputc(traits_type::to_char_type(c));
        return traits_type::not_eof(c);
    }
};

// Writes to a file descriptor a block at a time.
class DescriptorBuffer : public PassingBuffer {
public:
    explicit DescriptorBuffer(int fd) : fd(fd) { setp(block.data(), block.data() + block.size()); }
    int error = 0;  // errno of the first write that failed

protected:
    int sync() override {
        if (!error && !writeAll(fd, pbase(), static_cast<std::size_t>(pptr() - pbase()))) error = errno ? errno : EIO;
        setp(block.data(), block.data() + block.size());
        return error ? -1 : 0;
    }

private:
    int fd;
    std::vector<char> block = std::vector<char>(1 << 16);
};

// Whether all that `produce` writes reached `fd`; where not, errno says why.
bool written(int fd, const Producer& produce) {
    DescriptorBuffer buffer(fd);
    std::ostream out(&buffer);
    produce(out);
    out.flush();
    errno = buffer.error;
    return buffer.error == 0;
}

// A device or FIFO: opened as it is and written, as a shell's redirection would.
void writeInPlace(const fs::path& target, const Producer& produce, const std::string& shown) {
    const int fd = openForWriting(target);
    if (fd < 0) fail(shown, reason(errno));
    bool ok = false;
    try {
        ok = written(fd, produce);
    } catch (...) {
        ::close(fd);
        throw;
    }
    const int error = errno;
    if (::close(fd) != 0 || !ok) fail(shown, reason(ok ? errno : error));
}

// A regular file, or a new one: a temporary beside it takes the bytes and the
// old file's permission bits (a new file's follow the umask), then replaces it.
// A failure, or an error `produce` throws, leaves the old file and no temporary.
void replace(const fs::path& target, const Producer& produce, const fs::file_status& old, const std::string& shown) {
    fs::path leaf = ".";
    leaf += target.filename();
    leaf += ".XXXXXX";
    fs::path temporary = target.parent_path() / leaf;
    const int fd = createTemporary(temporary);
    if (fd < 0) fail(shown, "cannot make a temporary file beside it: " + reason(errno));
    const auto removeTemporary = [&] {
        std::error_code ignored;
        fs::remove(temporary, ignored);
    };
    bool ok = false;
    try {
#if defined(_WIN32)
        _setmode(fd, _O_BINARY);
        (void)old;
        ok = written(fd, produce) && _commit(fd) == 0;
#else
        mode_t mode;
        if (fs::exists(old)) {
            mode = static_cast<mode_t>(old.permissions() & fs::perms::mask);
        } else {
            const mode_t mask = ::umask(0);  // read without changing it: tavtool runs no threads
            ::umask(mask);
            mode = 0666 & ~mask;
        }
        ok = ::fchmod(fd, mode) == 0 && written(fd, produce) && ::fsync(fd) == 0;
#endif
    } catch (...) {
        ::close(fd);
        removeTemporary();
        throw;
    }
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    std::error_code renamed;
    if (ok) fs::rename(temporary, target, renamed);
    if (!ok || renamed) {
        removeTemporary();
        fail(shown, ok ? renamed.message() : reason(error));
    }
}

// What the file system says of an input, refused where it is no file to read.
fs::file_status examine(const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::status(native(path), error);
    if (error) fail(path, error.message());
    if (fs::is_directory(status)) fail(path, reason(std::errc::is_a_directory));
    return status;
}

template <class Stream>
std::unique_ptr<std::istream> opened(const std::string& path) {
    errno = 0;
    auto in = std::make_unique<Stream>(native(path), std::ios::in | std::ios::binary);
    if (!*in) fail(path, reason(errno ? errno : EACCES));
    return in;
}

std::unique_ptr<std::istream> standardInput() {
    binary(stdin);
    return std::make_unique<std::istream>(std::cin.rdbuf());
}

}  // namespace

std::string shownInput(const std::string& path) { return path == "-" ? "standard input" : path; }
std::string shownOutput(const std::string& path) { return path == "-" ? "standard output" : path; }

std::unique_ptr<std::istream> openInput(const std::string& path) {
    if (path == "-") return standardInput();
    examine(path);
    return opened<std::ifstream>(path);
}

std::uint64_t inputSize(const std::string& path) {
    std::error_code error;
    if (path == "-" || !fs::is_regular_file(fs::status(path, error))) return 0;
    const std::uintmax_t size = fs::file_size(path, error);
    return error ? 0 : size;
}

std::unique_ptr<std::istream> openSeekable(const std::string& path) {
    if (path != "-" && fs::is_regular_file(examine(path))) return opened<BlockStream>(path);
    // Read once into a temporary file: the bytes may be more than memory holds.
    auto copy = std::make_unique<TemporaryFile>();
    auto in = openInput(path);
    std::vector<char> block(1 << 16);
    const Progress meter;  // a pipe's size is not known
    while (in->read(block.data(), static_cast<std::streamsize>(block.size())) || in->gcount() > 0) {
        copy->append(block.data(), static_cast<std::size_t>(in->gcount()));
        Progress::add(static_cast<std::uint64_t>(in->gcount()));
    }
    if (in->bad()) fail(shownInput(path), reason(errno ? errno : EIO));
    const fs::path name = copy->path();
    auto stream = std::make_unique<BlockStream>(name, std::ios::in | std::ios::binary, std::move(copy));
    if (!*stream) fail("temporary file " + name.u8string(), "cannot be read back");
    return stream;
}

TemporaryFile::TemporaryFile() {
    std::error_code missing;
    name = fs::temp_directory_path(missing) / "tavtool-XXXXXX";
    if (missing) fail("the temporary directory (TMPDIR)", missing.message());
    const int fd = createTemporary(name);
    if (fd < 0 || ::close(fd) != 0 || !file.open(name, std::ios::in | std::ios::out | std::ios::binary)) {
        const int error = errno;
        std::error_code ignored;
        if (fd >= 0) fs::remove(name, ignored);
        fail(name.parent_path().u8string(), "cannot make a temporary file: " + reason(error));
    }
}

TemporaryFile::~TemporaryFile() {
    file.close();
    std::error_code ignored;
    fs::remove(name, ignored);
}

void TemporaryFile::append(const char* bytes, std::size_t n) {
    errno = 0;
    const auto count = static_cast<std::streamsize>(n);
    if (file.pubseekpos(static_cast<std::streamoff>(end), std::ios::out) != static_cast<std::streamoff>(end) ||
        file.sputn(bytes, count) != count || file.pubsync() != 0)
        fail("temporary file " + name.u8string(), reason(errno ? errno : EIO));
    end += n;
}

void TemporaryFile::read(std::uint64_t at, char* bytes, std::size_t n) {
    const auto count = static_cast<std::streamsize>(n);
    if (at + n > end || file.pubseekpos(static_cast<std::streamoff>(at), std::ios::in) != static_cast<std::streamoff>(at) ||
        file.sgetn(bytes, count) != count)
        fail("temporary file " + name.u8string(), "cannot be read back");
}

namespace {

// The first 8 bytes of the stream and its size; refuses what no member of the
// family begins with.
std::uint64_t readHead(std::istream& in, const std::string& path, unsigned char (&header)[8]) {
    in.clear();
    in.seekg(0);
    in.read(reinterpret_cast<char*>(header), sizeof header);
    in.clear();
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    in.clear();
    in.seekg(0);
    const std::uint64_t size = end > 0 ? static_cast<std::uint64_t>(end) : 0;
    if (size < 12)
        fail(shownInput(path), std::to_string(size) + " bytes: too short for a RIFF file, which has at least 12");
    constexpr const char* signatures[] = {"RIFF", "RIFX", "RF64", "BW64", "riff"};
    if (std::none_of(std::begin(signatures), std::end(signatures),
                     [&](const char* signature) { return std::memcmp(header, signature, 4) == 0; }))
        fail(shownInput(path), "not a RIFF file: it begins with \"" +
                                   printable(std::string_view(reinterpret_cast<const char*>(header), 4)) + "\"");
    return size;
}

}  // namespace

std::uint64_t riffSize(std::istream& in, const std::string& path) {
    unsigned char header[8];
    return readHead(in, path, header);
}

Tav::Format::RIFF::Convention chooseConvention(std::istream& in, const std::string& choice, const std::string& path) {
    using Tav::Format::RIFF::Convention;
    unsigned char header[8];
    const std::uint64_t size = readHead(in, path, header);
    if (choice == "published") return Convention::Published;
    if (choice == "auto") return Tav::Format::RIFF::identify(in).convention;
    if (std::memcmp(header, "RIFF", 4) != 0)
        fail(shownInput(path), "a \"" + printable(std::string_view(reinterpret_cast<const char*>(header), 4)) +
                                   "\" file is read in the published convention only (--convention published or auto)");
    const std::uint64_t length = Tav::detail::loadLE32(header + 4);
    const std::uint64_t claimed = length + 12;
    if (claimed == size) return Convention::Tav;
    if (length + 8 == size)
        fail(shownInput(path),
             "the RIFF length counts the form type (file size \u2212 8), as WAV, AVI and WebP files do; "
             "Tav files count the bytes after it (file size \u2212 12)");
    fail(shownInput(path), "RIFF length " + std::to_string(length) + " claims " + std::to_string(claimed) +
                               " bytes; the file has " + std::to_string(size) + ": " +
                               (size < claimed ? "cut short, or written to a pipe"
                                               : std::to_string(size - claimed) + " bytes follow the form"));
}

std::unique_ptr<std::istream> openContainer(const std::string& path) {
    auto in = openSeekable(path);
    chooseConvention(*in, "tav", path);
    return in;
}

void checkBinaryOutput(const std::string& path) {
#if defined(_WIN32)
    const bool terminal = _isatty(_fileno(stdout));
#else
    const bool terminal = isatty(STDOUT_FILENO);
#endif
    if (path == "-" && terminal)
        throw FileError("standard output is a terminal: give -o FILE, or redirect the output");
}

void writeFile(const std::string& path, const std::string& bytes) {
    writeFile(path, [&](std::ostream& out) { out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())); });
}

void writeFile(const std::string& path, const Producer& produce) {
    if (path == "-") {  // through std::cout, which shows text on a Windows console as written
        binary(stdout);
        errno = 0;
        produce(std::cout);
        if (!std::cout.flush()) fail(shownOutput(path), reason(errno ? errno : EIO));
        return;
    }
    const fs::path target = followLinks(path);
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    if (error && status.type() != fs::file_type::not_found) fail(path, error.message());
    if (fs::is_directory(status)) fail(path, reason(std::errc::is_a_directory));
    if (fs::exists(status) && !fs::is_regular_file(status))
        writeInPlace(target, produce, path);
    else
        replace(target, produce, status, path);
}

void writeFile(const std::string& path, std::uint64_t total, const Producer& produce) {
    const Progress meter(total);
    writeFile(path, [&](std::ostream& out) {
        Progress::Counted counted(out);
        std::ostream through(&counted);
        produce(through);
    });
}

#if defined(_WIN32)

namespace {

std::string utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? static_cast<std::size_t>(size) : 1u, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.resize(std::strlen(out.c_str()));
    return out;
}

// Text for a Windows console, written as UTF-16 with WriteConsoleW: the console
// shows bytes in its own code page (437 or 850), and even switched to UTF-8 it
// garbles a character whose bytes come in separate writes.
class ConsoleBuffer : public PassingBuffer {
public:
    explicit ConsoleBuffer(HANDLE console) : console(console) { setp(bytes, bytes + sizeof bytes); }

protected:
    // Writes the whole characters held; a character's first bytes wait for the rest.
    int sync() override {
        const std::size_t held = static_cast<std::size_t>(pptr() - pbase());
        const std::size_t whole = wholeCharacters(std::string_view(bytes, held));
        bool ok = true;
        if (whole > 0) {
            const int units = MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(whole), nullptr, 0);
            std::wstring text(static_cast<std::size_t>(units), L'\0');
            MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(whole), text.data(), units);
            DWORD written = 0;
            ok = WriteConsoleW(console, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0;
        }
        std::memmove(bytes, bytes + whole, held - whole);
        setp(bytes, bytes + sizeof bytes);
        pbump(static_cast<int>(held - whole));
        return ok ? 0 : -1;
    }

private:
    HANDLE console;
    char bytes[4096];
};

}  // namespace

std::vector<std::string> commandLine(int, char**) {
    // main's own arguments are in the ANSI code page, which loses any character
    // outside it before the program sees it: take the UTF-16 command line.
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(utf8(wide[i]));
    LocalFree(wide);
    return arguments;
}

void showTextOnConsole() {
    const std::pair<std::ostream*, DWORD> streams[] = {{&std::cout, STD_OUTPUT_HANDLE}, {&std::cerr, STD_ERROR_HANDLE}};
    for (const auto& [stream, id] : streams) {
        const HANDLE handle = GetStdHandle(id);
        DWORD mode = 0;
        // Never freed: std::cout is flushed at exit, after the program's own statics are gone.
        if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) stream->rdbuf(new ConsoleBuffer(handle));
    }
}

#else

std::vector<std::string> commandLine(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

void showTextOnConsole() {}

#endif

}  // namespace tavtool
