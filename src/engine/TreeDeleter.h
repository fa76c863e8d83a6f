#pragma once
// The walk behind deleteTree(): bottom-up, iterative, through descriptors.
// No Qt.
//
// Contract:
//  - Every folder is opened relative to its parent's descriptor with
//    O_DIRECTORY|O_NOFOLLOW; every removal is an unlinkat() relative to the
//    folder that holds the entry. Nothing is looked up by full path.
//  - A folder's names are read when it is entered; what appears later is not
//    removed (its folder then fails with ENOTEMPTY, nothing is retried).
//  - At most kMaxOpenFolders folder descriptors are open at once (plus the top
//    and a few short-lived ones). A folder whose descriptor was closed is
//    reopened through "..", or by walking down from the deepest open folder;
//    either way its device and inode must match what was recorded when it
//    was entered, otherwise it and everything below it are left alone (ENOENT).
//  - A folder on another mount than the top is neither entered nor removed
//    (EXDEV); a folder that keeps anything is not removed, nor are the
//    folders above it.
//  - Only the first failure is recorded in the result; the walk goes on with
//    the siblings. Exceptions from onEntry propagate to the caller, who owns
//    the result; the destructor closes every descriptor still open.

#include "engine/FolderAccess.h"
#include "engine/SafeDelete.h"

#include <cstddef>
#include <string>
#include <vector>

namespace velmaro::engine::deletion {

class TreeDeleter {
public:
    static constexpr std::size_t kMaxOpenFolders = 16;

    TreeDeleter(const DeleteOptions& options, DeleteResult& result);
    ~TreeDeleter();
    TreeDeleter(const TreeDeleter&) = delete;
    TreeDeleter& operator=(const TreeDeleter&) = delete;

    // Empties the folder open as `topFd` (ownership passes to the deleter),
    // which is `topName` in the folder `parentFd` (not owned, must stay open),
    // and removes it when options.removeTop. `topPath` ends in '/'.
    void run(int parentFd, const std::string& topName, int topFd, const FolderIdentity& topId,
             const std::string& topPath);

private:
    struct Frame {
        std::string name;  // name in the parent folder
        FolderIdentity id;
        int fd = -1;
        std::vector<Entry> entries;
        std::size_t next = 0;     // next entry to handle
        std::size_t pathLen = 0;  // length of path_ while this frame is the deepest
        bool kept = false;        // something below stays: do not remove
    };

    void handleEntry(const std::string& name, unsigned char type, bool mayRetype);
    void removeNonFolder(const std::string& name, bool mayEnter);
    void removeEmptyFile(const std::string& name, bool mayEnter);
    void enterFolder(const std::string& name, bool mayRetype);
    void removeUnreadable(const std::string& name, const std::string& path);
    void leaveFolder();
    void removeTop();
    bool ensureParentOpen();
    bool reopenDownTo(std::size_t target);
    void abandonFrom(std::size_t level, int err);
    void limitOpenFolders(std::size_t deepest);
    void popFrame();
    void keep(int err, const std::string& path);
    void fail(int err, const std::string& path);
    void announce(const std::string& path);
    // Counts a folder removed and tells options_.onFolderRemoved.
    void folderRemoved(const std::string& path);
    bool cancelled() const;

    const DeleteOptions& options_;
    DeleteResult& result_;
    std::vector<Frame> frames_;
    std::string path_;  // path of the deepest frame, ending in '/'
    FolderIdentity topId_;
    int parentFd_ = -1;
    std::string topName_;
};

}  // namespace velmaro::engine::deletion
