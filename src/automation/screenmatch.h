// A screen found by its monitor identifier, with what placement and the overlay need of it.
#pragma once

#include "desktopplatform.h"

#include <QRectF>

struct ScreenMatch {
    PlatformScreen screen;
    /// The screen's index in the list it was found in.
    int index = 0;
    quint32 displayNumber = 0;
    /// The display's current bounds in the global display space.
    QRectF bounds;
};
