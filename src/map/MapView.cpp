#include "map/MapView.h"

#include "map/MapTexts.h"
#include "treemap/AgeColour.h"

#include <QAccessible>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <cmath>
#include <limits>

namespace velmaro {

namespace {

QRectF toQt(const treemap::Rect& r)
{
    return QRectF(r.x, r.y, r.w, r.h);
}

// Whole pixels: fills of whole pixels are the raster engine's fastest.
QRect snapped(const treemap::Rect& r)
{
    return QRect(QPoint(int(std::lround(r.x)), int(std::lround(r.y))),
                 QPoint(int(std::lround(r.right())) - 1, int(std::lround(r.bottom())) - 1));
}

QColor shade(const QColor& c, double factor)
{
    return QColor(int(c.red() * factor), int(c.green() * factor), int(c.blue() * factor));
}

bool darkColour(const QColor& c)
{
    return 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue() < 128;
}

// How far `to` lies from `from` in the direction of an arrow key, or a
// negative number when it does not lie that way. Tiles that overlap in
// the other axis come first.
double distanceTowards(const treemap::Rect& from, const treemap::Rect& to, int key)
{
    const bool horizontal = key == Qt::Key_Left || key == Qt::Key_Right;
    double gap = 0;
    switch (key) {
    case Qt::Key_Right: gap = to.x - from.right(); break;
    case Qt::Key_Left: gap = from.x - to.right(); break;
    case Qt::Key_Down: gap = to.y - from.bottom(); break;
    default: gap = from.y - to.bottom(); break;
    }
    if (gap < -0.5)
        return -1;
    const double a0 = horizontal ? from.y : from.x, a1 = horizontal ? from.bottom() : from.right();
    const double b0 = horizontal ? to.y : to.x, b1 = horizontal ? to.bottom() : to.right();
    const double apart = std::max(0.0, std::max(b0 - a1, a0 - b1));
    const double centres = std::abs((a0 + a1) - (b0 + b1)) / 2;
    return std::max(0.0, gap) + 4 * apart + 0.01 * centres;
}

}  // namespace

MapView::MapView(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 150);
}

void MapView::setTree(const MapTree* tree, quint32 node)
{
    tree_ = tree && !tree->empty() ? tree : nullptr;
    nowMs_ = QDateTime::currentMSecsSinceEpoch();
    shown_ = 0;
    tiles_.clear();
    current_ = hover_ = 0;
    if (tree_) {
        setShown(node);
        return;
    }
    relayout();
    announceCurrent();
}

void MapView::setShown(quint32 node)
{
    if (!tree_ || node >= tree_->nodeCount())
        return;
    shown_ = node;
    current_ = 0;
    relayout();
    if (tiles_.size() > 1)
        current_ = 1;
    announceCurrent();
    emit shownChanged();
}

void MapView::setBasis(Basis basis)
{
    basis_ = basis;
    dirty_ = true;
    update();
}

void MapView::setPlaceholder(const QString& text)
{
    placeholder_ = text;
    update();
}

treemap::LayoutOptions MapView::options() const
{
    return treemap::LayoutOptions{2, 1, double(fontMetrics().height() + 2)};
}

void MapView::relayout()
{
    const quint32 currentNode = current_ < tiles_.size() ? tiles_[current_].node : MapTree::kNone;
    tiles_.clear();
    if (tree_)
        tiles_ = treemap::TreemapLayout::layout(tree_->layoutTree(), shown_,
                                                treemap::Rect{0, 0, double(width()), double(height())}, options());
    current_ = currentNode == MapTree::kNone ? 0 : tileOf(currentNode);
    hover_ = 0;
    dirty_ = true;
    update();
}

std::size_t MapView::tileOf(quint32 node) const
{
    for (std::size_t t = 0; t < tiles_.size(); ++t)
        if (tiles_[t].node == node)
            return t;
    return 0;
}

std::size_t MapView::tileAt(const QPointF& point) const
{
    // Deeper tiles come later: the last one that holds the point is the deepest.
    for (std::size_t t = tiles_.size(); t-- > 1;)
        if (toQt(tiles_[t].rect).contains(point))
            return t;
    return 0;
}

QColor MapView::colourOf(quint32 node) const
{
    const qint64 ms = basis_ == Basis::LastAccess ? tree_->accessedMs(node) : tree_->createdMs(node);
    const double age = ms == FolderSlot::kNoTime ? std::nan("") : double(nowMs_ - ms) / 1000.0;
    const treemap::Rgb rgb = treemap::AgeColour::of(age);
    return QColor(rgb.r, rgb.g, rgb.b);
}

