#include "engine/ScanWalk.h"

#include "engine/DirHandle.h"
#include "engine/DirOpener.h"
#include "engine/FolderAccess.h"

#include <algorithm>
#include <cerrno>
#include <linux/magic.h>
#include <sys/resource.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace velmaro::engine {

namespace {

constexpr std::chrono::milliseconds kFlushInterval{50};

// Descriptors the walk may keep open for queued subfolders: half of what
// is left after each worker's own few and a margin for the program.
int handleCapFor(unsigned workers)
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return 1024;
    long spare = static_cast<long>(limit.rlim_cur) - 16 - 2 * static_cast<long>(workers);
    return static_cast<int>(std::clamp(spare / 2, 0L, 1024L));
}

bool isPseudoFileSystem(int fd)
{
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case SELINUX_MAGIC:
    case SMACK_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case BPF_FS_MAGIC:
    case PSTOREFS_MAGIC:
    case EFIVARFS_MAGIC:
    case NSFS_MAGIC:
    case BINFMTFS_MAGIC:
    case AUTOFS_SUPER_MAGIC:
    case 0x62656570UL /* configfs */:
    case 0x65735543UL /* fusectl */:
    case 0x19800202UL /* mqueue */: return true;
    default: return false;
    }
}

// Empties `v` for the next folder; keeps its room unless a huge folder made it.
template <typename T>
void clearForNext(std::vector<T>& v)
{
    constexpr std::size_t kKeptRoom = 4096;
    if (v.capacity() > kKeptRoom)
        std::vector<T>().swap(v);
    else
        v.clear();
}

// The folder is no longer there as a folder: removed, or replaced by a file
// or a symlink since its parent was listed.
bool isGone(int error)
{
    return error == ENOENT || error == ENOTDIR || error == ELOOP;
}

}  // namespace

ScanWalk::ScanWalk(const std::string& root, const FolderScanner::Options& options,
                   FolderScanner::BatchSink onBatch, FolderScanner::DoneSink onDone)
    : workers_(std::max(options.workers, 1u))
    , niceIncrement_(std::max(options.niceIncrement, 0))
    , handleCap_(handleCapFor(workers_))
    , onDone_(std::move(onDone))
    , batcher_(options.batchSize, std::move(onBatch), kFlushInterval)
    , queue_(workers_)
    , pacer_(workers_, WorkerPacer::cores())
    , tree_(root)
{
    tree_.setRecordPaths(options.recordPaths);
}

ScanWalk::~ScanWalk()
{
    if (rootFd_ >= 0)
        ::close(rootFd_);
}

void ScanWalk::start()
{
    std::vector<Item> root(1);
    queue_.push(std::move(root));
    running_ = workers_;
    for (unsigned i = 0; i < workers_; ++i)
        std::thread([self = shared_from_this(), i] { self->work(i); }).detach();
}

void ScanWalk::cancel()
{
    // A walk that is done has nothing left to cut short.
    if (done_.load() || cancelled_.exchange(true))
        return;
    {
        // Before the queue is emptied: until then no worker can end the walk
        // and close the batcher, so the records of every folder left
        // unlisted are in it by the time anyone closes it.
        std::lock_guard lock(treeMutex_);
        std::vector<FolderRecord> records;
        tree_.abandonUnlisted(records);
        batcher_.add(std::move(records));
    }
    queue_.drain();
    pacer_.release();
    batcher_.close([this] { signalDone(); });
}

ScanProgress ScanWalk::progress() const
{
    return ScanProgress{folders_.load(), counters_.files.load(), counters_.bytes.load()};
}

void ScanWalk::wait()
{
    std::unique_lock lock(doneMutex_);
    doneChanged_.wait(lock, [this] { return done_.load(); });
}

void ScanWalk::lowerPriority() const
{
    if (niceIncrement_ == 0)
        return;
    // On Linux a thread id names just this thread for PRIO_PROCESS.
    const id_t self = static_cast<id_t>(::gettid());
    errno = 0;
    const int current = ::getpriority(PRIO_PROCESS, self);
    if (errno == 0)
        ::setpriority(PRIO_PROCESS, self, std::min(current + niceIncrement_, 19));
}

void ScanWalk::work(unsigned index)
{
    lowerPriority();
    Worker worker;
    worker.index = index;
    Item item;
    pacer_.admit(index);
    while (queue_.pop(item, index)) {
        handle(item, worker);
        item = Item{};
        queue_.taskDone();
        batcher_.flushIfDue();
        pacer_.tick();
        pacer_.admit(index);
    }
    pacer_.release();  // the queue is done for good: held workers end too
    if (--running_ == 0)
        finish();
}

void ScanWalk::finish()
{
    batcher_.close([this] { signalDone(); });
}

// Called once: by the last worker or by cancel(), whichever comes first.
void ScanWalk::signalDone()
{
    if (doneSignalled_.exchange(true))
        return;
    if (onDone_)
        onDone_();
    {
        std::lock_guard lock(doneMutex_);
        done_ = true;
    }
    doneChanged_.notify_all();
}

