#include "platform/ModalLoop.h"

#include <QEvent>
#include <QEventLoop>
#include <QWidget>

namespace velmaro::platform {

void ModalLoop::run(QWidget* window)
{
    if (!window)
        return;
    QPointer<QWidget> guard(window);
    QEventLoop loop;
    ModalLoop watcher(&loop);
    window->installEventFilter(&watcher);
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    if (guard && guard->isVisible())
        loop.exec(QEventLoop::DialogExec);
    if (guard)
        guard->removeEventFilter(&watcher);
}

bool ModalLoop::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Hide && watched->isWidgetType() &&
        !static_cast<QWidget*>(watched)->isVisible() && loop_) {
        loop_->quit();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace velmaro::platform
