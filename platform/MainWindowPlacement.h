#pragma once
// What the settings need to know about the main window at exit: whether it is maximized
// and where it stands, in twips (1440 per logical inch). The main window provides it.

#include <cstdint>

struct WindowPlacementTwips {
    bool maximized = false;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

class MainWindowPlacement {
public:
    virtual ~MainWindowPlacement() = default;
    virtual WindowPlacementTwips placementInTwips() const = 0;
};
