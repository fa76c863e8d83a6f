#pragma once
// Which scanned folders a listing shows, and in which order. No Qt.
//
// - Paths and names compare byte by byte (independent of the locale), so a
//   folder's path always comes before the paths below it.
// - size: by exact bytes; folders whose size is unknown (failed or cut
//   short) come after every known size. created: folders without a birth
//   time come first. Equal keys fall back to the path.
// - reverse turns the whole order round; zeroOnly keeps zero-byte folders;
//   top > 0 keeps the first `top` after sorting and filtering.

#include "cli/CliOptions.h"
#include "cli/RecordList.h"
#include "engine/FolderRecord.h"

#include <vector>

namespace velmaro::cli {

class RecordOrder {
public:
    struct Selection {
        SortKey sort = SortKey::Path;
        bool reverse = false;
        bool zeroOnly = false;
        std::size_t top = 0;
    };

    static std::vector<const engine::FolderRecord*> select(const RecordList& records,
                                                           const Selection& selection);
};

}  // namespace velmaro::cli
