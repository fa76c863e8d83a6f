#pragma once
// Paths for the records of a walk that was asked for none (see
// FolderScanner::Options::recordPaths): each record's path is its parent
// record's path, its name and '/'. No Qt.
//
// Contract: fills the path of every record of `records` whose path is empty
// and whose parent (by the walk's numbers) has a record with a path; records
// come in a walk's order, every folder after its subfolders, so a parent's
// path is known before its subfolders' are filled. Returns how many records
// were left without a path (0 for a walk's records).

#include "cli/RecordList.h"

#include <cstddef>

namespace velmaro::cli {

class RecordPaths {
public:
    static std::size_t fill(RecordList& records);
};

}  // namespace velmaro::cli
