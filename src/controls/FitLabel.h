#pragma once
// A one-line label that sizes itself to its text, within the maximum width
// that its window gives it (QWidget::setMaximumWidth). Where the text is
// wider than the label:
//  - the font shrinks in quarter points, down to shrinkFloor() at most (the
//    design size by default: no shrinking) and never above maxPointSize();
//  - what still does not fit is elided (elideMode(), right by default) and
//    the full text becomes the tooltip.
// text() and the accessible name always hold the full text; font() is the
// font the text is drawn in now. The design font is the font the label has
// when it is created (its window's); sizeHint() measures the text in it.

#include <QLabel>

namespace velmaro {

class FitLabel : public QLabel {
    Q_OBJECT
public:
    explicit FitLabel(const QString& text, QWidget* parent = nullptr);

    void setShrinkFloor(double points);
    double shrinkFloor() const { return floor_; }
    void setElideMode(Qt::TextElideMode mode);
    // Caps the size fit() may use (several labels drawn in one size).
    void setMaxPointSize(double points);
    // The width the text needs in the design font.
    int naturalWidth() const;
    // The largest size, in quarter points from the design size down to the
    // floor, at which the text fits into `width` pixels (the floor when none).
    double fittingPointSize(int width) const;
    // Applies the size and elision for the current width; runs on resize.
    void fit();
    bool isElided() const { return elided_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QFont design_;
    double floor_;
    double cap_;
    Qt::TextElideMode elide_ = Qt::ElideRight;
    bool elided_ = false;
    QString fitted_;  // the text the size and elision were worked out for
};

}  // namespace velmaro
