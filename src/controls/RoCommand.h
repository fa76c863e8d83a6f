#pragma once
// The program's button: Verdana 8.25 pt at the desktop's text scale, black text, our own 32x32 cursor
// while the mouse is over it, backgrounds normal / pressed RGB(224,224,215) /
// disabled RGB(245,244,234). Optional symbol instead of a caption.
// clicked() is raised only while enabled (mouse, Space, Enter).
// A caption wider than the button is drawn smaller (quarter points, down to
// 6 pt at the text scale); buttons of one size in a row share one caption size
// (fitCaptionsTogether). The focus mark is a ring of black and white dots
// just inside the border, visible on every background colour and never
// drawn through the caption.

#include <QAbstractButton>
#include <QColor>

namespace velmaro {

class RoCommand : public QAbstractButton {
    Q_OBJECT
public:
    static const QColor kNearWhite;  // RGB(247,247,239)
    static const QColor kRed;        // RGB(255,0,0)
    static const QColor kLightRed;   // RGB(255,192,192)
    static const QColor kPressed;    // RGB(224,224,215)
    static const QColor kDisabled;   // RGB(245,244,234)

    explicit RoCommand(const QString& caption, const QColor& back = kNearWhite, QWidget* parent = nullptr);
    void setBackColor(const QColor& c);
    QColor backColor() const { return back_; }
    // The background the button shows now (normal, pressed or disabled).
    QColor currentBackColor() const;
    void setSymbol(const QPixmap& pixmap);  // drawn centred, for buttons without caption
    QSize sizeHint() const override;
    // Gives every button the caption size at which the widest caption of
    // them fits its button, from the design size down (call again when the
    // buttons change their sizes: captions grow back where there is room).
    static void fitCaptionsTogether(const QList<RoCommand*>& buttons);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The button's font, shrunk until the caption fits into `width` pixels.
    QFont fittingFont(const QFont& start, int width) const;
    QRect captionRect() const;
    void paintFocusRing(QPainter& painter) const;

    QColor back_;
    QPixmap symbol_;
    QFont design_;  // the caption font as designed, at the text scale
};

}  // namespace velmaro
