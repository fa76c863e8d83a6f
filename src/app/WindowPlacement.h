#pragma once
// The main window's stored size and state, and where it opens.
//
// - restore(): reads Width, Height (outer size in twips) and WindowState from
//   the settings store (section "Setup"). A value that is not a usable size
//   gives the designed size; a size larger than the screen's free area is cut
//   down to it. The state takes effect when the window is shown; a state
//   other than 0, 1, 2 is ignored.
// - store(): writes the size when the state is normal, always the state;
//   false when a value could not be stored.
// - centreOnScreen(): centres the window on the screen's free area, never
//   off its top or left edge.
// Sizes are outer sizes: the client size + 120 / + 435 twips (the designed
// frame), whatever frame the window system draws.

#include <QSize>
#include <QString>

class QWidget;

namespace velmaro {

class WindowPlacement {
public:
    // Acts on `window`, which must outlive this helper.
    explicit WindowPlacement(QWidget& window);

    // Reads a stored number the way restore() does (C locale, blanks around
    // it allowed); false for text that is not a finite number.
    static bool parseStoredNumber(const QString& text, double* value);

    void restore();
    bool store() const;
    void centreOnScreen();

    // The state as the settings store it: 0 normal, 1 minimized, 2 maximized.
    int stateCode() const;
    double outerWidthTwips() const;
    double outerHeightTwips() const;
    void setOuterSizeTwips(double w, double h);
    // The client size the screen's free area leaves (designed frame).
    QSize availableClientSize() const;

private:
    void applyStoredState(const QString& text);

    QWidget& window_;
};

}  // namespace velmaro
