#include "platform/ProgressRunner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

#include <mutex>
#include <thread>

namespace velmaro::platform {

namespace {

// What the worker reports, read by the user-interface thread.
struct SharedState {
    std::mutex mutex;
    std::string current;
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
};

QProgressDialog* makeDialog(QWidget* owner, SharedState& state)
{
    auto* dialog = new QProgressDialog(owner);
    dialog->setObjectName(QStringLiteral("ShellProgress"));
    dialog->setAccessibleDescription(QStringLiteral("ShellProgress"));
    dialog->setWindowTitle(QStringLiteral("Löschen"));
    dialog->setCancelButtonText(QStringLiteral("Abbrechen"));
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setRange(0, 0);  // busy: the number of entries is not known
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setMinimumWidth(420);
    QObject::connect(dialog, &QProgressDialog::canceled, dialog, [&state] { state.cancel.store(true); });
    return dialog;
}

QString labelText(SharedState& state, bool showNames)
{
    if (!showNames)
        return QStringLiteral("Dateien werden gelöscht …");
    std::string current;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        current = state.current;
    }
    const QString name = QFile::decodeName(QByteArray::fromStdString(current));
    return QStringLiteral("Lösche: ") + name;
}

}  // namespace

bool ProgressRunner::run(const Work& work)
{
    SharedState state;
    const EntryFn onEntry = [&state](const std::string& path) {
        std::lock_guard<std::mutex> lock(state.mutex);
        state.current = path;
    };
    auto guarded = [&] {
        try {
            work(onEntry, state.cancel);
        } catch (...) {}
    };
    if (!QCoreApplication::instance()) {
        guarded();
        return state.cancel.load();
    }

    QEventLoop loop;
    std::thread worker([&] {
        guarded();
        state.done.store(true);
        // Wakes the waiting loop below (the loop outlives the worker).
        QMetaObject::invokeMethod(
            &loop, [] {}, Qt::QueuedConnection);
    });

    QPointer<QProgressDialog> dialog;
    QElapsedTimer clock;
    clock.start();
    QTimer tick;
    tick.setInterval(50);
    auto refresh = [&] {
        if (!options_.showProgress || state.done.load())
            return;
        const bool showNow = !dialog && clock.elapsed() >= options_.delayMs;
        if (showNow)
            dialog = makeDialog(options_.owner, state);
        if (dialog)
            dialog->setLabelText(labelText(state, options_.showNames));
        if (showNow)
            dialog->show();
    };
    QObject::connect(&tick, &QTimer::timeout, &loop, refresh);
    tick.start();
    refresh();

    while (!state.done.load()) {
        QEventLoop::ProcessEventsFlags flags = QEventLoop::WaitForMoreEvents;
        if (!dialog)
            flags |= QEventLoop::ExcludeUserInputEvents;
        loop.processEvents(flags);
    }
    worker.join();
    tick.stop();
    delete dialog.data();
    return state.cancel.load();
}

}  // namespace velmaro::platform
