// Which monitor holds a window: the largest-overlap rule over an ordered screen list, free of any I/O.
#pragma once

#include <QList>
#include <QRectF>
#include <QString>
#include <optional>

/// One screen as the monitor choice sees it: its display bounds when it has a
/// display number, and its monitor identifier when it has one.
struct MonitorCandidate {
    std::optional<QRectF> bounds;
    std::optional<QString> monitorID;
};

/// The area two rectangles share; 0 when they do not overlap. Rectangles with a
/// negative width or height are flipped first, and any non-finite result counts
/// as no overlap, so the answer is always a finite number of at least 0.
double intersectionArea(const QRectF &a, const QRectF &b);

/// The index of the screen holding the largest part of `frame`: a larger area
/// strictly replaces, so a tie keeps the earlier screen, and screens without
/// bounds are passed over. When no screen overlaps the frame the first screen
/// is taken. -1 only for an empty list.
int screenIndexForFrame(const QRectF &frame, const QList<MonitorCandidate> &screens);

/// The monitor identifier of the screen `screenIndexForFrame` chooses, or
/// nothing (empty list, or the chosen screen has no identifier: there is no
/// fallback to another screen).
std::optional<QString> monitorIDForFrame(const QRectF &frame, const QList<MonitorCandidate> &screens);
