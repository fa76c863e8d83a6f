#include "platform/WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace velmaro::platform {

namespace {
int pending = 0;
}

void WaitCursor::set()
{
    ++pending;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void WaitCursor::restore()
{
    if (pending == 0)
        return;
    --pending;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::restoreOverrideCursor();
}

int WaitCursor::depth()
{
    return pending;
}

}  // namespace velmaro::platform
