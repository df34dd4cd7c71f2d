// The frame and full-screen state read from one window.
#pragma once

/// What `readWindowState` reads; zeros and false stand for what could not be read.
struct WindowState {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    bool isFullscreen = false;

    bool operator==(const WindowState &) const = default;
};
