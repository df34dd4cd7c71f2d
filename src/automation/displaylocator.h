// Monitor identifiers on the current desktop: which monitor holds a frame, and which monitor has a stored identifier.
#pragma once

#include "desktopplatform.h"
#include "monitorchoice.h"
#include "screenmatch.h"

#include <QList>
#include <QRectF>
#include <optional>

namespace DisplayLocator {

/// The identifier of the monitor holding the largest part of the frame, ties
/// going to the earlier monitor and a frame on no monitor to the first;
/// nothing when that monitor has no (or an empty) identifier.
std::optional<QString> monitorIdForFrame(const QRectF &frame, const QList<DesktopMonitor> &monitors);

/// The first monitor of the list with exactly this identifier.
std::optional<ScreenMatch> monitorWithId(const QString &monitorId, const QList<DesktopMonitor> &monitors);

/// The monitor with the focused window, when the snapshot names one.
std::optional<DesktopMonitor> focusedMonitor(const DesktopSnapshot &snapshot);

/// A monitor's identifier when it has a non-empty one.
std::optional<QString> identifierOf(const DesktopMonitor &monitor);

} // namespace DisplayLocator