void MapView::renderTiles()
{
    const qreal ratio = devicePixelRatioF();
    if (image_.size() != size() * ratio)
        image_ = QImage(size() * ratio, QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    image_.fill(palette().color(QPalette::Window));
    QPainter painter(&image_);
    painter.setFont(font());
    const treemap::LayoutOptions o = options();
    for (const treemap::Tile& tile : tiles_)
        paintTile(painter, tile, o);
    dirty_ = false;
}

// The tile's outline is its left and top pixel line in a darker shade; the
// right and bottom ones are the next tile's or the parent's.
void MapView::paintTile(QPainter& painter, const treemap::Tile& tile, const treemap::LayoutOptions& o) const
{
    const QRect rect = snapped(tile.rect);
    const QColor colour = colourOf(tile.node);
    painter.fillRect(rect, shade(colour, 0.6));
    const QRect inner = rect.adjusted(1, 1, 0, 0);
    if (tree_->isFiles(tile.node)) {
        painter.fillRect(inner, colour.lighter(115));
        painter.fillRect(inner, QBrush(shade(colour, 0.8), Qt::BDiagPattern));
    } else {
        painter.fillRect(inner, colour);
    }
    const treemap::Rect content = treemap::TreemapLayout::contentOf(tile.rect, tile.depth, o);
    if (tile.depth == 0 || content.y - tile.rect.y - o.padding < o.header)
        return;
    const QRectF header(rect.x() + 3, rect.y() + o.padding, rect.width() - 6, o.header);
    painter.setPen(darkColour(colour) ? Qt::white : Qt::black);
    QString text = MapTexts::title(*tree_, tile.node);
    // Measuring is cheaper than eliding: most names fit.
    if (painter.fontMetrics().horizontalAdvance(text) > header.width())
        text = painter.fontMetrics().elidedText(text, Qt::ElideRight, int(header.width()));
    painter.drawText(header, Qt::AlignLeft | Qt::AlignVCenter, text);
}

void MapView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (tiles_.empty()) {
        painter.fillRect(rect(), palette().color(QPalette::Window));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, placeholder_);
        return;
    }
    if (dirty_ || image_.size() != size() * devicePixelRatioF())
        renderTiles();
    painter.drawImage(0, 0, image_);
    if (hover_ > 0 && hover_ < tiles_.size()) {
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(toQt(tiles_[hover_].rect).adjusted(0.5, 0.5, -1.5, -1.5));
    }
    if (current_ > 0 && current_ < tiles_.size()) {
        // Black and white, to stand out on every colour of the scale.
        const QRectF r = QRectF(snapped(tiles_[current_].rect)).adjusted(1, 1, 0, 0);
        painter.setPen(QPen(Qt::black, 3));
        painter.drawRect(r.adjusted(1.5, 1.5, -1.5, -1.5));
        painter.setPen(QPen(Qt::white, 1, hasFocus() ? Qt::DotLine : Qt::SolidLine));
        painter.drawRect(r.adjusted(1.5, 1.5, -1.5, -1.5));
    }
}

void MapView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void MapView::setCurrent(std::size_t tile)
{
    if (tile >= tiles_.size())
        return;
    current_ = tile;
    announceCurrent();
    update();
}

void MapView::announceCurrent()
{
    if (!tree_ || tiles_.empty())
        setAccessibleName(placeholder_);
    else
        setAccessibleName(MapTexts::description(*tree_, tiles_[current_].node));
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

bool MapView::zoomInto(std::size_t tile)
{
    if (!tree_ || tile >= tiles_.size())
        return false;
    quint32 node = tiles_[tile].node;
    // A folder's own files, or a folder without subfolders: the folder around it.
    if (tree_->isFiles(node) || tree_->layoutTree().childCount(node) == 0)
        node = tree_->parentOf(node);
    if (node == MapTree::kNone || node == shown_)
        return false;
    setShown(node);
    return true;
}

bool MapView::zoomOut()
{
    if (!tree_ || tree_->parentOf(shown_) == MapTree::kNone)
        return false;
    const quint32 from = shown_;
    setShown(tree_->parentOf(shown_));
    setCurrent(tileOf(from));
    return true;
}

void MapView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || tiles_.empty())
        return QWidget::mousePressEvent(event);
    setCurrent(tileAt(event->position()));
    emit folderChosen(tree_->slotOf(tiles_[current_].node));
}

void MapView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || tiles_.empty())
        return QWidget::mouseDoubleClickEvent(event);
    zoomInto(tileAt(event->position()));
}

void MapView::mouseMoveEvent(QMouseEvent* event)
{
    const std::size_t tile = tileAt(event->position());
    if (tile != hover_) {
        hover_ = tile;
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void MapView::leaveEvent(QEvent* event)
{
    hover_ = 0;
    update();
    QWidget::leaveEvent(event);
}

std::size_t MapView::neighbour(std::size_t from, int key) const
{
    if (from == 0)
        return tiles_.size() > 1 ? 1 : 0;
    std::size_t best = from;
    double bestDistance = std::numeric_limits<double>::max();
    for (std::size_t t = 1; t < tiles_.size(); ++t) {
        if (t == from || tiles_[t].depth != tiles_[from].depth)
            continue;
        const double d = distanceTowards(tiles_[from].rect, tiles_[t].rect, key);
        if (d >= 0 && d < bestDistance) {
            bestDistance = d;
            best = t;
        }
    }
    return best;
}

void MapView::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (tiles_.empty() || (modifiers != Qt::NoModifier && modifiers != Qt::KeypadModifier))
        return QWidget::keyPressEvent(event);
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const std::size_t next = neighbour(current_, key);
        if (next != current_) {
            setCurrent(next);
            emit folderChosen(tree_->slotOf(tiles_[current_].node));
        }
        return;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter: zoomInto(current_); return;
    case Qt::Key_Backspace: zoomOut(); return;
    default: QWidget::keyPressEvent(event);
    }
}

bool MapView::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const std::size_t tile = tileAt(help->pos());
        if (tiles_.empty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), MapTexts::tooltip(*tree_, tiles_[tile].node), this,
                               toQt(tiles_[tile].rect).toAlignedRect());
        return true;
    }
    return QWidget::event(event);
}

}  // namespace velmaro
