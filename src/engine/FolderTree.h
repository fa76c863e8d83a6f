#pragma once
// The folders of one walk, in memory as compact nodes: parent index, name
// stored once, counters. Files are never stored, only summed into their
// folder. Sizes are summed bottom-up: a folder is finished when its own
// listing and every subfolder are finished; then its FolderRecord is built
// (path assembled on demand) and its totals flow into its parent. Records
// therefore come out in post-order: every folder after all of its subfolders.
// Each record carries its folder's index and its parent's, and names the
// ancestors no earlier record named (see FolderRecord::newAncestors).
//
// Not thread-safe: the caller serialises every call.

#include "engine/FolderRecord.h"
#include "engine/NameArena.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velmaro::engine {

class FolderTree {
public:
    using Index = WalkIndex;
    static constexpr Index kNone = kNoWalkIndex;

    struct Times {
        std::optional<FileTime> created;  // empty where the file system has no birth time
        FileTime accessed;
        uint64_t inode = 0;
        uint64_t dev = 0;  // may differ from the root's inside a btrfs subvolume
        ObjectStamp stamp;  // Birth: the same as `created`
    };
    // What reading one folder's own entries gave.
    struct Listing {
        uint64_t bytes = 0;     // st_size sum of its non-folder entries
        bool onlyEmpty = true;  // no entry other than folders and empty regular files
        SizeState state = SizeState::Complete;
        int error = 0;  // errno when state == Failed
    };
    // Why a found folder gives no record.
    enum class Drop {
        Vanished,     // removed before or while it was read: the parent is not affected
        OtherVolume,  // turned out to be a mount point: not listed, parent not zero-byte
        Unreadable,   // could not be opened: the parent and all above are Failed
    };

    // `rootPath` as the user gave it; a trailing '/' is optional.
    explicit FolderTree(std::string_view rootPath);
    ~FolderTree();

    // The mount every folder of this walk lies on (the root's).
    void setVolume(const FolderIdentity& volume) { volume_ = volume; }
    // false: records other than the root's get no path (FolderRecord::path
    // stays empty). Set before the first record is made.
    void setRecordPaths(bool recordPaths) { recordPaths_ = recordPaths; }

    // Adds the root (must be the first node) or a subfolder of `parent`.
    // The parent then waits for this node before it can finish.
    Index addRoot(const Times& times);
    // A child named lost+found of a root that is a mount's root (see
    // setVolume) is a file-system folder: never zero-byte.
    Index addChild(Index parent, std::string_view name, const Times& times);
    // Marks a folder as never zero-byte (with every folder above it).
    void keepAsFileSystemFolder(Index index);

    // The folder's own listing is done (or was cut short / failed). Appends
    // the records of every folder that finished because of it to `out`.
    void finishListing(Index node, const Listing& listing, std::vector<FolderRecord>& out);
    // The folder gives no record; see Drop. Appends finished records to `out`.
    void drop(Index node, Drop why, int error, std::vector<FolderRecord>& out);
    // True once finishListing, drop or abandonUnlisted has settled the
    // folder's own listing: a later result for it must be dropped.
    bool listed(Index node) const;
    // Every folder whose own listing is still outstanding is cut short
    // (Incomplete, no descent); appends every record that finishes, the
    // root's included, to `out`.
    void abandonUnlisted(std::vector<FolderRecord>& out);

    // The root path, normalised to end in exactly one '/'.
    const std::string& rootPath() const { return rootPath_; }
    // The folder's name; its bytes are followed by '\0' and never move
    // while the tree lives, so they may be read without the caller's lock.
    std::string_view name(Index node) const;
    // Path below the root without leading or trailing '/' ("" for the root).
    std::string relativePath(Index node) const;
    // Absolute path ending in '/'.
    std::string fullPath(Index node) const;

private:
    struct Node;
    Node& node(Index i);
    const Node& node(Index i) const;
    Index append(Index parent, std::string_view name, const Times& times);
    void settle(Index node, std::vector<FolderRecord>& out);
    std::size_t lengthBelowRoot(Index node) const;
    void fillBelowRoot(Index node, std::string& path) const;
    void nameNewAncestors(FolderRecord& record);
    FolderRecord makeRecord(Index node, std::string path);
    static void mergeState(Node& into, SizeState state, int error);

    static constexpr unsigned kBlockBits = 10;
    std::string rootPath_;
    std::string rootName_;
    std::vector<std::unique_ptr<Node[]>> blocks_;
    std::size_t count_ = 0;
    NameArena names_;
    FolderIdentity volume_;
    bool recordPaths_ = true;
    uint64_t rootDevice_ = 0;
    // The device of every folder whose device is not the root's (inside a
    // btrfs subvolume): rare, so kept beside the nodes.
    std::unordered_map<Index, uint64_t> otherDevices_;
};

}  // namespace velmaro::engine
