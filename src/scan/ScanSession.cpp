#include "scan/ScanSession.h"

#include "platform/FormNames.h"
#include "platform/FormRegistry.h"
#include "platform/WaitCursor.h"
#include "scan/BitteWarten.h"

namespace velmaro {

ScanSession::ScanSession(QObject* parent)
    : QObject(parent)
{}

ScanSession::~ScanSession() = default;

void ScanSession::attach(QWidget* owner, ScanRun::TargetResolver target)
{
    run_.reset();
    owner_ = owner;
    run_ = std::make_unique<ScanRun>(std::move(target));
    connect(run_.get(), &ScanRun::finished, this, [this] {
        closeWindow();
        emit finished();
    });
}

void ScanSession::detach(const QWidget* owner)
{
    if (owner != owner_)
        return;
    run_.reset();
    owner_ = nullptr;
}

void ScanSession::Scan_starten()
{
    // The hourglass shows from loading the window until it is gone, however
    // the scan ends (finished, stopped, every window closed).
    const platform::WaitCursorGuard hourglass;
    auto* window = platform::forms().load<BitteWarten>(FormNames::BitteWarten());
    if (!window)
        return;
    window_ = window;
    // Runs until the window is unloaded: one scan per showing.
    window->setWindowModality(Qt::ApplicationModal);
    window->exec();
}

bool ScanSession::start(BitteWarten& window)
{
    window_ = &window;
    if (!run_) {  // nothing to scan for: close again, as after an empty scan
        QMetaObject::invokeMethod(this, &ScanSession::closeWindow, Qt::QueuedConnection);
        return false;
    }
    run_->Verzeichnisse_lesen();
    return true;
}

void ScanSession::stop()
{
    if (run_)
        run_->stop();
}

void ScanSession::closeWindow()
{
    if (!window_)
        return;
    window_->allowClose();
    if (!platform::forms().unload(window_))  // a window of its own, not loaded by name
        window_->reject();
    window_ = nullptr;
}

}  // namespace velmaro
