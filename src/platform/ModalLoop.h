#pragma once
// Runs a local event loop while a widget is shown: returns when the widget
// is hidden or destroyed. Used to show plain widgets modally.

#include <QObject>
#include <QPointer>

#include <QEventLoop>
class QWidget;

namespace velmaro::platform {

class ModalLoop : public QObject {
    Q_OBJECT
public:
    // Shows `window` application-modal and waits until it is hidden or
    // destroyed. Returns at once when `window` is null.
    static void run(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ModalLoop(QEventLoop* loop)
        : loop_(loop)
    {}
    QPointer<QEventLoop> loop_;
};

}  // namespace velmaro::platform
