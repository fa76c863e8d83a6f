#pragma once
// Times for machine output: ISO 8601 in UTC with nanoseconds,
// "2024-06-01T12:34:56.123456789Z", independent of locale and time zone.
// No Qt.
//
// The text equals gmtime_r() printed with "%04d-%02d-%02dT%02d:%02d:%02d.%09uZ"
// for every time (before 1970, years beyond 9999, nanoseconds of 10 digits);
// a time that gmtime_r() cannot break down gives an empty text.

#include "engine/FolderRecord.h"

#include <string>

namespace velmaro::cli {

class IsoTime {
public:
    static std::string text(const engine::FileTime& time);
    // Appends text(time) to `out`; years 0 to 9999 without the C library.
    static void append(std::string& out, const engine::FileTime& time);
};

}  // namespace velmaro::cli
