// The border widths a window manager or a client-side decoration adds around a client window.
#pragma once

struct FrameExtents {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;

    bool operator==(const FrameExtents &) const = default;
};
