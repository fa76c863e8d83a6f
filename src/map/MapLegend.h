#pragma once
// The map's legend: the age colour scale as a strip with its stops ("1 Tag",
// "1 Woche", "1 Monat", "1 Jahr", "5 Jahre"), headed by what the age is
// counted from ("Letzter Zugriff vor" or "Erstellt vor"), then a grey box
// "unbekannt" and a hatched box "Dateien im Ordner selbst". Its accessible
// name says the same in one line.

#include <QWidget>

class QPainter;

namespace velmaro {

class MapLegend : public QWidget {
    Q_OBJECT
public:
    explicit MapLegend(QWidget* parent = nullptr);

    void setCreationBasis(bool creation);
    QString heading() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void updateAccessibleName();
    int paintScale(QPainter& painter, int x) const;
    int paintKeyText(QPainter& painter, int x, const QString& text) const;
    bool creation_ = false;
};

}  // namespace velmaro
