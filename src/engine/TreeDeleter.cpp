#include "engine/TreeDeleter.h"

#include "engine/EmptyFileRemoval.h"
#include "engine/FdGuard.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace velmaro::engine::deletion {

TreeDeleter::TreeDeleter(const DeleteOptions& options, DeleteResult& result)
    : options_(options)
    , result_(result)
{}

TreeDeleter::~TreeDeleter()
{
    for (Frame& frame : frames_) {
        if (frame.fd >= 0)
            ::close(frame.fd);
    }
}

void TreeDeleter::run(int parentFd, const std::string& topName, int topFd, const FolderIdentity& topId,
                      const std::string& topPath)
{
    parentFd_ = parentFd;
    topName_ = topName;
    topId_ = topId;
    path_ = topPath;
    frames_.push_back(Frame{topName, topId, topFd, {}, 0, path_.size(), false});
    if (int err = readEntries(topFd, frames_.back().entries)) {
        fail(err, path_);
        return;
    }
    while (!frames_.empty()) {
        if (cancelled()) {
            fail(ECANCELED, path_);
            return;
        }
        Frame& frame = frames_.back();
        if (frame.next < frame.entries.size()) {
            Entry entry = std::move(frame.entries[frame.next++]);
            handleEntry(entry.name, entry.type, true);
        } else if (frames_.size() == 1) {
            removeTop();
        } else {
            leaveFolder();
        }
    }
}

