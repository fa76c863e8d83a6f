#include "scan/ScanRun.h"

#include "controls/RoListBox.h"
#include "folderlist/RowBatchBuilder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMetaObject>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>
#include <deque>

namespace velmaro {

namespace {
constexpr int kPathColumn = 2;   // the first sort: the full path reads like the tree
constexpr int kHandOverMs = 50;  // batches reach the list together, at most this often
// The count lines follow the rows at most this often while the walk runs
// (and once more at its end): each change of their text is announced to
// a screen reader, which then asks the program for the line's role and
// name; 20 announcements a second only cost the scan time.
constexpr int kCountMs = 250;
}  // namespace

struct ScanRun::State {
    TargetResolver resolve;
    // The list puts its paths together from the walk's names and numbers
    // (RowBatchBuilder): the walk need not build one per folder.
    engine::FolderScanner::Options options = [] {
        engine::FolderScanner::Options walk;
        walk.recordPaths = false;
        return walk;
    }();
    std::unique_ptr<engine::FolderScanner> scanner;
    QPointer<RoListBox> list;
    QPointer<QLabel> info[2];
    std::deque<RowBatch> pending;  // arrived, not yet in the list
    QTimer flushTimer;
    QElapsedTimer counted;  // since the count lines were last written by a hand-over
    QMetaObject::Connection sortDone;  // the final sort of a long list
    quint64 generation = 0;
    int sortColumn = kPathColumn;  // kept across scans: the user's choice
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
    bool running = false;   // from the start until finished()
    bool walkDone = false;  // the engine has delivered its last batch
};

ScanRun::ScanRun(TargetResolver resolver, QObject* parent)
    : QObject(parent)
    , state_(std::make_unique<State>())
{
    state_->resolve = std::move(resolver);
    state_->flushTimer.setSingleShot(true);
    connect(&state_->flushTimer, &QTimer::timeout, this, &ScanRun::flushRows);
}

ScanRun::~ScanRun()
{
    // Cancel and join the workers while this object can still receive their
    // posts; QObject's destructor then drops whatever is still queued.
    state_->scanner.reset();
}

void ScanRun::bindTarget(const ScanTarget& target)
{
    state_->list = target.list;
    state_->info[0] = target.info0;
    state_->info[1] = target.info1;
}

void ScanRun::Verzeichnisse_lesen()
{
    state_->scanner.reset();  // a walk still running is cancelled; it never blocks
    const quint64 gen = ++state_->generation;
    const ScanTarget target = state_->resolve();
    bindTarget(target);
    state_->flushTimer.stop();
    state_->pending.clear();
    QObject::disconnect(state_->sortDone);
    state_->walkDone = false;
    state_->counted.invalidate();  // the first rows are counted at once
    for (const auto& label : state_->info)
        if (label)
            label->clear();
    if (state_->list) {
        if (state_->list->sortColumn() > 0) {  // kept across scans: the user's choice
            state_->sortColumn = state_->list->sortColumn();
            state_->sortOrder = state_->list->sortOrder();
        }
        state_->list->ClearRows();  // unsorted until the walk is over
    }
    state_->running = true;

    const quint32 firstSlot = state_->list ? state_->list->folderModel()->nextSlot() : 0;
    auto builder = std::make_shared<RowBatchBuilder>(firstSlot);
    auto onBatch = [this, gen, builder](std::vector<engine::FolderRecord>&& records) {
        QMetaObject::invokeMethod(
            this,
            [this, gen, batch = builder->build(records)]() mutable { this->onBatch(gen, std::move(batch)); },
            Qt::QueuedConnection);
    };
    auto onDone = [this, gen] {
        QMetaObject::invokeMethod(
            this, [this, gen] { this->onDone(gen); }, Qt::QueuedConnection);
    };
    state_->scanner = std::make_unique<engine::FolderScanner>(state_->options);
    state_->scanner->start(target.rootRaw.toStdString(), std::move(onBatch), std::move(onDone));
}

void ScanRun::onBatch(quint64 generation, RowBatch&& batch)
{
    if (generation != state_->generation || state_->walkDone || batch.empty())
        return;
    state_->pending.push_back(std::move(batch));
    if (!state_->flushTimer.isActive()) {
        const bool first = !state_->list || state_->list->RowCount() == 0;
        state_->flushTimer.start(first ? 0 : kHandOverMs);  // the first rows show at once
    }
}

void ScanRun::flushRows()
{
    state_->flushTimer.stop();
    if (state_->list) {
        for (const RowBatch& batch : state_->pending)
            state_->list->AddBatch(batch);
        if (!state_->pending.empty() && (!state_->counted.isValid() || state_->counted.hasExpired(kCountMs))) {
            state_->counted.start();
            OrdnerZähler();
        }
    }
    state_->pending.clear();
    if (state_->walkDone && state_->running)
        sortAndFinish();
}

void ScanRun::onDone(quint64 generation)
{
    if (generation != state_->generation || state_->walkDone)
        return;
    state_->walkDone = true;
    emit walkEnded();
    // The walk is over: its folder nodes are freed on a worker thread (a
    // million of them would hold up the window).
    std::shared_ptr<engine::FolderScanner> walk = std::move(state_->scanner);
    QThreadPool::globalInstance()->start([walk = std::move(walk)]() mutable { walk.reset(); });
    flushRows();  // the rest of the rows, then the sort and finishScan()
}

void ScanRun::sortAndFinish()
{
    FolderListModel* model = state_->list ? state_->list->folderModel() : nullptr;
    if (model) {
        state_->list->SortBy(state_->sortColumn, state_->sortOrder);
        if (model->sorting()) {
            state_->sortDone = connect(model, &FolderListModel::sorted, this, [this] {
                QObject::disconnect(state_->sortDone);
                finishScan();
            });
            return;
        }
    }
    finishScan();
}

void ScanRun::finishScan()
{
    state_->running = false;
    OrdnerZähler();
    emit finished();
}

void ScanRun::OrdnerZähler()
{
    if (!state_->list)
        bindTarget(state_->resolve());  // counts asked for before any scan
    if (!state_->list)
        return;
    const qint64 n = state_->list->RowCount();
    const qint64 z = state_->list->ZeroByteCount();
    if (QLabel* l = state_->info[0]) {
        l->setText(QString::number(n) + QStringLiteral(" Ordner gefunden "));
        l->adjustSize();
    }
    if (QLabel* l = state_->info[1]) {
        l->setText(QStringLiteral("davon ") + QString::number(z) + QStringLiteral(" Ordner mit 0 Byte"));
        l->adjustSize();
    }
}

void ScanRun::stop()
{
    if (state_->scanner)
        state_->scanner->cancel();
}

bool ScanRun::running() const
{
    return state_->running;
}

void ScanRun::setScannerOptions(const engine::FolderScanner::Options& options)
{
    state_->options = options;
    state_->options.recordPaths = false;  // see State::options
}

engine::ScanProgress ScanRun::progress() const
{
    return state_->scanner ? state_->scanner->progress() : engine::ScanProgress{};
}

}  // namespace velmaro
