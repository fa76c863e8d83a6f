#include "app/WindowPlacement.h"

#include "app/MainLayout.h"
#include "platform/Settings.h"
#include "platform/Twips.h"

#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace velmaro {

using platform::px;

namespace {

const QString kSetup = QStringLiteral("Setup");

}  // namespace

WindowPlacement::WindowPlacement(QWidget& window)
    : window_(window)
{}

bool WindowPlacement::parseStoredNumber(const QString& text, double* value)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

void WindowPlacement::restore()
{
    using platform::Settings;
    double w = MainLayout::kMinWidth;
    double h = MainLayout::kMinHeight;
    double stored = 0;
    if (parseStoredNumber(Settings::read(kSetup, QStringLiteral("Width"), QStringLiteral("10290")),
                          &stored) &&
        stored > MainLayout::kBorderWidth)
        w = stored;
    if (parseStoredNumber(Settings::read(kSetup, QStringLiteral("Height"), QStringLiteral("5295")),
                          &stored) &&
        stored > MainLayout::kBorderHeight)
        h = stored;
    const QSize free = availableClientSize();
    const double clientW = std::min(w - MainLayout::kBorderWidth, platform::pixelsToTwips(free.width()));
    const double clientH = std::min(h - MainLayout::kBorderHeight, platform::pixelsToTwips(free.height()));
    window_.resize(px(clientW), px(clientH));
    applyStoredState(Settings::read(kSetup, QStringLiteral("WindowState"), QStringLiteral("0")));
}

void WindowPlacement::applyStoredState(const QString& text)
{
    double v = 0;
    if (!parseStoredNumber(text, &v) || v < -32768.5 || v > 32767.5)
        return;
    const Qt::WindowStates s = window_.windowState();
    switch (std::lround(v)) {
    case 0: window_.setWindowState(s & ~(Qt::WindowMinimized | Qt::WindowMaximized)); break;
    case 1: window_.setWindowState(s | Qt::WindowMinimized); break;
    case 2: window_.setWindowState(s | Qt::WindowMaximized); break;
    default: break;  // a state the window does not know is refused
    }
}

bool WindowPlacement::store() const
{
    using platform::Settings;
    const int state = stateCode();
    bool stored = true;
    if (state == 0) {
        stored &=
            Settings::save(kSetup, QStringLiteral("Width"), QString::number(std::lround(outerWidthTwips())));
        stored &= Settings::save(kSetup, QStringLiteral("Height"),
                                 QString::number(std::lround(outerHeightTwips())));
    }
    stored &= Settings::save(kSetup, QStringLiteral("WindowState"), QString::number(state));
    return stored;
}

int WindowPlacement::stateCode() const
{
    const Qt::WindowStates s = window_.windowState();
    if (s & Qt::WindowMinimized)
        return 1;
    if (s & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return 2;
    return 0;
}

double WindowPlacement::outerWidthTwips() const
{
    return platform::pixelsToTwips(window_.width()) + MainLayout::kBorderWidth;
}

double WindowPlacement::outerHeightTwips() const
{
    return platform::pixelsToTwips(window_.height()) + MainLayout::kBorderHeight;
}

void WindowPlacement::setOuterSizeTwips(double w, double h)
{
    window_.resize(px(w - MainLayout::kBorderWidth), px(h - MainLayout::kBorderHeight));
}

QSize WindowPlacement::availableClientSize() const
{
    const QScreen* s = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
    if (!s)
        return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const QSize frame(px(MainLayout::kBorderWidth), px(MainLayout::kBorderHeight));
    return (s->availableGeometry().size() - frame).expandedTo(QSize(1, 1));
}

void WindowPlacement::centreOnScreen()
{
    const QScreen* s = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect area = s->availableGeometry();
    // The frame is not known before the window is shown: use the designed one.
    const QSize outer(window_.width() + px(MainLayout::kBorderWidth),
                      window_.height() + px(MainLayout::kBorderHeight));
    // A window larger than the screen keeps its caption bar and left edge on it.
    window_.move(std::max(area.x(), area.x() + (area.width() - outer.width()) / 2),
                 std::max(area.y(), area.y() + (area.height() - outer.height()) / 2));
}

}  // namespace velmaro