void ScanWalk::handleRoot(Worker& worker)
{
    if (cancelled_.load())
        return;
    int fd = DirOpener::openRoot(tree_.rootPath());
    if (fd < 0)
        return;
    struct statx st;
    if (DirReader::stat(fd, "", st) != 0 || isPseudoFileSystem(fd)) {
        ::close(fd);
        return;
    }
    volume_ = identityOf(st);
    rootFd_ = DirOpener::reopenAsPath(fd);
    FolderTree::Index root;
    {
        std::lock_guard lock(treeMutex_);
        if (cancelled_.load()) {  // cancelled while the root was opened: nothing to show
            ::close(fd);
            return;
        }
        tree_.setVolume(volume_);
        root = tree_.addRoot(DirReader::timesOf(st));
        if (rootIsFileSystemFolder(fd))
            tree_.keepAsFileSystemFolder(root);
        ++folders_;  // with the node, as list() counts subfolders: a stop sees both or neither
    }
    list(root, fd, worker);
}

void ScanWalk::handle(Item& item, Worker& worker)
{
    if (item.node == FolderTree::kNone) {
        handleRoot(worker);
        return;
    }
    if (cancelled_.load()) {
        FolderTree::Listing cutShort;
        cutShort.state = SizeState::Incomplete;
        finishListing(item.node, cutShort);
        return;
    }
    int fd = openFolder(item);
    item.parent.reset();
    if (fd == -EXDEV || (fd >= 0 && onOtherVolume(fd))) {
        if (fd >= 0)
            ::close(fd);  // mounted after its parent was listed
        drop(item.node, FolderTree::Drop::OtherVolume, 0);
        return;
    }
    if (fd < 0) {
        drop(item.node, isGone(-fd) ? FolderTree::Drop::Vanished : FolderTree::Drop::Unreadable, -fd);
        return;
    }
    list(item.node, fd, worker);
}

// The scanned folder is lost+found directly in the root of a mount.
bool ScanWalk::rootIsFileSystemFolder(int rootFd) const
{
    std::string parent, base;
    splitPath(stripTrailingSlashes(tree_.rootPath()), parent, base);
    struct statx st;
    return base == "lost+found" && DirReader::stat(rootFd, "..", st) == 0 &&
           isFileSystemFolder(base, identityOf(st));
}

// Only needed where the kernel did not refuse the mount crossing itself.
bool ScanWalk::onOtherVolume(int fd) const
{
    if (DirOpener::mountsChecked())
        return false;
    struct statx st;
    return DirReader::stat(fd, "", st) == 0 && onOtherMount(identityOf(st), volume_);
}

int ScanWalk::openFolder(Item& item)
{
    int fd = -EBADF;
    if (item.parent && item.name)
        fd = DirOpener::openChild(item.parent->fd(), item.name);  // the name never changes: no lock
    if (!item.parent || fd == -EMFILE || fd == -ENFILE) {
        item.parent.reset();  // frees a descriptor for the walk from the root
        std::string relative;
        {
            std::lock_guard lock(treeMutex_);
            relative = tree_.relativePath(item.node);
        }
        fd = DirOpener::openBelow(rootFd_, relative);
    }
    return fd;
}

void ScanWalk::list(FolderTree::Index node, int fd, Worker& worker)
{
    if (!worker.reader)
        worker.reader = std::make_unique<DirReader>(volume_, cancelled_, counters_);
    DirReader::Result& result = worker.result;
    clearForNext(result.subfolders);
    worker.reader->read(fd, result);
    if (result.listing.state == SizeState::Failed && result.listing.error == ENOENT) {
        ::close(fd);  // removed while it was being listed
        drop(node, FolderTree::Drop::Vanished, 0);
        return;
    }
    std::shared_ptr<DirHandle> handle;
    if (!result.subfolders.empty() && liveHandles_.load() < handleCap_)
        handle = std::make_shared<DirHandle>(fd, liveHandles_);
    else
        ::close(fd);

    std::vector<Item>& items = worker.items;
    clearForNext(items);
    std::vector<FolderRecord>& records = worker.records;
    clearForNext(records);
    std::lock_guard lock(treeMutex_);
    if (tree_.listed(node))
        return;  // cut short by cancel() while it was read: dropped
    for (const DirReader::Subfolder& sub : result.subfolders) {
        const FolderTree::Index child = tree_.addChild(node, sub.name, sub.times);
        items.push_back(Item{child, handle, tree_.name(child).data()});
    }
    tree_.finishListing(node, result.listing, records);
    batcher_.add(std::move(records));
    folders_ += items.size();
    // Queued under the tree's lock, so cancel() finds every folder found
    // either queued or still waiting for its listing.
    queue_.push(std::move(items), worker.index);
}

void ScanWalk::finishListing(FolderTree::Index node, const FolderTree::Listing& listing)
{
    std::lock_guard lock(treeMutex_);
    if (tree_.listed(node))
        return;
    std::vector<FolderRecord> records;
    tree_.finishListing(node, listing, records);
    batcher_.add(std::move(records));
}

void ScanWalk::drop(FolderTree::Index node, FolderTree::Drop why, int error)
{
    std::lock_guard lock(treeMutex_);
    if (tree_.listed(node))
        return;
    std::vector<FolderRecord> records;
    tree_.drop(node, why, error, records);
    batcher_.add(std::move(records));
}

}  // namespace velmaro::engine
