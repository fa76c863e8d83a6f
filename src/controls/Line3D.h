#pragma once
// A 3-D separator line (dark line over a light one).

#include <QWidget>

namespace velmaro {

class Line3D : public QWidget {
    Q_OBJECT
public:
    explicit Line3D(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace velmaro
