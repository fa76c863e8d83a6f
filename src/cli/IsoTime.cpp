#include "cli/IsoTime.h"

#include <cstdio>
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

char* putDigits(char* at, unsigned value, int count)
{
    for (int i = count - 1; i >= 0; --i) {
        at[i] = char('0' + value % 10);
        value /= 10;
    }
    return at + count;
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
    const CivilDate date = civilFromDays(days);
    char buffer[32];
    char* at = putDigits(buffer, unsigned(date.year), 4);
    *at++ = '-';
    at = putDigits(at, date.month, 2);
    *at++ = '-';
    at = putDigits(at, date.day, 2);
    *at++ = 'T';
    at = putDigits(at, secondOfDay / 3600, 2);
    *at++ = ':';
    at = putDigits(at, secondOfDay / 60 % 60, 2);
    *at++ = ':';
    at = putDigits(at, secondOfDay % 60, 2);
    *at++ = '.';
    at = putDigits(at, time.nanoseconds, 9);
    *at++ = 'Z';
    out.append(buffer, std::size_t(at - buffer));
}

}  // namespace velmaro::cli
