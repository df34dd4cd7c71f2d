// Where a saved window frame lands on the screen chosen for it: scaling onto a smaller monitor, or the inset for a lost
// corner.
#include "framemapping.h"

namespace {

struct SavedScreen {
    double x, y, width, height;
};

std::optional<SavedScreen> savedScreen(const EntryData &entry)
{
    if (!entry.originalScreenX || !entry.originalScreenY || !entry.originalScreenWidth || !entry.originalScreenHeight)
        return std::nullopt;
    // Negated so that NaN sizes count as missing, like zero or negative ones.
    if (!(*entry.originalScreenWidth > 0) || !(*entry.originalScreenHeight > 0))
        return std::nullopt;
    return SavedScreen { *entry.originalScreenX, *entry.originalScreenY, *entry.originalScreenWidth,
        *entry.originalScreenHeight };
}

double pulledOnto(double coordinate, double origin, double extent)
{
    if (coordinate > origin + extent || coordinate < origin)
        return origin + offScreenInset;
    return coordinate;
}

} // namespace

QRectF savedFrame(const EntryData &entry)
{
    return QRectF(entry.frameX, entry.frameY, entry.width, entry.height);
}

QRectF targetFrame(const EntryData &entry, const QRectF &screenBounds)
{
    const double bx = screenBounds.x();
    const double by = screenBounds.y();
    const double bw = screenBounds.width();
    const double bh = screenBounds.height();

    if (const auto saved = savedScreen(entry)) {
        if (bw < saved->width || bh < saved->height) {
            const double sx = bw / saved->width;
            const double sy = bh / saved->height;
            return QRectF(bx + sx * (entry.frameX - saved->x), by + sy * (entry.frameY - saved->y), sx * entry.width,
                sy * entry.height);
        }
        return QRectF(bx + (entry.frameX - saved->x), by + (entry.frameY - saved->y), entry.width, entry.height);
    }

    return QRectF(pulledOnto(entry.frameX, bx, bw), pulledOnto(entry.frameY, by, bh), entry.width, entry.height);
}
