#include "engine/ListedFile.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace velmaro::engine {

FileFacts factsOf(const struct statx& st)
{
    FileFacts facts;
    facts.inode = st.stx_ino;
    facts.stamp = stampOf(st);
    facts.size = st.stx_size;
    facts.changed = ObjectStamp::pack(st.stx_ctime.tv_sec, st.stx_ctime.tv_nsec);
    return facts;
}

unsigned fileFactsMask()
{
    return STATX_TYPE | STATX_INO | STATX_SIZE | stampMask();
}

}  // namespace velmaro::engine
