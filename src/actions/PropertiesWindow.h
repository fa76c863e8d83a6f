#pragma once
// The program's own properties window, used where no desktop file manager
// answers: a non-modal window (object name "Eigenschaften", title
// "Eigenschaften von <name>") listing, for one file or folder,
//   "Name", "Ordner", "Typ", "Größe", "Inhalt" (folders only), "Besitzer",
//   "Berechtigungen", "Erstellt", "Geändert", "Letzter Zugriff"
// and a "Schließen" button. The value beside each caption is a selectable
// label named "Wert_<caption>"; a name or folder too long for the window
// (at most two thirds of the screen wide) elides in the middle with the full
// text as tooltip. Facts are read once, when the window opens,
// from the raw path without following a symlink (ItemFacts): sizes in a
// readable unit with the exact bytes; a folder's size is the scan's total of
// its subtree where one is given, its content the number of its entries.
// The window uses the form font (formFont()): the scale of the program's
// windows.
// A fact that cannot be read shows "unbekannt". Escape closes it as
// "Schließen" does. It opens centred over its owner's window (on the
// screen's free area). Deletes itself on close; it is a child window of its
// owner and goes with it.

#include <QByteArray>
#include <QWidget>
#include <optional>

class QFormLayout;
class QLabel;

namespace velmaro {

class PropertiesWindow : public QWidget {
    Q_OBJECT
public:
    PropertiesWindow(QWidget* owner, const QByteArray& rawPath, std::optional<quint64> folderBytes = std::nullopt);

    // Creates the window for `rawPath`, shows it and returns at once.
    static PropertiesWindow* open(QWidget* owner, const QByteArray& rawPath,
                                  std::optional<quint64> folderBytes = std::nullopt);

    QByteArray rawPath() const { return rawPath_; }
    // The value shown beside `caption` (empty for an unknown caption).
    QString value(const QString& caption) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void centreOnOwner();
    void addRow(QFormLayout* form, const QString& caption, const QString& value);
    void addLongRow(QFormLayout* form, const QString& caption, const QString& value);
    void addValue(QFormLayout* form, const QString& caption, QLabel* shown);

    QByteArray rawPath_;
};

}  // namespace velmaro
