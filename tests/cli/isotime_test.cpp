// IsoTime's own digits against gmtime_r + snprintf, the C library's text
// for the same time, over the whole range a file system can report.

#include "cli/IsoTime.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <random>

namespace {

using velmaro::cli::IsoTime;
using velmaro::engine::FileTime;

std::string libraryText(const FileTime& time)
{
    const time_t seconds = static_cast<time_t>(time.seconds);
    struct tm utc {};
    if (!::gmtime_r(&seconds, &utc))
        return std::string();
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d.%09uZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, unsigned(time.nanoseconds));
    return buffer;
}

void expectLikeLibrary(int64_t seconds, uint32_t nanoseconds)
{
    const FileTime time{seconds, nanoseconds};
    ASSERT_EQ(IsoTime::text(time), libraryText(time)) << seconds << " s " << nanoseconds << " ns";
}

TEST(IsoTime, EdgesOfDaysYearsAndTheFastRange)
{
    constexpr int64_t day = 86400;
    constexpr int64_t year0 = -62167219200;     // 0000-01-01
    constexpr int64_t year10000 = 253402300800;  // 10000-01-01
    const int64_t points[] = {0, -1, 1, day - 1, day, -day, -day - 1,
                              951782400,   // 2000-02-29 (leap year of a century divisible by 400)
                              4107456000,  // 2100-02-28 (century, no leap year)
                              4107542400, -2208988800 /* 1900-01-01 */, -2203891200 /* 1900-03-01 */,
                              2147483647, 2147483648, -2147483648, year0, year0 - 1, year0 + 59 * day,
                              year10000 - 1, year10000, 253402300799 + 366 * day, INT64_C(67767976233316800),
                              INT64_MAX, INT64_MIN, INT64_MIN + 1};
    const uint32_t nanos[] = {0, 1, 999999999, 1000000000, 4294967295u};
    for (const int64_t s : points) {
        for (const uint32_t ns : nanos)
            expectLikeLibrary(s, ns);
    }
}

TEST(IsoTime, EveryDayOfFourCenturiesAndRandomTimes)
{
    // 1800-01-01 to 2200-01-01, one random second of each day.
    std::mt19937_64 random(22);
    for (int64_t s = -5364662400; s < 7258118400; s += 86400)
        expectLikeLibrary(s + int64_t(random() % 86400), uint32_t(random() % 1000000000));
    // Anywhere from year -3000 to 12000.
    std::uniform_int_distribution<int64_t> wide(-156850000000, 316530000000);
    for (int i = 0; i < 200000; ++i)
        expectLikeLibrary(wide(random), uint32_t(random() % 1000000000));
}

TEST(IsoTime, AppendKeepsWhatIsThere)
{
    std::string out = "x\t";
    IsoTime::append(out, FileTime{1717245296, 123456789});
    EXPECT_EQ(out, "x\t2024-06-01T12:34:56.123456789Z");
}

}  // namespace
