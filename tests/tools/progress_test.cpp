// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <string>

#include <gtest/gtest.h>

#include "progress.hpp"

// What the progress line says: amounts with three figures, the share and the
// time left only where the total is known and still ahead.
TEST(Progress, LineSaysHowMuchHowFastAndHowLong) {
    const struct {
        std::uint64_t done, total;
        double seconds;
        const char* line;
    } cases[] = {
        {950, 0, 1, "tavtool: 950 B, 950 B/s"},
        {9'990'000, 0, 1, "tavtool: 9.99 MB, 9.99 MB/s"},
        {10'000'000, 0, 1, "tavtool: 10.0 MB, 10.0 MB/s"},
        {10'500'000, 0, 1, "tavtool: 10.5 MB, 10.5 MB/s"},
        {999'000'000, 0, 1, "tavtool: 999 MB, 999 MB/s"},
        {1'000'000'000'000'000, 0, 1, "tavtool: 1000 TB, 1000 TB/s"},
        {1000, 0, 0.5, "tavtool: 1.00 kB, 2.00 kB/s"},
        {1000, 0, 0, "tavtool: 1.00 kB, 0 B/s"},
        {500'000'000, 2'200'000'000, 10, "tavtool: 500 MB of 2.20 GB, 22%, 50.0 MB/s, 34 s left"},
        {1'000'000, 1'000'000'000, 10, "tavtool: 1.00 MB of 1.00 GB, 0%, 100 kB/s, 2 h 46 min left"},
        {1'000'000, 100'000'000, 10, "tavtool: 1.00 MB of 100 MB, 1%, 100 kB/s, 16 min 30 s left"},
        {1000, 1000, 1, "tavtool: 1.00 kB of 1.00 kB, 100%, 1.00 kB/s"},
        {2000, 1000, 1, "tavtool: 2.00 kB, 2.00 kB/s"},  // a file that grew while read
    };
    for (const auto& c : cases) EXPECT_EQ(tavtool::progressLine(c.done, c.total, c.seconds), c.line);
}
