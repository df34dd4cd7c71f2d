// A monitor found by its stored identifier, with what placement and the overlay need of it.
#pragma once

#include "desktoptypes.h"

struct ScreenMatch {
    DesktopMonitor monitor;
    /// The monitor's index in the list it was found in.
    int index = 0;
    /// Its current bounds in global logical pixels.
    QRectF bounds;
};
