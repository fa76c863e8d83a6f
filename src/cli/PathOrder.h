#pragma once
// The records of one scan in byte-wise order of their paths, built from the
// tree instead of a sort of every path. No Qt.
//
// Byte-wise path order is the tree's pre-order with the children of each
// folder in byte-wise order of their paths: a path comes before the paths
// below it, and two paths that part below a common folder compare as the
// two children of that folder on their way do (a name holds no '/').
// So only siblings are compared, on the bytes after their parent's path.
// The tree comes from the walk's numbers (FolderRecord::index and parent)
// where every record carries them, and siblings then compare by their
// names followed by '/': the numbers and names must agree with the paths,
// as a walk's do, and no path is read (a walk asked for no paths may leave
// them empty). Else the tree comes from the paths, and a record's name that
// is as long as its path's last component must be that component.
//
// Contract: of() returns every record of `records` exactly once, ordered as
// std::sort by path would order them. When the records do not form one
// tree (a record whose parent folder has no record, two records with one
// path), it sorts every path instead.

#include "cli/RecordList.h"
#include "engine/FolderRecord.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace velmaro::cli {

class PathOrder {
public:
    static std::vector<const engine::FolderRecord*> of(const RecordList& records);

    // How two sibling folders of a walk compare: by their names followed by
    // '/', byte-wise. nameKey() orders as the first eight of those bytes do;
    // where two keys are equal, nameLess() decides.
    static uint64_t nameKey(std::string_view name);
    static bool nameLess(std::string_view a, std::string_view b);
};

}  // namespace velmaro::cli
