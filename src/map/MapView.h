#pragma once
// The map itself: the nested squarified tiles of one folder of a MapTree
// (treemap::TreemapLayout), coloured by age (treemap::AgeColour) of the
// folder's last access or creation; a folder's own files hatched in a
// lighter shade of the folder's colour. Names stand in the header strip of
// tiles big enough for one. The tiles are painted once into an image per
// layout (size, folder or colour basis changed); hover and the current
// tile's frame are drawn over it.
//
// Mouse: hovering shows a tooltip (MapTexts); a click makes the tile under
// the pointer current and emits folderChosen; a double click zooms into
// that tile's folder. Keyboard: the arrow keys move to the neighbouring
// tile of the same depth, Enter zooms into the current tile's folder,
// Backspace zooms out. The accessible name is the current tile's
// description; without a tree the view shows `placeholder`. Ages are
// counted from the moment the tree was set.
//
// The tree is borrowed: setTree() before the tree changes or goes.

#include "map/MapTree.h"
#include "treemap/TreemapLayout.h"

#include <QDateTime>
#include <QImage>
#include <QWidget>

namespace velmaro {

class MapView : public QWidget {
    Q_OBJECT
public:
    enum class Basis { LastAccess, Creation };

    explicit MapView(QWidget* parent = nullptr);

    // Shows `node` of `tree` (null: nothing, with the placeholder text).
    void setTree(const MapTree* tree, quint32 node);
    void setShown(quint32 node);  // a folder node of the tree
    quint32 shown() const { return shown_; }
    void setBasis(Basis basis);
    Basis basis() const { return basis_; }
    void setPlaceholder(const QString& text);

    // The tiles of the current layout (tiles()[0] is the shown folder) and
    // the current one (an index into tiles(); 0 when none is chosen).
    const std::vector<treemap::Tile>& tiles() const { return tiles_; }
    std::size_t current() const { return current_; }
    void setCurrent(std::size_t tile);
    // The deepest tile at a point of the widget; 0 (the shown folder) when
    // none is deeper.
    std::size_t tileAt(const QPointF& point) const;
    // The tile of `node`, or 0.
    std::size_t tileOf(quint32 node) const;
    QColor colourOf(quint32 node) const;

    // Zooms into the folder of a tile (for a files tile or a folder without
    // subfolders: the folder holding it); out to the shown folder's parent.
    // False when there is nowhere to go.
    bool zoomInto(std::size_t tile);
    bool zoomOut();

signals:
    // A tile was clicked or made current by the keyboard: the slot of its folder.
    void folderChosen(quint32 slot);
    // A folder is shown (setShown, setTree with a tree, a zoom).
    void shownChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    void relayout();
    void renderTiles();
    void paintTile(QPainter& painter, const treemap::Tile& tile, const treemap::LayoutOptions& o) const;
    std::size_t neighbour(std::size_t from, int key) const;
    void announceCurrent();
    treemap::LayoutOptions options() const;

    const MapTree* tree_ = nullptr;
    quint32 shown_ = 0;
    Basis basis_ = Basis::LastAccess;
    QString placeholder_;
    qint64 nowMs_ = 0;
    std::vector<treemap::Tile> tiles_;
    std::size_t current_ = 0;
    std::size_t hover_ = 0;
    QImage image_;
    bool dirty_ = true;
};

}  // namespace velmaro
