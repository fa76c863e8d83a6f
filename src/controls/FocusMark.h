#pragma once
// A clear focus mark for a list or tree: while the view has the keyboard
// focus, a ring two pixels wide in the highlight colour is drawn along its
// edge (over its frame), and its selected rows show in the highlight colour;
// without the focus the ring is gone and selected rows show pale grey with
// black text. So a glance tells which of two lists has the focus and which
// row is selected in either.
//
// FocusMark::attach(view) installs it; the mark is a child of the view that
// covers it, takes no mouse input and no focus, and follows its size.

#include <QWidget>

class QAbstractItemView;

namespace velmaro {

class FocusMark : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 2;  // pixels

    static FocusMark* attach(QAbstractItemView* view);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    explicit FocusMark(QAbstractItemView* view);

    QAbstractItemView* view_;
};

}  // namespace velmaro
