#include "platform/qt/QtWindowPlacement.h"

#include <QRect>
#include <QWidget>

#include <cmath>

namespace {
constexpr double kTwipsPerInch = 1440.0;
}

WindowPlacementTwips QtWindowPlacement::placementInTwips() const
{
    const QPoint origin = mWindow.pos();
    const QSize size = mWindow.size();
    const double dpiX = mWindow.logicalDpiX();
    const double dpiY = mWindow.logicalDpiY();
    WindowPlacementTwips twips;
    twips.maximized = mWindow.isMaximized();
    twips.left = PixelsToTwips(origin.x(), dpiX);
    twips.top = PixelsToTwips(origin.y(), dpiY);
    twips.width = PixelsToTwips(size.width(), dpiX);
    twips.height = PixelsToTwips(size.height(), dpiY);
    return twips;
}

void QtWindowPlacement::place(QWidget& window, std::int32_t left, std::int32_t top, std::int32_t width,
                              std::int32_t height)
{
    const double dpiX = window.logicalDpiX();
    const double dpiY = window.logicalDpiY();
    window.move(TwipsToPixels(left, dpiX), TwipsToPixels(top, dpiY));
    window.resize(TwipsToPixels(width, dpiX), TwipsToPixels(height, dpiY));
}

void QtWindowPlacement::centreOn(QWidget& window, const QWidget* owner)
{
    if (!owner)
        return;
    const QRect frame = window.frameGeometry();
    window.move(owner->frameGeometry().center() - frame.center() + frame.topLeft());
}

std::int32_t QtWindowPlacement::PixelsToTwips(int pixels, double dotsPerInch)
{
    return std::int32_t(std::lround(pixels * kTwipsPerInch / dotsPerInch));
}

int QtWindowPlacement::TwipsToPixels(std::int32_t twips, double dotsPerInch)
{
    return int(std::lround(twips * dotsPerInch / kTwipsPerInch));
}
