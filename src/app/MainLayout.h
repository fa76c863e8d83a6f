#pragma once
// The main window's geometry in twips, as a pure computation.
//
// - designed(): every control of the main window at its designed place
//   (Left, Top, Width, Height), by object name, in creation order.
// - compute(W, H, resizable): the layout pass for an outer size W x H
//   (client + 120 / + 435). When `resizable` (normal state) a size below the
//   minimum 10290 x 5295 is raised to it first, and every rule uses the
//   raised size; a maximized or minimized window keeps its size. Returns the
//   controls the pass moves or sizes, in the order of the rules, each with
//   its full rectangle (unruled properties keep their designed values).
//   A width or height may come out negative for a tiny maximized or
//   minimized window: the caller skips that size and keeps the old one.
// - A placement with `moveOnly` belongs to a label that sizes itself to its
//   text: only its position is applied.

#include <QList>
#include <QString>

namespace velmaro {

struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    bool operator==(const TwipsRect&) const = default;
};

struct Placement {
    QString control;  // object name
    TwipsRect rect;
    bool moveOnly = false;
    bool operator==(const Placement&) const = default;
};

struct MainLayoutResult {
    double width = 0;   // outer width the rules used (after the minimum)
    double height = 0;  // outer height the rules used
    QList<Placement> placements;
    // The placement of `control`; nullptr when the pass does not touch it.
    const Placement* find(const QString& control) const;
};

class MainLayout {
public:
    static constexpr double kMinWidth = 10290;  // outer, twips
    static constexpr double kMinHeight = 5295;
    static constexpr double kBorderWidth = 120;  // outer - client
    static constexpr double kBorderHeight = 435;
    static constexpr double kMinClientWidth = kMinWidth - kBorderWidth;     // 10170
    static constexpr double kMinClientHeight = kMinHeight - kBorderHeight;  // 4860
    // The first bottom button (cmd_OrdnerNull) has its left edge at W - 6900.
    static constexpr double kFirstButtonFromRight = 6900;
    static constexpr double kWideButtonWidth = 1800;  // cmd_OrdnerNull, cmd_OrdnerDel, cmd_DelFile

    static QList<Placement> designed();
    static MainLayoutResult compute(double width, double height, bool resizable = true);
};

}  // namespace velmaro
