// The connected monitors as RandR 1.5 lists them, primary first, in the global display space.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>

class X11Connection;

class X11Screens
{
public:
    struct Monitor {
        /// In the global display space (the primary monitor's top-left is 0, 0).
        QRect bounds;
        /// The persistent identifier (see MonitorIdentity).
        QString identifier;
        /// The RandR output's name ("HDMI-1"); the monitor's own name for a monitor without outputs.
        QString connector;
        bool primary = false;
    };

    explicit X11Screens(X11Connection &connection);

    /// The active monitors, primary first, then in RandR's order; without RandR the root window as one.
    const QList<Monitor> &monitors();
    /// Where the global origin lies in root coordinates.
    QPoint origin();
    /// The index of the monitor that holds the largest part of `globalRect` (the first on a tie), or nothing.
    std::optional<int> indexFor(const QRect &globalRect);
    /// Forgets the cached layout: the next call reads it again.
    void invalidate() { m_valid = false; }

private:
    void load();

    X11Connection &m_connection;
    bool m_valid = false;
    QList<Monitor> m_monitors;
    QPoint m_origin;
};
