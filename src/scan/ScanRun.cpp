#include "scan/ScanRun.h"

#include "platform/FormNames.h"
#include "app/controls/RoListBox.h"
#include "platform/FormRegistry.h"
#include "platform/WaitCursor.h"
#include "scan/BitteWarten.h"
#include "scan/FolderRowBuilder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <iterator>

namespace velmaro {

namespace {
constexpr int kPathColumn = 2;  // the first sort: the full path reads like the tree
// Rows reach the list in hand-overs of at most this many rows (each costs
// the list its sort keys and a merge), with a pause after each as long as the
// hand-over took (within these bounds): the window stays responsive. Once the
// walk is over, the rest follows without pauses, still in hand-overs.
constexpr std::size_t kMaxRowsPerHandOver = 4096;
constexpr qint64 kMinPauseMs = 20;
constexpr qint64 kMaxPauseMs = 250;
}  // namespace

struct ScanRun::State {
    TargetResolver resolve;
    engine::FolderScanner::Options options;
    std::unique_ptr<engine::FolderScanner> scanner;
    QPointer<RoListBox> list;
    QPointer<QLabel> info[2];
    std::deque<std::vector<FolderRow>> pending;  // arrived, not yet in the list
    QTimer flushTimer;
    quint64 generation = 0;
    int sortColumn = kPathColumn;  // kept across scans: the user's choice
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
    bool running = false;   // from the start until finished()
    bool walkDone = false;  // the engine has delivered its last batch
};

ScanRun::ScanRun(TargetResolver resolver, QObject* parent)
    : QObject(parent), state_(std::make_unique<State>())
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
    state_->walkDone = false;
    for (const auto& label : state_->info)
        if (label)
            label->clear();
    if (state_->list) {
        if (state_->list->sortColumn() > 0) {
            state_->sortColumn = state_->list->sortColumn();
            state_->sortOrder = state_->list->sortOrder();
        }
        state_->list->ClearRows();
        // Sorted from the start: each batch is merged in as it comes (its
        // collation keys made then), so the final sort has little left to do.
        state_->list->SortBy(state_->sortColumn, state_->sortOrder);
    }
    state_->running = true;

    // The builder reads the locale here, on the user-interface thread.
    auto builder = std::make_shared<const FolderRowBuilder>();
    auto onBatch = [this, gen, builder](std::vector<engine::FolderRecord>&& records) {
        std::vector<FolderRow> rows;
        rows.reserve(records.size());
        for (const auto& record : records)
            rows.push_back(builder->build(record));
        QMetaObject::invokeMethod(
            this, [this, gen, rows = std::move(rows)]() mutable { this->onBatch(gen, std::move(rows)); },
            Qt::QueuedConnection);
    };
    auto onDone = [this, gen] {
        QMetaObject::invokeMethod(this, [this, gen] { this->onDone(gen); }, Qt::QueuedConnection);
    };
    state_->scanner = std::make_unique<engine::FolderScanner>(state_->options);
    state_->scanner->start(target.rootRaw.toStdString(), std::move(onBatch), std::move(onDone));
}

void ScanRun::onBatch(quint64 generation, std::vector<FolderRow>&& rows)
{
    if (generation != state_->generation || state_->walkDone || rows.empty())
        return;
    state_->pending.push_back(std::move(rows));
    if (!state_->flushTimer.isActive()) {
        const bool first = !state_->list || state_->list->RowCount() == 0;
        state_->flushTimer.start(first ? 0 : int(kMinPauseMs));  // the first rows show at once
    }
}

std::vector<FolderRow> ScanRun::takeHandOver()
{
    auto& pending = state_->pending;
    std::vector<FolderRow> rows = std::move(pending.front());
    pending.pop_front();
    while (!pending.empty() && rows.size() + pending.front().size() <= kMaxRowsPerHandOver) {
        std::move(pending.front().begin(), pending.front().end(), std::back_inserter(rows));
        pending.pop_front();
    }
    return rows;
}

void ScanRun::flushRows()
{
    state_->flushTimer.stop();
    qint64 pause = kMinPauseMs;
    if (!state_->pending.empty() && state_->list) {
        QElapsedTimer cost;
        cost.start();
        state_->list->AddRows(takeHandOver());
        OrdnerZähler();
        pause = state_->walkDone ? 0 : qBound(kMinPauseMs, cost.elapsed(), kMaxPauseMs);
    }
    if (!state_->list)
        state_->pending.clear();
    if (!state_->pending.empty())
        state_->flushTimer.start(int(pause));
    else if (state_->walkDone && state_->running)
        finishScan();
}

void ScanRun::onDone(quint64 generation)
{
    if (generation != state_->generation || state_->walkDone)
        return;
    state_->walkDone = true;
    emit walkEnded();
    state_->scanner.reset();  // the walk is over: free its folder nodes
    flushRows();              // the rest of the rows, then finishScan()
}

void ScanRun::finishScan()
{
    state_->running = false;
    if (state_->list)
        state_->list->SortBy(state_->sortColumn, state_->sortOrder);
    OrdnerZähler();
    auto& forms = platform::forms();
    if (auto* wait = forms.find<BitteWarten>(FormNames::BitteWarten()))
        wait->allowClose();
    if (forms.isLoaded(FormNames::BitteWarten()))
        forms.unload(FormNames::BitteWarten());
    platform::WaitCursor::restore();
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
}

engine::ScanProgress ScanRun::progress() const
{
    return state_->scanner ? state_->scanner->progress() : engine::ScanProgress{};
}

}  // namespace velmaro
