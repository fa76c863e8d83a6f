#pragma once
// Label with kinds: plain, web link (2), e-mail link (3) (hover colour, link
// cursor, a click opens the address through the desktop), and an optional
// background gradient from backColor to toColor (left to right).

#include <QColor>
#include <QLabel>
#include <QUrl>
#include <functional>

namespace velmaro {

class RoLabel : public QLabel {
    Q_OBJECT
public:
    enum Kind { Plain = 0, WebLink = 2, MailLink = 3 };
    explicit RoLabel(const QString& caption = QString(), QWidget* parent = nullptr);
    void setKind(Kind kind);
    Kind kind() const { return kind_; }
    void setHoverColor(const QColor& c) { hover_ = c; }
    bool isHovered() const { return hovered_; }
    void setGradient(const QColor& from, const QColor& to);
    // The URL a click opens ("https://..." or "mailto:...").
    QString target() const;
    // How a click opens its target; QDesktopServices::openUrl by default.
    // Tests replace it so that no browser or mail program starts. An empty
    // function restores the default.
    using UrlOpener = std::function<bool(const QUrl&)>;
    static void setUrlOpener(UrlOpener opener);

signals:
    void linkClicked(const QString& url);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Kind kind_ = Plain;
    QColor hover_ = Qt::red;
    QColor from_, to_;
    bool gradient_ = false;
    bool hovered_ = false;
    QColor normalText_;  // text colour before the hover colour was set
};

}  // namespace velmaro
