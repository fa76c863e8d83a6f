#pragma once
// The progress window "BitteWarten": shown modally for the whole of a scan.
//
// - Frameless fixed dialog (no title bar, no close box, not in the taskbar),
//   client area 3255 x 990 twips, centred on the main window (its owner when
//   no parent is given).
// - The wait cursor around it is its scan session's (see ScanSession.h).
// - "Timer" fires once, 10 ms after loading, stops itself and starts the
//   session's walk: one scan per showing.
// - cmd_Stopp disables itself on click and asks the session to stop.
// - Neither Escape nor a close request closes the window while the scan
//   runs; the session calls allowClose() and then unloads it.

#include <QDialog>
#include <QPointer>

class QLabel;
class QTimer;

namespace velmaro {

class ScanSession;
class RoCommand;

class BitteWarten : public QDialog {
    Q_OBJECT
public:
    explicit BitteWarten(ScanSession& session, QWidget* parent = nullptr);
    ~BitteWarten() override;

    RoCommand* cmd_Stopp() const { return cmdStopp_; }
    QTimer* Timer() const { return timer_; }
    QLabel* Label1(int index) const { return label1_[index]; }
    QLabel* Label2() const { return label2_; }
    QLabel* Image1() const { return image1_; }
    // Number of scans this showing has started (0 or 1).
    int scansStarted() const { return scansStarted_; }
    // The scan is over: from now on the window may be closed.
    void allowClose();

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildControls();
    void onTimer();
    void onStopClicked();
    void centreOnOwner();

    QLabel* image1_ = nullptr;
    QLabel* label1_[2] = {nullptr, nullptr};
    QLabel* label2_ = nullptr;
    RoCommand* cmdStopp_ = nullptr;
    QTimer* timer_ = nullptr;
    ScanSession& session_;
    QPointer<QWidget> owner_;  // the main window: centring and stacking
    int scansStarted_ = 0;
    bool closeAllowed_ = false;
};

}  // namespace velmaro
