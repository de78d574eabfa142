// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// A catalogue of 100,000 messages: building the table alone, loading a Locale
// from a string stream and from a file stream, and lookups of present and absent
// keys, beside glibc's dgettext on the same catalogue compiled with msgfmt: with
// the keys as one array of pointers, and as a caller holds them, std::string
// objects scattered over the heap. Plural lookups beside plain ones.
#include <algorithm>
#include <clocale>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <libintl.h>
#include <memory>
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
    std::string file;        // the locale file's bytes
    std::string pluralFile;  // the same with a second plural form for every message
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
        std::vector<tavtool::Message> plural = made.entries;
        for (const auto& m : made.entries) {
            const std::string key = tavtool::pluralKey(m.key, 1);
            if (hashes.emplace(Tav::Security::Hash::Crc32(key.c_str()), true).second) plural.push_back({key, m.text.str() + "s"});
        }
        made.pluralFile = tavtool::localeFile("xx", plural, "nplurals=2; plural=n != 1;");
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
        for (const auto& m : c.entries) table.insert_or_assign(Tav::Security::Hash::Crc32(m.key.c_str()), m.text.str());
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

// A locale file whose body list holds 2 million empty chunks before its code
// node: each path lookup of the load reads all their identifiers.
void LoadAfterWideList(benchmark::State& state) {
    const std::string path = directory + "-wide.locale";
    {
        std::string body;
        for (int i = 0; i < 2 << 20; ++i) body += tavtool::chunk("data", "");
        body += tavtool::node("STRN", "code", std::string("xx") + '\0') + tavtool::node("TUDW", "offsets", "") +
                tavtool::namedList("ATXT", "strings", "");
        std::ofstream(path, std::ios::binary) << tavtool::riff("OSTR", tavtool::namedList("BODY", "ORL", body));
    }
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        Tav::International::Locale locale(in);
        benchmark::DoNotOptimize(locale.code());
    }
    std::remove(path.c_str());
}
BENCHMARK(LoadAfterWideList)->Unit(benchmark::kMillisecond);

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

void setUpDgettext(benchmark::State& state) {
    setenv("LANGUAGE", "xx", 1);
    if (!std::setlocale(LC_ALL, "C.UTF-8")) state.SkipWithError("no C.UTF-8 locale");
    bindtextdomain("bench", directory.c_str());
    if (std::string(dgettext("bench", catalogue().entries[0].key.c_str())) != catalogue().entries[0].text)
        state.SkipWithError("dgettext does not find the catalogue");
}

void Dgettext(benchmark::State& state, bool present) {
    const Catalogue& c = catalogue();
    setUpDgettext(state);
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

// Keys as a caller holds them: std::string objects, each allocated on its own
// among allocations of other sizes, visited in random order.
struct ScatteredKeys {
    std::vector<std::unique_ptr<std::string>> keys;
    std::vector<std::unique_ptr<char[]>> between;

    explicit ScatteredKeys(bool present) {
        const Catalogue& c = catalogue();
        std::mt19937 random(11);
        for (int i = 0; i < messages; ++i) {
            between.emplace_back(new char[16 + random() % 200]);
            keys.push_back(std::make_unique<std::string>(present ? c.entries[i].key : c.absent[i]));
        }
        std::shuffle(keys.begin(), keys.end(), std::mt19937(7));
    }
};

void CallerLookup(benchmark::State& state, bool present) {
    const Catalogue& c = catalogue();
    std::istringstream in(c.file);
    const Tav::International::Locale locale(in);
    const ScatteredKeys keys(present);
    for (const auto& key : keys.keys) benchmark::DoNotOptimize(locale[*key]);  // warm up
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(locale[*keys.keys[i]].size());
        if (++i == keys.keys.size()) i = 0;
    }
}
BENCHMARK_CAPTURE(CallerLookup, present, true);
BENCHMARK_CAPTURE(CallerLookup, absent, false);

void CallerDgettext(benchmark::State& state, bool present) {
    setUpDgettext(state);
    const ScatteredKeys keys(present);
    for (const auto& key : keys.keys) benchmark::DoNotOptimize(dgettext("bench", key->c_str()));  // warm up
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::strlen(dgettext("bench", keys.keys[i]->c_str())));
        if (++i == keys.keys.size()) i = 0;
    }
}
BENCHMARK_CAPTURE(CallerDgettext, present, true);
BENCHMARK_CAPTURE(CallerDgettext, absent, false);

// A plural lookup beside a plain one, on the same table (every message with two
// forms), keys as a caller holds them; n runs 0, 1, 2, ... so both forms are taken.
void CallerPlural(benchmark::State& state, bool plural) {
    std::istringstream in(catalogue().pluralFile);
    const Tav::International::Locale locale(in);
    const ScatteredKeys keys(true);
    std::size_t i = 0;
    unsigned long n = 0;
    for (auto _ : state) {
        const std::string& key = *keys.keys[i];
        benchmark::DoNotOptimize(plural ? locale.plural(key, n++).size() : locale[key].size());
        if (++i == keys.keys.size()) i = 0;
    }
}
BENCHMARK_CAPTURE(CallerPlural, operator_brackets, false);
BENCHMARK_CAPTURE(CallerPlural, plural, true);

}  // namespace

BENCHMARK_MAIN();
