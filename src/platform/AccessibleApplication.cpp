#include "platform/AccessibleApplication.h"

#include <QGuiApplication>
#include <QWindow>

namespace velmaro::platform {

void AccessibleApplication::install()
{
    QAccessible::installFactory([](const QString&, QObject* object) -> QAccessibleInterface* {
        if (object && object == QCoreApplication::instance())
            return new AccessibleApplication(object);
        return nullptr;
    });
}

AccessibleApplication::AccessibleApplication(QObject* application)
    : QAccessibleObject(application)
{}

QObjectList AccessibleApplication::topLevels() const
{
    QObjectList list;
    for (QWindow* w : QGuiApplication::topLevelWindows()) {
        if (w->type() == Qt::Desktop || (w->type() == Qt::Popup && !w->isVisible()))
            continue;
        if (QAccessibleInterface* root = w->accessibleRoot(); root && root->object())
            list.append(root->object());
    }
    return list;
}

QWindow* AccessibleApplication::window() const
{
    return nullptr;  // the application has no window of its own
}

int AccessibleApplication::childCount() const
{
    return int(topLevels().size());
}

int AccessibleApplication::indexOfChild(const QAccessibleInterface* child) const
{
    return child ? int(topLevels().indexOf(child->object())) : -1;
}

QAccessibleInterface* AccessibleApplication::focusChild() const
{
    QWindow* focused = QGuiApplication::focusWindow();
    return focused ? focused->accessibleRoot() : nullptr;
}

QAccessibleInterface* AccessibleApplication::parent() const
{
    return nullptr;
}

QAccessibleInterface* AccessibleApplication::child(int index) const
{
    const QObjectList list = topLevels();
    return index >= 0 && index < list.size() ? QAccessible::queryAccessibleInterface(list.at(index)) : nullptr;
}

QString AccessibleApplication::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Name: return QGuiApplication::applicationName();
    case QAccessible::Description: return QGuiApplication::applicationFilePath();
    default: return QString();
    }
}

QAccessible::Role AccessibleApplication::role() const
{
    return QAccessible::Application;
}

QAccessible::State AccessibleApplication::state() const
{
    return {};
}

}  // namespace velmaro::platform
