#include "engine/FolderIdentity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>

#ifndef STATX_MNT_ID
#define STATX_MNT_ID 0x00001000U
#endif
#ifndef STATX_ATTR_MOUNT_ROOT
#define STATX_ATTR_MOUNT_ROOT 0x00002000
#endif

namespace velmaro::engine {

FolderIdentity identityOf(const struct statx& st)
{
    FolderIdentity id;
    id.dev = makedev(st.stx_dev_major, st.stx_dev_minor);
    id.ino = st.stx_ino;
    id.hasMountId = (st.stx_mask & STATX_MNT_ID) != 0;
    id.mountId = id.hasMountId ? st.stx_mnt_id : 0;
    id.stamp = stampOf(st);
    id.mountRoot = (st.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0 &&
                   (st.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    return id;
}

int readIdentity(int dirFd, const char* name, FolderIdentity& out)
{
    struct statx st {};
    const int flags = AT_SYMLINK_NOFOLLOW | (*name == '\0' ? AT_EMPTY_PATH : 0);
    if (::statx(dirFd, name, flags, STATX_TYPE | STATX_INO | STATX_MNT_ID | stampMask(), &st) != 0)
        return errno;
    out = identityOf(st);
    return 0;
}

bool onOtherMount(const FolderIdentity& folder, const FolderIdentity& top)
{
    if (folder.mountRoot)
        return true;
    if (folder.hasMountId && top.hasMountId)
        return folder.mountId != top.mountId;
    return folder.dev != top.dev;
}

bool isFileSystemFolder(std::string_view name, const FolderIdentity& parent)
{
    return parent.mountRoot && name == "lost+found";
}

}  // namespace velmaro::engine
