#pragma once
// A window's placement in twips (1440 per logical inch), as the settings store it, and the
// way back to pixels. Left and top are the outer frame's position, width and height the
// window's own size, so that placing a window at what it reported puts it back exactly.

#include "platform/MainWindowPlacement.h"

class QWidget;

class QtWindowPlacement : public MainWindowPlacement {
public:
    explicit QtWindowPlacement(const QWidget& window) : mWindow(window) {}

    WindowPlacementTwips placementInTwips() const override;

    // Moves and sizes `window` to the placement in twips.
    static void place(QWidget& window, std::int32_t left, std::int32_t top, std::int32_t width,
                      std::int32_t height);
    // Moves `window`, at its size, so that it stands centred on `owner` (a progress window on
    // the main window); without an owner it stays where it is.
    static void centreOn(QWidget& window, const QWidget* owner);

    static std::int32_t PixelsToTwips(int pixels, double dotsPerInch);
    static int TwipsToPixels(std::int32_t twips, double dotsPerInch);

private:
    const QWidget& mWindow;
};
