#include "engine/EmptyFileRemoval.h"

#include "engine/FdGuard.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>

// Linux has no "unlink if empty". The steps below close the races a user can
// meet with a concurrent writer:
//  1. fstatat: only an empty regular file is a candidate.
//  2. An O_PATH descriptor pins the inode; fstat checks it is the same one.
//  3. A write lease (through a read-only reopen of that inode) is granted
//     only when nobody else has the file open. A writer that holds it open
//     (for example one that has created it and not written yet) makes the
//     lease fail with EAGAIN: the file is kept. While the lease is held, any
//     new open() of the inode breaks it first and waits for us.
//  4. The name is renamed to a private quarantine name (RENAME_NOREPLACE), so
//     nobody reaches the inode by its name any more; the inode behind the
//     quarantine name must be ours (a file renamed onto the name in between
//     is put back), still empty, and the lease unbroken. Otherwise the file
//     is renamed back and kept.
//  5. unlinkat of the quarantine name, then the lease is released.
//
// Residual window, honestly: a process whose open() had already looked up the
// name before step 4 but had not yet reached the kernel's lease check when
// step 4 ran (a few instructions inside open(); the same holds for an
// O_CREAT writer between the name appearing and the open completing) gets the
// removed inode once the lease is released, and what it writes is lost. Only a
// stalled CPU stretches that window; a break seen after the unlink is
// reported as EBUSY. Where no lease can be taken at all (another user's file
// without CAP_LEASE, a file system without leases) the file is kept. On a
// file system without RENAME_NOREPLACE a file renamed onto the name between
// the last check and unlinkat would be removed.

namespace velmaro::engine::deletion {

namespace {

std::atomic<unsigned long> quarantineCounter{0};

std::string quarantineName()
{
    return ".velmaro-leer-" + std::to_string(::getpid()) + "-" + std::to_string(++quarantineCounter);
}

bool isEmptyFile(const struct stat& st)
{
    return S_ISREG(st.st_mode) && st.st_size == 0;
}

bool sameInode(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The lease and what is needed to check it.
struct Pinned {
    FdGuard path;   // O_PATH descriptor of the candidate
    FdGuard lease;  // read-only descriptor holding the write lease, if any
    struct stat st {};
};

// Reopens the pinned inode read-only and takes a write lease on it.
// Returns 0, EAGAIN (open elsewhere) or another errno (no lease possible).
int takeLease(Pinned& pin)
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", pin.path.get());
    // The magic link reopens the pinned inode itself, whatever its name is now.
    FdGuard fd(::open(link, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.valid())
        return errno;
    // A break signals the lease owner: SIGIO would end the program, SIGURG
    // is ignored unless someone handles it.
    ::fcntl(fd.get(), F_SETSIG, SIGURG);
    if (::fcntl(fd.get(), F_SETLEASE, F_WRLCK) != 0)
        return errno;
    pin.lease = std::move(fd);
    return 0;
}

bool leaseIntact(const Pinned& pin)
{
    return !pin.lease.valid() || ::fcntl(pin.lease.get(), F_GETLEASE) == F_WRLCK;
}

// True when `name` in `dirFd` is still the pinned, empty, unopened file.
bool stillEmptyAndOurs(int dirFd, const char* name, const Pinned& pin)
{
    struct stat atName {
    }, now{};
    if (::fstatat(dirFd, name, &atName, AT_SYMLINK_NOFOLLOW) != 0 || !sameInode(atName, pin.st))
        return false;
    if (::fstat(pin.path.get(), &now) != 0 || !isEmptyFile(now))
        return false;
    return leaseIntact(pin);
}

EmptyFileResult result(EmptyFileOutcome outcome, int error = 0)
{
    return {outcome, error};
}

// Steps 1-3. Returns Removed to mean "go on".
EmptyFileResult pinCandidate(int dirFd, const std::string& name, Pinned& pin)
{
    struct stat st {};
    if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? result(EmptyFileOutcome::Gone) : result(EmptyFileOutcome::Failed, errno);
    if (S_ISDIR(st.st_mode))
        return result(EmptyFileOutcome::IsFolder);
    if (!isEmptyFile(st))
        return result(EmptyFileOutcome::Kept);
    pin.path.reset(::openat(dirFd, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!pin.path.valid())
        return errno == ENOENT ? result(EmptyFileOutcome::Gone) : result(EmptyFileOutcome::Failed, errno);
    if (::fstat(pin.path.get(), &pin.st) != 0 || !isEmptyFile(pin.st) || !sameInode(pin.st, st))
        return result(EmptyFileOutcome::Kept);
    // No lease, no proof that nobody writes to it: someone has it open
    // (EAGAIN), or we may not take one (EACCES on another user's file, a
    // file system without leases). Either way the file stays.
    if (takeLease(pin) != 0)
        return result(EmptyFileOutcome::Kept);
    return result(EmptyFileOutcome::Removed);
}

// Without RENAME_NOREPLACE on this file system: check, then remove by name.
EmptyFileResult removeInPlace(int dirFd, const std::string& name, const Pinned& pin)
{
    if (!stillEmptyAndOurs(dirFd, name.c_str(), pin))
        return result(EmptyFileOutcome::Kept);
    if (::unlinkat(dirFd, name.c_str(), 0) != 0)
        return errno == ENOENT ? result(EmptyFileOutcome::Gone) : result(EmptyFileOutcome::Failed, errno);
    return result(EmptyFileOutcome::Removed);
}

void putBack(int dirFd, const std::string& quarantine, const std::string& name)
{
    // If the name has been taken meanwhile, the file stays under the
    // quarantine name: nothing is lost, nothing is overwritten.
    ::renameat2(dirFd, quarantine.c_str(), dirFd, name.c_str(), RENAME_NOREPLACE);
}

}  // namespace

EmptyFileResult removeIfEmpty(int dirFd, const std::string& name)
{
    Pinned pinned;
    EmptyFileResult first = pinCandidate(dirFd, name, pinned);
    if (first.outcome != EmptyFileOutcome::Removed)
        return first;
    const std::string quarantine = quarantineName();
    if (::renameat2(dirFd, name.c_str(), dirFd, quarantine.c_str(), RENAME_NOREPLACE) != 0) {
        if (errno == EINVAL || errno == ENOSYS)
            return removeInPlace(dirFd, name, pinned);
        return errno == ENOENT ? result(EmptyFileOutcome::Gone) : result(EmptyFileOutcome::Failed, errno);
    }
    if (!stillEmptyAndOurs(dirFd, quarantine.c_str(), pinned)) {
        putBack(dirFd, quarantine, name);
        return result(EmptyFileOutcome::Kept);
    }
    if (::unlinkat(dirFd, quarantine.c_str(), 0) != 0) {
        const int err = errno;
        putBack(dirFd, quarantine, name);
        return result(EmptyFileOutcome::Failed, err);
    }
    if (!leaseIntact(pinned))
        return result(EmptyFileOutcome::Failed, EBUSY);  // opened at the last moment
    return result(EmptyFileOutcome::Removed);
}

}  // namespace velmaro::engine::deletion
