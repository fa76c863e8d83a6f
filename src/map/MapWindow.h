#pragma once
// The map window "Übersicht": a map (MapView) of one folder of the folder
// list, from the scan's data, with a button "Zurück" (one level up, as
// Backspace), a choice of what the colour tells ("Farbe nach": "letzter
// Zugriff" or "erstellt am") and the legend. Not modal; one instance,
// registered as FormNames::frm_Übersicht(). The title reads
// "Übersicht – <path of the folder shown>".
//
// - A click on a tile (or moving to it by the arrow keys) selects the
//   folder's row in the list and scrolls to it.
// - The map follows the list: when the list is cleared (a new scan, a
//   rescan after a delete) it shows nothing but a note until refresh();
//   refresh() shows the same folder again, or its deepest ancestor the list
//   still has, and closes the window when the list no longer holds the
//   scanned folder it showed. folderDeleted() takes a deleted folder out of
//   the map (and zooms out of it when it was shown) when the deletes of
//   the moment are done (from the event loop).
// Escape closes the window. It opens centred on the list's window, at a
// size that fits the screen.

#include "map/MapTree.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QComboBox;

namespace velmaro {

class MapLegend;
class MapView;
class RoCommand;
class RoListBox;

class MapWindow : public QWidget {
    Q_OBJECT
public:
    explicit MapWindow(QWidget* parent = nullptr);
    ~MapWindow() override;

    // The loaded map window, or nullptr.
    static MapWindow* loaded();

    // Shows the map of the folder in `slot` (a row of `list`); the window is
    // shown and raised.
    void showFolder(RoListBox* list, quint32 slot);
    void forget();
    void refresh();
    void folderDeleted(const QByteArray& raw);

    const MapTree* tree() const { return tree_.get(); }
    MapView* view() const { return view_; }
    RoCommand* cmd_Zurück() const { return back_; }
    QComboBox* cbo_Farbe() const { return basis_; }
    MapLegend* legend() const { return legend_; }

private:
    void buildControls();
    void showNode(quint32 node);
    void placeOver(QWidget* owner);
    void chooseFolder(quint32 slot);
    void shownChanged();

    QPointer<RoListBox> list_;
    std::unique_ptr<MapTree> tree_;
    QByteArray shownRaw_;  // the folder shown, kept while the list is rebuilt
    QMetaObject::Connection reset_;
    bool relayoutPending_ = false;
    MapView* view_ = nullptr;
    RoCommand* back_ = nullptr;
    QComboBox* basis_ = nullptr;
    MapLegend* legend_ = nullptr;
};

}  // namespace velmaro
