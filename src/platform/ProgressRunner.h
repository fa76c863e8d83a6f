#pragma once
// Runs one piece of blocking work (a deletion) on a worker thread while the
// calling user-interface thread keeps its windows alive, and returns when the
// work is done.
//
//  - While the work runs the caller's thread processes events: windows
//    repaint, timers fire. User input is held back (delivered afterwards)
//    while no progress window is shown.
//  - With `showProgress` a QProgressDialog (object name "ShellProgress",
//    title "Löschen", application-modal, button "Abbrechen") appears once the
//    work has run `delayMs`; it shows the entry last reported through
//    `onEntry` (decoded for display) when `showNames` is set, otherwise a
//    fixed text. Its cancel button sets the cancel flag handed to the work.
//  - The label is refreshed every 50 ms, never per entry.
//  - Without a QCoreApplication the work simply runs on the calling thread.
//  - The work must not throw; an exception it throws anyway is swallowed.

#include <atomic>
#include <functional>
#include <string>

class QWidget;

namespace velmaro::platform {

class ProgressRunner {
public:
    using EntryFn = std::function<void(const std::string&)>;
    using Work = std::function<void(const EntryFn& onEntry, const std::atomic<bool>& cancel)>;

    struct Options {
        QWidget* owner = nullptr;
        bool showProgress = false;
        bool showNames = true;
        int delayMs = 400;
    };

    explicit ProgressRunner(const Options& options)
        : options_(options)
    {}

    // Runs `work` to its end. Returns true when the user cancelled.
    bool run(const Work& work);

private:
    Options options_;
};

}  // namespace velmaro::platform