void TreeDeleter::handleEntry(const std::string& name, unsigned char type, bool mayRetype)
{
    if (type == DT_UNKNOWN) {
        struct stat st {};
        if (::fstatat(frames_.back().fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                keep(errno, path_ + name);
            return;
        }
        type = S_ISDIR(st.st_mode) ? DT_DIR : DT_REG;
    }
    if (type == DT_DIR)
        enterFolder(name, mayRetype);
    else if (options_.mode == DeleteMode::Everything)
        removeNonFolder(name, mayRetype);
    else
        removeEmptyFile(name, mayRetype);
}

void TreeDeleter::removeNonFolder(const std::string& name, bool mayEnter)
{
    const std::string path = path_ + name;
    announce(path);
    if (::unlinkat(frames_.back().fd, name.c_str(), 0) == 0) {
        ++result_.removedFiles;
        return;
    }
    const int err = errno;
    if (err == ENOENT)
        return;
    if (err == EISDIR && mayEnter)  // became a folder since it was listed
        enterFolder(name, false);
    else
        keep(err == EISDIR ? EBUSY : err, path);
}

void TreeDeleter::removeEmptyFile(const std::string& name, bool mayEnter)
{
    const std::string path = path_ + name;
    announce(path);
    const EmptyFileResult r = removeIfEmpty(frames_.back().fd, name);
    switch (r.outcome) {
    case EmptyFileOutcome::Removed: ++result_.removedFiles; break;
    case EmptyFileOutcome::Kept: keep(ENOTEMPTY, path_); break;
    case EmptyFileOutcome::IsFolder:
        if (mayEnter)
            enterFolder(name, false);
        else
            keep(EBUSY, path);
        break;
    case EmptyFileOutcome::Gone: break;
    case EmptyFileOutcome::Failed: keep(r.error, path); break;
    }
}

void TreeDeleter::enterFolder(const std::string& name, bool mayRetype)
{
    const std::string path = path_ + name + "/";
    if (options_.mode == DeleteMode::ZeroByteOnly && isFileSystemFolder(name, frames_.back().id)) {
        keep(kFileSystemFolder, path);
        return;
    }
    FdGuard fd(openFolderAt(frames_.back().fd, name.c_str()));
    if (!fd.valid()) {
        const int err = errno;
        if (err == ENOENT)
            return;
        if ((err == ELOOP || err == ENOTDIR) && mayRetype)  // replaced by a link or file
            handleEntry(name, DT_REG, false);
        else if (err == EACCES)
            removeUnreadable(name, path);
        else
            keep(err, path);
        return;
    }
    FolderIdentity id;
    if (int err = readIdentity(fd.get(), "", id)) {
        keep(err, path);
        return;
    }
    if (onOtherMount(id, topId_)) {
        keep(EXDEV, path);
        return;
    }
    std::vector<Entry> entries;
    if (int err = readEntries(fd.get(), entries)) {
        keep(err, path);
        return;
    }
    frames_.push_back(Frame{name, id, fd.release(), std::move(entries), 0, path.size(), false});
    path_ = path;
    limitOpenFolders(frames_.size() - 1);
}

// A folder we may not read: rmdir still removes it when it is empty and
// its parent lets us; anything in it keeps it (and reports the EACCES).
void TreeDeleter::removeUnreadable(const std::string& name, const std::string& path)
{
    announce(path);
    if (::unlinkat(frames_.back().fd, name.c_str(), AT_REMOVEDIR) == 0)
        folderRemoved(path);
    else if (errno != ENOENT)
        keep(EACCES, path);
}

void TreeDeleter::leaveFolder()
{
    if (!ensureParentOpen())
        return;  // the folder and what is left below it were abandoned
    Frame& child = frames_.back();
    Frame& parent = frames_[frames_.size() - 2];
    if (child.kept) {
        parent.kept = true;
    } else {
        announce(path_);
        if (::unlinkat(parent.fd, child.name.c_str(), AT_REMOVEDIR) == 0) {
            folderRemoved(path_);
        } else if (errno != ENOENT) {
            fail(errno == EEXIST ? ENOTEMPTY : errno, path_);
            parent.kept = true;
        }
    }
    popFrame();
}

void TreeDeleter::removeTop()
{
    if (options_.removeTop && !frames_.front().kept) {
        announce(path_);
        if (::unlinkat(parentFd_, topName_.c_str(), AT_REMOVEDIR) == 0)
            folderRemoved(path_);
        else if (errno != ENOENT)
            fail(errno == EEXIST ? ENOTEMPTY : errno, path_);
    }
    popFrame();
}

// The deepest frame is always open; its parent may have been closed to keep
// the number of descriptors bounded.
bool TreeDeleter::ensureParentOpen()
{
    const std::size_t child = frames_.size() - 1;
    Frame& parent = frames_[child - 1];
    if (parent.fd >= 0)
        return true;
    FdGuard up(::openat(frames_[child].fd, "..", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    FolderIdentity id;
    if (up.valid() && readIdentity(up.get(), "", id) == 0 && id.sameAs(parent.id)) {
        parent.fd = up.release();
        return true;
    }
    // The folder was moved away from its parent: find the parent by name.
    return reopenDownTo(child - 1);
}

bool TreeDeleter::reopenDownTo(std::size_t target)
{
    std::size_t open = target;
    while (frames_[open].fd < 0)
        --open;  // the top is always open
    for (std::size_t i = open + 1; i <= target; ++i) {
        int fd = openFolderAt(frames_[i - 1].fd, frames_[i].name.c_str());
        int err = fd < 0 ? errno : 0;
        FolderIdentity id;
        if (fd >= 0 && (err = readIdentity(fd, "", id)) == 0 && !id.sameAs(frames_[i].id))
            err = ENOENT;  // another folder has taken the name
        if (err != 0) {
            if (fd >= 0)
                ::close(fd);
            abandonFrom(i, err);
            return false;
        }
        frames_[i].fd = fd;
        limitOpenFolders(i);
    }
    return true;
}

// Leaves frames [level, end) in place without removing anything.
void TreeDeleter::abandonFrom(std::size_t level, int err)
{
    fail(err, path_.substr(0, frames_[level].pathLen));
    while (frames_.size() > level)
        popFrame();
    frames_.back().kept = true;
}

// Keeps the folder descriptors open only for the kMaxOpenFolders frames
// ending at `deepest` (and the top, index 0).
void TreeDeleter::limitOpenFolders(std::size_t deepest)
{
    if (deepest <= kMaxOpenFolders)
        return;
    Frame& victim = frames_[deepest - kMaxOpenFolders];
    if (victim.fd >= 0) {
        ::close(victim.fd);
        victim.fd = -1;
    }
}

void TreeDeleter::popFrame()
{
    Frame& frame = frames_.back();
    if (frame.fd >= 0)
        ::close(frame.fd);
    frames_.pop_back();
    if (!frames_.empty())
        path_.resize(frames_.back().pathLen);
}

// Something in the current folder stays: record the failure and keep the
// folder (and so every folder above it).
void TreeDeleter::keep(int err, const std::string& path)
{
    fail(err, path);
    frames_.back().kept = true;
}

void TreeDeleter::fail(int err, const std::string& path)
{
    if (result_.ok) {
        result_.ok = false;
        result_.error = err;
        result_.failedPath = path;
    }
}

void TreeDeleter::folderRemoved(const std::string& path)
{
    ++result_.removedFolders;
    if (options_.onFolderRemoved)
        options_.onFolderRemoved(path);
}

void TreeDeleter::announce(const std::string& path)
{
    if (options_.onEntry)
        options_.onEntry(path);
}

bool TreeDeleter::cancelled() const
{
    return options_.cancel != nullptr && options_.cancel->load(std::memory_order_relaxed);
}

}  // namespace velmaro::engine::deletion
