#include "engine/FolderTree.h"

#include <algorithm>

namespace velmaro::engine {

// 64 bytes: a walk holds one per folder until it ends.
struct FolderTree::Node {
    // In createdNanoseconds when there is no birth time: createdSeconds then
    // holds the change-time stamp's value (kChangeStamp) or nothing.
    static constexpr uint32_t kNoBirthTime = UINT32_MAX;
    static constexpr uint32_t kChangeStamp = UINT32_MAX - 1;

    uint64_t bytes = 0;
    int64_t accessedSeconds = 0;
    int64_t createdSeconds = 0;
    uint64_t inode = 0;
    const char* name = nullptr;
    uint32_t accessedNanoseconds = 0;
    uint32_t createdNanoseconds = kNoBirthTime;
    Index parent = kNone;
    uint32_t pending = 1;  // own listing + unfinished subfolders
    int32_t error = 0;
    uint16_t nameLength = 0;  // a name has at most NAME_MAX (255) bytes
    SizeState state = SizeState::Complete;
    bool notEmpty : 1 = false;  // holds something other than folders and empty files
    bool dropped : 1 = false;
    bool listed : 1 = false;       // own listing settled
    bool otherDevice : 1 = false;  // its device is not the root's (see otherDevices_)
    bool named : 1 = false;        // a record gave its index already
};

namespace {

// The name rule of a row: the characters between the second-last '/' and
// the trailing '/'; the whole path where the trailing '/' is the only one.
std::string nameOfPath(const std::string& path)
{
    if (path.size() < 2)
        return path;
    std::size_t slash = path.rfind('/', path.size() - 2);
    if (slash == std::string::npos)
        return path.substr(0, path.size() - 1);
    return path.substr(slash + 1, path.size() - slash - 2);
}

}  // namespace

FolderTree::FolderTree(std::string_view rootPath)
    : rootPath_(rootPath)
{
    while (rootPath_.size() > 1 && rootPath_.back() == '/')
        rootPath_.pop_back();
    if (!rootPath_.empty() && rootPath_ != "/")
        rootPath_ += '/';
    rootName_ = nameOfPath(rootPath_);
}

FolderTree::~FolderTree()
{
    static_assert(sizeof(Node) <= 64);  // here, where the private Node may be named
}

FolderTree::Node& FolderTree::node(Index i)
{
    return blocks_[i >> kBlockBits][i & ((1u << kBlockBits) - 1)];
}

const FolderTree::Node& FolderTree::node(Index i) const
{
    return blocks_[i >> kBlockBits][i & ((1u << kBlockBits) - 1)];
}

FolderTree::Index FolderTree::append(Index parent, std::string_view name, const Times& times)
{
    if ((count_ >> kBlockBits) == blocks_.size())
        blocks_.push_back(std::make_unique<Node[]>(std::size_t{1} << kBlockBits));
    Index index = static_cast<Index>(count_++);
    Node& n = node(index);
    std::string_view stored = names_.store(name);
    n.name = stored.data();
    n.nameLength = static_cast<uint16_t>(stored.size());
    n.parent = parent;
    n.accessedSeconds = times.accessed.seconds;
    n.accessedNanoseconds = times.accessed.nanoseconds;
    if (times.created) {
        n.createdSeconds = times.created->seconds;
        n.createdNanoseconds = times.created->nanoseconds;
    } else if (times.stamp.kind == ObjectStamp::Kind::Change) {
        n.createdSeconds = static_cast<int64_t>(times.stamp.value);
        n.createdNanoseconds = Node::kChangeStamp;
    }
    n.inode = times.inode;
    if (parent == kNone) {
        rootDevice_ = times.dev;
    } else if (times.dev != rootDevice_) {
        n.otherDevice = true;
        otherDevices_[index] = times.dev;
    }
    return index;
}

void FolderTree::keepAsFileSystemFolder(Index index)
{
    node(index).notEmpty = true;
}

FolderTree::Index FolderTree::addRoot(const Times& times)
{
    return append(kNone, {}, times);
}

FolderTree::Index FolderTree::addChild(Index parent, std::string_view name, const Times& times)
{
    Index index = append(parent, name, times);
    ++node(parent).pending;
    if (parent == 0 && isFileSystemFolder(name, volume_))
        keepAsFileSystemFolder(index);
    return index;
}

void FolderTree::mergeState(Node& into, SizeState state, int error)
{
    if (state == SizeState::Failed && into.state != SizeState::Failed) {
        into.state = SizeState::Failed;
        into.error = error;
    } else if (state == SizeState::Incomplete && into.state == SizeState::Complete) {
        into.state = SizeState::Incomplete;
    }
}

void FolderTree::finishListing(Index index, const Listing& listing, std::vector<FolderRecord>& out)
{
    Node& n = node(index);
    n.listed = true;
    n.bytes += listing.bytes;
    n.notEmpty = n.notEmpty || !listing.onlyEmpty;
    mergeState(n, listing.state, listing.error);
    settle(index, out);
}

void FolderTree::drop(Index index, Drop why, int error, std::vector<FolderRecord>& out)
{
    Node& n = node(index);
    n.dropped = true;
    n.listed = true;
    if (n.parent != kNone) {
        Node& p = node(n.parent);
        if (why == Drop::Unreadable)
            mergeState(p, SizeState::Failed, error);
        if (why != Drop::Vanished)
            p.notEmpty = true;
    }
    settle(index, out);
}

// Counts one piece of `index` as done; every folder that thereby has nothing
// left to wait for gives its record and hands its totals to its parent.
void FolderTree::settle(Index index, std::vector<FolderRecord>& out)
{
    std::string derivedPath;  // the path of `index`, cut from its subfolder's record
    bool derived = false;
    while (--node(index).pending == 0) {
        const Node& n = node(index);
        if (!n.dropped) {
            std::string path;
            if (n.parent == kNone || recordPaths_)
                path = derived ? std::move(derivedPath) : fullPath(index);
            out.push_back(makeRecord(index, std::move(path)));
        }
        if (n.parent == kNone)
            return;
        derived = !n.dropped && recordPaths_;
        if (derived) {
            const std::string& path = out.back().path;
            derivedPath.assign(path, 0, path.size() - n.nameLength - 1);
        }
        Node& p = node(n.parent);
        if (!n.dropped) {
            p.bytes += n.bytes;
            p.notEmpty = p.notEmpty || n.notEmpty;
            mergeState(p, n.state, n.error);
        }
        index = n.parent;
    }
}

bool FolderTree::listed(Index index) const
{
    return node(index).listed;
}

void FolderTree::abandonUnlisted(std::vector<FolderRecord>& out)
{
    for (std::size_t i = count_; i-- > 0;) {
        const Index index = static_cast<Index>(i);
        if (!node(index).listed) {
            Listing cutShort;
            cutShort.state = SizeState::Incomplete;
            finishListing(index, cutShort, out);
        }
    }
}

std::string_view FolderTree::name(Index index) const
{
    const Node& n = node(index);
    return {n.name, n.nameLength};
}

// Writes the names from the root down to `index`, each followed by '/',
// backwards into the end of `path`, which holds exactly their length.
void FolderTree::fillBelowRoot(Index index, std::string& path) const
{
    std::size_t end = path.size();
    for (Index i = index; node(i).parent != kNone; i = node(i).parent) {
        const Node& n = node(i);
        path[--end] = '/';
        end -= n.nameLength;
        std::copy_n(n.name, n.nameLength, path.begin() + std::ptrdiff_t(end));
    }
}

std::size_t FolderTree::lengthBelowRoot(Index index) const
{
    std::size_t length = 0;
    for (Index i = index; node(i).parent != kNone; i = node(i).parent)
        length += node(i).nameLength + 1u;
    return length;
}

std::string FolderTree::relativePath(Index index) const
{
    std::string path(lengthBelowRoot(index), '\0');
    fillBelowRoot(index, path);
    if (!path.empty())
        path.pop_back();  // no trailing '/'
    return path;
}

std::string FolderTree::fullPath(Index index) const
{
    if (node(index).parent == kNone)
        return rootPath_;
    std::string path(rootPath_.size() + lengthBelowRoot(index), '\0');
    std::copy(rootPath_.begin(), rootPath_.end(), path.begin());
    fillBelowRoot(index, path);
    return path;
}

// Names the ancestors of the record's folder that no record named yet,
// outermost first, and marks them named. Stops at the first named one, so
// a walk names each folder once.
void FolderTree::nameNewAncestors(FolderRecord& record)
{
    for (Index i = record.parent; i != kNone && !node(i).named; i = node(i).parent) {
        Node& n = node(i);
        n.named = true;
        record.newAncestors.push_back(
            WalkFolder{i, n.parent, n.parent == kNone ? rootPath_ : std::string(name(i))});
    }
    std::reverse(record.newAncestors.begin(), record.newAncestors.end());
}

FolderRecord FolderTree::makeRecord(Index index, std::string path)
{
    Node& n = node(index);
    n.named = true;
    FolderRecord record;
    record.index = index;
    record.parent = n.parent;
    nameNewAncestors(record);
    record.path = std::move(path);
    record.name = n.parent == kNone ? rootName_ : std::string(name(index));
    record.bytes = n.bytes;
    record.sizeState = n.state;
    record.error = n.state == SizeState::Failed ? n.error : 0;
    record.zeroByte = n.state == SizeState::Complete && n.bytes == 0 && !n.notEmpty;
    record.accessed = FileTime{n.accessedSeconds, n.accessedNanoseconds};
    record.id = volume_;
    record.id.stamp = ObjectStamp{};
    if (n.createdNanoseconds == Node::kChangeStamp) {
        record.id.stamp = {ObjectStamp::Kind::Change, static_cast<uint64_t>(n.createdSeconds)};
    } else if (n.createdNanoseconds != Node::kNoBirthTime) {
        record.created = FileTime{n.createdSeconds, n.createdNanoseconds};
        record.id.stamp = {ObjectStamp::Kind::Birth, ObjectStamp::pack(n.createdSeconds, n.createdNanoseconds)};
    }
    record.id.ino = n.inode;
    record.id.dev = n.otherDevice ? otherDevices_.at(index) : rootDevice_;
    record.root = n.parent == kNone;
    return record;
}

}  // namespace velmaro::engine
