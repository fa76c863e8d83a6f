#pragma once
// The program as assistive technology sees it (the root of its accessible
// tree): its top-level windows as children, like Qt's own application
// object, and also every popup menu while it shows, so that a context menu
// and its entries can be found from the root while they are open (Qt's own
// leaves popups out). Name: the application name.
//
// install() makes it the application's accessible interface; call it once
// after the QApplication exists and before anything asks for accessibility.

#include <QAccessibleObject>

namespace velmaro::platform {

class AccessibleApplication : public QAccessibleObject {
public:
    static void install();

    explicit AccessibleApplication(QObject* application);

    QWindow* window() const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;

private:
    // The objects of the top-level windows, popups only while shown.
    QObjectList topLevels() const;
};

}  // namespace velmaro::platform
