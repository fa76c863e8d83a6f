#include "engine/DirReader.h"

#include <sys/sysmacros.h>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>

namespace velmaro::engine {

namespace {

constexpr unsigned kMask =
    STATX_TYPE | STATX_MODE | STATX_INO | STATX_SIZE | STATX_ATIME | STATX_BTIME | STATX_CTIME | STATX_MNT_ID;
constexpr std::size_t kBufferBytes = 64 * 1024;

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

FileTime fileTimeOf(const struct statx_timestamp& t)
{
    return FileTime{t.tv_sec, t.tv_nsec};
}

}  // namespace

DirReader::DirReader(const FolderIdentity& root, const std::atomic<bool>& cancel, Counters& counters)
    : root_(root)
    , cancel_(cancel)
    , counters_(counters)
    , buffer_(new char[kBufferBytes])
{}

int DirReader::stat(int dirFd, const char* name, struct statx& out)
{
    int flags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | (name[0] == 0 ? AT_EMPTY_PATH : 0);
    return ::statx(dirFd, name, flags, kMask, &out) == 0 ? 0 : errno;
}

FolderTree::Times DirReader::timesOf(const struct statx& st)
{
    FolderTree::Times times;
    times.accessed = fileTimeOf(st.stx_atime);
    times.inode = st.stx_ino;
    times.dev = makedev(st.stx_dev_major, st.stx_dev_minor);
    // A birth time of exactly 0 means that none was recorded.
    if ((st.stx_mask & STATX_BTIME) && (st.stx_btime.tv_sec != 0 || st.stx_btime.tv_nsec != 0))
        times.created = fileTimeOf(st.stx_btime);
    times.stamp = stampOf(st);
    return times;
}

void DirReader::read(int fd, Result& out)
{
    out.listing = FolderTree::Listing{};
    out.subfolders.clear();  // keeps its room for the next folder
    out.files = 0;
    for (;;) {
        if (cancel_.load(std::memory_order_relaxed)) {
            out.listing.state = SizeState::Incomplete;
            break;
        }
        ssize_t got = ::getdents64(fd, buffer_.get(), kBufferBytes);
        if (got <= 0) {
            if (got < 0) {
                out.listing.state = SizeState::Failed;
                out.listing.error = errno;
                out.subfolders.clear();
            }
            break;
        }
        uint64_t files = out.files, bytes = out.listing.bytes;
        for (ssize_t pos = 0; pos < got;) {
            auto* entry = reinterpret_cast<struct dirent64*>(buffer_.get() + pos);
            pos += entry->d_reclen;
            if (!isDotOrDotDot(entry->d_name))
                take(fd, entry->d_name, out, out.listing.bytes);
        }
        counters_.files += out.files - files;
        counters_.bytes += out.listing.bytes - bytes;
    }
}

void DirReader::take(int fd, const char* name, Result& out, uint64_t& bytes)
{
    struct statx st;
    if (int err = stat(fd, name, st)) {
        if (err == ENOENT)
            return;  // removed since it was listed
        // The folder's size is unknown now; its other entries are still
        // listed, so its other subfolders get their rows.
        if (out.listing.state != SizeState::Failed) {
            out.listing.state = SizeState::Failed;
            out.listing.error = err;
        }
        out.listing.onlyEmpty = false;
        return;
    }
    if (S_ISDIR(st.stx_mode)) {
        if (onOtherMount(identityOf(st), root_))
            out.listing.onlyEmpty = false;
        else
            out.subfolders.push_back({name, timesOf(st)});
        return;
    }
    ++out.files;
    bytes += st.stx_size;
    if (!S_ISREG(st.stx_mode) || st.stx_size != 0)
        out.listing.onlyEmpty = false;
}

}  // namespace velmaro::engine
