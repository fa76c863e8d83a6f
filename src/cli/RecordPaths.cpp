#include "cli/RecordPaths.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace velmaro::cli {

std::size_t RecordPaths::fill(RecordList& records)
{
    constexpr uint32_t kNone = UINT32_MAX;
    engine::WalkIndex highest = 0;
    for (const engine::FolderRecord& record : records) {
        if (record.index != engine::kNoWalkIndex)
            highest = std::max(highest, record.index);
    }
    std::vector<uint32_t> position(std::size_t{highest} + 1, kNone);
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].index != engine::kNoWalkIndex)
            position[records[i].index] = uint32_t(i);
    }
    std::size_t left = 0;
    // Backwards: every folder before its subfolders.
    for (std::size_t i = records.size(); i-- > 0;) {
        engine::FolderRecord& record = records.at(i);
        if (!record.path.empty())
            continue;
        const engine::WalkIndex parent = record.parent;
        const uint32_t at = parent <= highest ? position[parent] : kNone;
        if (at == kNone || records[at].path.empty()) {
            ++left;
            continue;
        }
        const std::string& parentPath = records[at].path;
        record.path.reserve(parentPath.size() + record.name.size() + 1);
        record.path.append(parentPath).append(record.name) += '/';
    }
    return left;
}

}  // namespace velmaro::cli
