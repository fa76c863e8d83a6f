#pragma once
// One scan from start to finish: the wait cursor, the walk (a ScanRun) and
// the progress window "BitteWarten". The program has one session, owned at
// application level and handed to the windows that need it: the main window
// attaches its list, count lines and root and starts scans through it; every
// progress window starts the walk on its timer and stops it on its button.
//
// - Scan_starten(): the one way to start a scan. Sets the wait cursor, loads
//   the progress window and shows it modally; returns when the scan is over
//   and the window unloaded. The cursor is restored when the window is gone,
//   however the scan ends.
// - start(): the progress window's one tick. Starts the walk for the
//   attached window and returns true; with none attached the window closes
//   again at once and start() returns false.
// - stop(): asks the running walk to stop (the stop button). Returns at once.
// - When the walk has been sorted and counted the session lets the window
//   close, unloads it and emits finished().
// No window is looked up by name while a scan runs.

#include "scan/ScanRun.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>

namespace velmaro {

class BitteWarten;

class ScanSession : public QObject {
    Q_OBJECT
public:
    explicit ScanSession(QObject* parent = nullptr);
    ~ScanSession() override;

    // The window scans are for (the progress window's owner) and its list,
    // count lines and root, asked for anew at every scan. Creates the walk's
    // ScanRun; a window attached before is detached first.
    void attach(QWidget* owner, ScanRun::TargetResolver target);
    // The window `owner` is going: its walk is cancelled and joined, rows
    // still queued are dropped. Does nothing for a window not attached.
    void detach(const QWidget* owner);
    // The walk of the attached window (nullptr when none is attached).
    ScanRun* run() const { return run_.get(); }
    QWidget* owner() const { return owner_; }

    void Scan_starten();
    bool start(BitteWarten& window);
    void stop();

signals:
    // The scan is over: sorted, counted, progress window unloaded.
    void finished();

private:
    void closeWindow();

    std::unique_ptr<ScanRun> run_;
    QPointer<QWidget> owner_;
    QPointer<BitteWarten> window_;  // the progress window of this scan
};

}  // namespace velmaro
