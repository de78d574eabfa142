// A catalogue of 100,000 messages: building the table alone, loading a Locale
// from a string stream and from a file stream, and lookups of present and absent
// keys, beside glibc's dgettext on the same catalogue compiled with msgfmt.
#include <clocale>
#include <cstdlib>
#include <fstream>
#include <libintl.h>
#include <random>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include <benchmark/benchmark.h>

#include <tav/international/locale.hpp>
#include <tav/security/crc32.hpp>

#include "locale_writer.hpp"

namespace {

constexpr int messages = 100000;
const std::string directory = "/tmp/tav_locale_bench";

struct Catalogue {
    std::vector<tavtool::Message> entries;
    std::vector<std::string> absent;
    std::string file;  // the locale file's bytes
};

std::string randomText(std::mt19937& random, std::size_t low, std::size_t high) {
    std::string s(low + random() % (high - low + 1), ' ');
    for (char& c : s) c = static_cast<char>('a' + random() % 26);
    return s;
}

const Catalogue& catalogue() {
    static const Catalogue c = [] {
        Catalogue made;
        std::mt19937 random(42);
        std::unordered_map<std::uint32_t, bool> hashes;
        while (made.entries.size() < messages) {
            std::string key = randomText(random, 10, 40);
            if (!hashes.emplace(Tav::Security::Hash::Crc32(key.c_str()), true).second) continue;
            made.entries.push_back({key, randomText(random, 20, 60)});
        }
        for (int i = 0; i < messages; ++i) made.absent.push_back(randomText(random, 10, 40) + "#");
        made.file = tavtool::localeFile("xx", made.entries);
        // The peer's catalogue: the same messages through msgfmt.
        std::ofstream po(directory + ".po");
        po << "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
        for (const auto& m : made.entries) po << "msgid \"" << m.key << "\"\nmsgstr \"" << m.text << "\"\n\n";
        po.close();
        const std::string command = "mkdir -p " + directory + "/xx/LC_MESSAGES && msgfmt " + directory +
                                    ".po -o " + directory + "/xx/LC_MESSAGES/bench.mo";
        if (std::system(command.c_str()) != 0) std::abort();
        std::ofstream(directory + ".locale", std::ios::binary) << made.file;
        return made;
    }();
    return c;
}

// (a) The floor any loader pays: the table from in-memory pairs.
void BuildTableAlone(benchmark::State& state) {
    const Catalogue& c = catalogue();
    for (auto _ : state) {
        std::unordered_map<std::uint32_t, std::string> table;
        table.reserve(c.entries.size() + 1);
        table.emplace(0, "xx");
        for (const auto& m : c.entries) table.insert_or_assign(Tav::Security::Hash::Crc32(m.key.c_str()), m.text);
        benchmark::DoNotOptimize(table.size());
    }
}
BENCHMARK(BuildTableAlone)->Unit(benchmark::kMillisecond);

// (b) and (c).
void LoadFromStringStream(benchmark::State& state) {
    const Catalogue& c = catalogue();
    for (auto _ : state) {
        std::istringstream in(c.file);
        Tav::International::Locale locale(in);
        benchmark::DoNotOptimize(locale.code());
    }
}
BENCHMARK(LoadFromStringStream)->Unit(benchmark::kMillisecond);

void LoadFromFileStream(benchmark::State& state) {
    catalogue();
    for (auto _ : state) {
        std::ifstream in(directory + ".locale", std::ios::binary);
        Tav::International::Locale locale(in);
        benchmark::DoNotOptimize(locale.code());
    }
}
BENCHMARK(LoadFromFileStream)->Unit(benchmark::kMillisecond);

// (d) and (e): keys in random order.
void Lookup(benchmark::State& state, bool present) {
    const Catalogue& c = catalogue();
    std::istringstream in(c.file);
    const Tav::International::Locale locale(in);
    std::vector<const char*> keys;
    for (int i = 0; i < messages; ++i) keys.push_back(present ? c.entries[i].key.c_str() : c.absent[i].c_str());
    std::shuffle(keys.begin(), keys.end(), std::mt19937(7));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(locale[keys[i]]);
        if (++i == keys.size()) i = 0;
    }
}
BENCHMARK_CAPTURE(Lookup, present, true);
BENCHMARK_CAPTURE(Lookup, absent, false);

void Dgettext(benchmark::State& state, bool present) {
    const Catalogue& c = catalogue();
    setenv("LANGUAGE", "xx", 1);
    if (!std::setlocale(LC_ALL, "C.UTF-8")) state.SkipWithError("no C.UTF-8 locale");
    bindtextdomain("bench", directory.c_str());
    if (present && std::string(dgettext("bench", c.entries[0].key.c_str())) != c.entries[0].text)
        state.SkipWithError("dgettext does not find the catalogue");
    std::vector<const char*> keys;
    for (int i = 0; i < messages; ++i) keys.push_back(present ? c.entries[i].key.c_str() : c.absent[i].c_str());
    std::shuffle(keys.begin(), keys.end(), std::mt19937(7));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(dgettext("bench", keys[i]));
        if (++i == keys.size()) i = 0;
    }
}
BENCHMARK_CAPTURE(Dgettext, present, true);
BENCHMARK_CAPTURE(Dgettext, absent, false);

}  // namespace

BENCHMARK_MAIN();
