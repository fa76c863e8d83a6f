#pragma once
// The walk of a scan on the window side: runs the engine's walk for the main
// window, feeds the folder list in batches (queued from the worker threads)
// and keeps the count lines current. Its ScanSession shows the progress
// window around it.
//
// The workers turn records into compact RowBatches (RowBatchBuilder). On
// the user-interface thread the batches that have arrived are handed to the
// list together, at most every 50 ms, and the counts follow each hand-over;
// the list shows them unsorted until the walk is over, then sorts them once
// as it was sorted before, by the full path at first (on a worker thread for
// a long list).
// Threads: the engine's sinks run on worker threads. They only build
// batches and post them to this object's thread; the list and the labels
// are touched on the user-interface thread only.
// Batches of an earlier scan that arrive after a new scan has started are
// dropped. Destroying the ScanRun cancels the walk and waits for it; rows
// still queued are then discarded.

#include "folderlist/RowBatch.h"
#include "engine/FolderScanner.h"

#include <QByteArray>
#include <QObject>
#include <functional>
#include <memory>
#include <vector>

class QLabel;

namespace velmaro {

class RoListBox;

// The widgets a scan writes to and the folder it reads (raw bytes).
struct ScanTarget {
    RoListBox* list = nullptr;
    QLabel* info0 = nullptr;  // Label_Info(0)
    QLabel* info1 = nullptr;  // Label_Info(1)
    QByteArray rootRaw;
};

class ScanRun : public QObject {
    Q_OBJECT
public:
    using TargetResolver = std::function<ScanTarget()>;

    // Scans for any set of widgets (asked for anew at every scan).
    explicit ScanRun(TargetResolver resolver, QObject* parent = nullptr);
    ~ScanRun() override;

    // Empties the counts and the list, starts the walk of the scan root.
    // Returns at once. At the end: sort by the column and direction the list
    // was sorted by before (the full path, ascending, for a list never
    // sorted), final counts and finished() emitted.
    // A walk still running is cancelled first.
    void Verzeichnisse_lesen();
    // Writes n + " Ordner gefunden " and "davon " + z + " Ordner mit 0 Byte"
    // from the list's running totals (64-bit).
    void OrdnerZähler();
    // Asks the running walk to stop (the stop button). Returns at once.
    void stop();
    bool running() const;

    // Engine settings for the next scan (workers, batch size); the records
    // never carry paths but the root's (the list builds them).
    void setScannerOptions(const engine::FolderScanner::Options& options);
    // Progress of the current walk (zero when none runs).
    engine::ScanProgress progress() const;

signals:
    // The walk has delivered its last row (rows may still wait for the list).
    void walkEnded();
    // The walk is over: sorted and counted.
    void finished();

private:
    struct State;
    void onBatch(quint64 generation, RowBatch&& batch);
    void onDone(quint64 generation);
    void flushRows();
    void sortAndFinish();
    void finishScan();
    void bindTarget(const ScanTarget& target);
    std::unique_ptr<State> state_;
};

}  // namespace velmaro
