#include "cli/IsoTime.h"

#include <cstdio>
#include <ctime>

namespace velmaro::cli {

std::string IsoTime::text(const engine::FileTime& time)
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

}  // namespace velmaro::cli
