// One folder's listing when the status of single entries cannot be read,
// and birth times the file system did not record.

#include "TempTree.h"

#include "engine/DirReader.h"

#include <dlfcn.h>

namespace {

// The entry name whose status read fails, and how; empty: none fails.
std::atomic<const char*> failingName{nullptr};
std::atomic<int> failingErrno{0};

}  // namespace

// Stands in for the C library's statx in this test binary: fails for the
// entry named by failingName, passes every other call on.
extern "C" int statx(int dirfd, const char* __restrict path, int flags, unsigned int mask,
                     struct statx* __restrict out) noexcept
{
    using Real = int (*)(int, const char*, int, unsigned int, struct statx*);
    static const Real real = reinterpret_cast<Real>(::dlsym(RTLD_NEXT, "statx"));
    const char* name = failingName.load();
    if (name && std::strcmp(path, name) == 0) {
        errno = failingErrno.load();
        return -1;
    }
    return real(dirfd, path, flags, mask, out);
}

namespace enginetest {
namespace {

TEST(DirReader, AnEntryWhoseStatusFailsLeavesTheOtherSubfoldersListed)
{
    TempTree t;
    t.file("a/a1/f", "12");
    t.dir("a/a2");
    t.dir("broken");
    t.file("m/n/o/g", "1234");
    t.file("z.txt", "abc");
    for (int error : {EIO, EACCES}) {
        failingName = "broken";
        failingErrno = error;
        ScanResult r = scan(t.root());
        failingName = nullptr;
        auto state = [&](const std::string& p) {
            auto it = r.byPath.find(t / p);
            return it == r.byPath.end() ? -1 : int(it->second.sizeState);
        };
        EXPECT_EQ(r.byPath.size(), 7u) << r.describe();  // broken/ itself cannot be told apart from a file
        EXPECT_EQ(state(""), int(SizeState::Failed)) << r.describe();
        EXPECT_EQ(r.byPath[t / ""].error, error);
        EXPECT_FALSE(r.byPath[t / ""].zeroByte);
        for (const char* folder : {"a/", "a/a1/", "a/a2/", "m/", "m/n/", "m/n/o/"})
            EXPECT_EQ(state(folder), int(SizeState::Complete)) << folder << "\n" << r.describe();
        EXPECT_EQ(r.byPath[t / "m/"].bytes, 4u);
    }
}

TEST(DirReader, BirthTimeZeroMeansNoneWasRecorded)
{
    struct statx st {};
    st.stx_mask = STATX_BTIME;
    EXPECT_FALSE(DirReader::timesOf(st).created.has_value());
    st.stx_btime.tv_nsec = 1;
    EXPECT_TRUE(DirReader::timesOf(st).created.has_value());
    st.stx_btime = {978307200, 0, 0};
    ASSERT_TRUE(DirReader::timesOf(st).created.has_value());
    EXPECT_EQ(DirReader::timesOf(st).created->seconds, 978307200);
    st.stx_mask = 0;
    EXPECT_FALSE(DirReader::timesOf(st).created.has_value());
}

}  // namespace
}  // namespace enginetest
