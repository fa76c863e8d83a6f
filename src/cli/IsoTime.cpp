#include "cli/IsoTime.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace velmaro::cli {

namespace {

constexpr int64_t kSecondsPerDay = 86400;
// 0000-01-01T00:00:00Z and 10000-01-01T00:00:00Z in seconds since the epoch.
constexpr int64_t kFirstFast = -62167219200;
constexpr int64_t kEndFast = 253402300800;

struct CivilDate {
    int year;
    unsigned month;  // 1..12
    unsigned day;    // 1..31
};

// The proleptic Gregorian date of `days` since 1970-01-01 (days >= -719468,
// i.e. from 0000-03-01 on; earlier days give a year below 0).
CivilDate civilFromDays(int64_t days)
{
    days += 719468;  // days since 0000-03-01
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = unsigned(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shifted = (5 * dayOfYear + 2) / 153;  // 0 = March
    const unsigned day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    const unsigned month = shifted < 10 ? shifted + 3 : shifted - 9;
    const int year = int(int64_t(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

// "00" to "99", two characters each.
constexpr std::array<char, 200> kPairs = [] {
    std::array<char, 200> pairs{};
    for (unsigned i = 0; i < 100; ++i) {
        pairs[2 * i] = char('0' + i / 10);
        pairs[2 * i + 1] = char('0' + i % 10);
    }
    return pairs;
}();

// Writes `value` (below 100) as two digits.
char* putPair(char* at, unsigned value)
{
    std::memcpy(at, &kPairs[2 * value], 2);
    return at + 2;
}

// "YYYY-MM-DDT" of `days` since 1970-01-01 (a year from 0 to 9999). The
// last day asked for is kept: the folders of a tree mostly share days.
const char* datePart(int64_t days)
{
    thread_local int64_t cachedDays = INT64_MIN;
    thread_local char cached[11];
    if (days != cachedDays) {
        const CivilDate date = civilFromDays(days);
        char* at = putPair(cached, unsigned(date.year) / 100);
        at = putPair(at, unsigned(date.year) % 100);
        *at++ = '-';
        at = putPair(at, date.month);
        *at++ = '-';
        at = putPair(at, date.day);
        *at = 'T';
        cachedDays = days;
    }
    return cached;
}

std::string libraryText(const engine::FileTime& time)
{
    const time_t seconds = static_cast<time_t>(time.seconds);
    struct tm utc {};
    if (!::gmtime_r(&seconds, &utc))
        return std::string();
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d.%09uZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<unsigned>(time.nanoseconds));
    return buffer;
}

}  // namespace

std::string IsoTime::text(const engine::FileTime& time)
{
    std::string out;
    append(out, time);
    return out;
}

void IsoTime::append(std::string& out, const engine::FileTime& time)
{
    if (time.seconds < kFirstFast || time.seconds >= kEndFast || time.nanoseconds >= 1000000000u) {
        out += libraryText(time);
        return;
    }
    const int64_t shifted = time.seconds - kFirstFast;  // >= 0: plain division rounds down
    const int64_t days = shifted / kSecondsPerDay + kFirstFast / kSecondsPerDay;
    const auto secondOfDay = unsigned(shifted % kSecondsPerDay);
    char buffer[30];
    std::memcpy(buffer, datePart(days), 11);
    char* at = putPair(buffer + 11, secondOfDay / 3600);
    *at++ = ':';
    at = putPair(at, secondOfDay / 60 % 60);
    *at++ = ':';
    at = putPair(at, secondOfDay % 60);
    *at++ = '.';
    const unsigned ns = time.nanoseconds;  // below 10^9
    at = putPair(at, ns / 10000000);
    at = putPair(at, ns / 100000 % 100);
    at = putPair(at, ns / 1000 % 100);
    at = putPair(at, ns / 10 % 100);
    *at++ = char('0' + ns % 10);
    *at++ = 'Z';
    out.append(buffer, std::size_t(at - buffer));
}

}  // namespace velmaro::cli
