#pragma once
// One scanned folder, as the walk hands it to whoever shows it.
// Plain data, no Qt. Paths and names are raw file-system bytes.

#include "engine/FolderIdentity.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmaro::engine {

// A point in time as the file system reports it (seconds and nanoseconds
// since the Unix epoch, UTC).
struct FileTime {
    int64_t seconds = 0;
    uint32_t nanoseconds = 0;
};

// Why a folder's size could not be formed.
enum class SizeState : uint8_t {
    Complete,    // `bytes` is the exact total of the subtree
    Failed,      // something below could not be read; `error` holds the errno
    Incomplete,  // the scan was stopped before the subtree was read completely
};

// A folder's number in its walk: the root is 0, every folder found later
// gets the next number. Numbers are unique within one walk only.
using WalkIndex = uint32_t;
inline constexpr WalkIndex kNoWalkIndex = UINT32_MAX;

// A folder above a record's folder, named by the first record below it.
struct WalkFolder {
    WalkIndex index = kNoWalkIndex;
    WalkIndex parent = kNoWalkIndex;  // kNoWalkIndex for the root
    std::string name;                 // last path component; the root's full path (ends in '/')
};

struct FolderRecord {
    std::string name;    // last path component; the whole path for "/"
    std::string path;    // absolute, always ends in '/'
    uint64_t bytes = 0;  // sum of st_size of every non-folder below
    SizeState sizeState = SizeState::Complete;
    int error = 0;                    // errno of the first failure below (sizeState == Failed)
    bool zeroByte = false;            // subtree holds exactly 0 bytes and nothing but
                                      // folders and empty regular files; never true
                                      // unless sizeState == Complete
    std::optional<FileTime> created;  // birth time; empty where the file system has none
    FileTime accessed;                // last access, read before the folder was listed
    FolderIdentity id;                // device, inode and mount as the scan saw them
    bool root = false;                // the scanned folder itself

    // Its place in the walk. Records come after those of all their
    // subfolders, so a reader that builds the tree from the records alone
    // meets a folder's index first as a parent: every folder above this one
    // that no earlier record of the walk named is in `newAncestors`, the
    // outermost first, each before anything that names it as parent.
    WalkIndex index = kNoWalkIndex;
    WalkIndex parent = kNoWalkIndex;  // kNoWalkIndex for the root
    std::vector<WalkFolder> newAncestors;
};

}  // namespace velmaro::engine
