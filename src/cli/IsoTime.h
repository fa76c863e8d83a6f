#pragma once
// Times for machine output: ISO 8601 in UTC with nanoseconds,
// "2024-06-01T12:34:56.123456789Z", independent of locale and time zone.
// No Qt.

#include "engine/FolderRecord.h"

#include <string>

namespace velmaro::cli {

class IsoTime {
public:
    static std::string text(const engine::FileTime& time);
};

}  // namespace velmaro::cli
