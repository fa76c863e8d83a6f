#pragma once
// The window side of a scan: runs the engine's walk for the main window,
// feeds the folder list in batches (queued from the worker threads), keeps
// the count lines current and closes the progress window at the end.

#include "engine/FolderScanner.h"

#include <QObject>
#include <memory>

namespace velmaro {

class MainWindow;

class ScanRun : public QObject {
    Q_OBJECT
public:
    explicit ScanRun(MainWindow& window);
    ~ScanRun() override;

    // Empties the counts and the list, starts the walk of the main window's
    // scan root. Returns at once. At the end: final counts, sort, the
    // progress window "BitteWarten" is unloaded and the cursor restored.
    void Verzeichnisse_lesen();
    // Writes n + " Ordner gefunden " and "davon " + z + " Ordner mit 0 Byte".
    void OrdnerZähler();
    // Asks the running walk to stop (the stop button).
    void stop();
    bool running() const;

signals:
    void finished();

private:
    struct State;
    MainWindow& window_;
    std::unique_ptr<State> state_;
};

}  // namespace velmaro
