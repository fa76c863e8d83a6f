#pragma once
// Naming and placing the controls of the program's windows.
//
// nameControl(): the object name, the same text as accessible description
// (the name assistive technology and the journeys find a control by) and,
// when given, the accessible name.
// placeControl(): names the control and places it at a rectangle given in
// twips of its parent's client area (see Twips.h).

#include <QString>

class QWidget;

namespace velmaro::platform {

void nameControl(QWidget* control, const QString& name, const QString& accessibleName = QString());
void placeControl(QWidget* control, const QString& name, double left, double top, double width,
                  double height);

}  // namespace velmaro::platform
