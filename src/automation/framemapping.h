// Where a saved window frame lands on the screen chosen for it: scaling onto a smaller monitor, or the inset for a lost
// corner.
#pragma once

#include "model/entrydata.h"

#include <QRectF>

/// How far from the target screen's top-left corner a window goes when its
/// saved corner lies off that screen and the entry has no saved screen geometry.
inline constexpr double offScreenInset = 50.0;

/// The frame an entry's windows receive on a screen with `screenBounds`.
///
/// With the saved screen's rectangle (all four fields, width and height > 0)
/// the frame keeps its offset from the screen's corner; when the target is
/// smaller along either axis both axes scale, each by its own ratio. Without it
/// the saved absolute position is kept, and each axis whose coordinate lies off
/// the screen is pulled to the corner plus `offScreenInset` (the right and bottom
/// edges count as on the screen). The result may hold non-finite numbers when
/// the inputs do; the caller decides what to do with those.
QRectF targetFrame(const EntryData &entry, const QRectF &screenBounds);

/// The saved frame as it is, for a target screen without bounds.
QRectF savedFrame(const EntryData &entry);
