#include "engine/ObjectStamp.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace velmaro::engine {

ObjectStamp stampOf(const struct statx& st)
{
    ObjectStamp stamp;
    const bool born = (st.stx_mask & STATX_BTIME) != 0 && (st.stx_btime.tv_sec != 0 || st.stx_btime.tv_nsec != 0);
    if (born) {
        stamp.kind = ObjectStamp::Kind::Birth;
        stamp.value = ObjectStamp::pack(st.stx_btime.tv_sec, st.stx_btime.tv_nsec);
    } else if ((st.stx_mask & STATX_CTIME) != 0) {
        stamp.kind = ObjectStamp::Kind::Change;
        stamp.value = ObjectStamp::pack(st.stx_ctime.tv_sec, st.stx_ctime.tv_nsec);
    }
    return stamp;
}

unsigned stampMask()
{
    return STATX_BTIME | STATX_CTIME;
}

}  // namespace velmaro::engine
