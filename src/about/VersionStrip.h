#pragma once
// The About window's left strip: a vertical gradient from light grey
// RGB(224,224,224) at the top to red RGB(255,0,0) at the bottom, with its
// text (the version line) in bold white "MS Sans Serif" 8.25 pt turned by
// 90 degrees, read from bottom to top, starting at the bottom edge.
// A QLabel, so the text is also the accessible name.

#include <QColor>
#include <QLabel>

namespace velmaro {

class VersionStrip : public QLabel {
    Q_OBJECT
public:
    static const QColor kFrom;  // 14737632 = RGB(224,224,224)
    static const QColor kTo;    // 255 = RGB(255,0,0)

    explicit VersionStrip(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace velmaro
