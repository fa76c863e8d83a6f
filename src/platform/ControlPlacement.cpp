#include "platform/ControlPlacement.h"

#include "platform/Twips.h"

#include <QWidget>

namespace velmaro::platform {

void nameControl(QWidget* control, const QString& name, const QString& accessibleName)
{
    control->setObjectName(name);
    control->setAccessibleDescription(name);
    if (!accessibleName.isEmpty())
        control->setAccessibleName(accessibleName);
}

void placeControl(QWidget* control, const QString& name, double left, double top, double width, double height)
{
    nameControl(control, name);
    control->setGeometry(px(left), px(top), px(width), px(height));
}

}  // namespace velmaro::platform
