// Reads of other applications' windows: the window list, title, frame, full-screen state, document, and whether one is
// usable.
#include "windowreader.h"

#include "axattributes.h"

#include <cmath>

namespace {

constexpr double usableWindowMinimum = 10.0;

} // namespace

WindowReader::WindowReader(DesktopPlatform &platform)
    : m_platform(platform)
{
}

std::optional<QPointF> WindowReader::decodePoint(const QVariant &value)
{
    if (value.metaType() != QMetaType::fromType<QPointF>())
        return std::nullopt;
    const QPointF point = value.toPointF();
    if (!std::isfinite(point.x()) || !std::isfinite(point.y()))
        return std::nullopt;
    return point;
}

std::optional<QSizeF> WindowReader::decodeSize(const QVariant &value)
{
    if (value.metaType() != QMetaType::fromType<QSizeF>())
        return std::nullopt;
    const QSizeF size = value.toSizeF();
    if (!std::isfinite(size.width()) || !std::isfinite(size.height()))
        return std::nullopt;
    return size;
}

std::optional<QString> WindowReader::decodeString(const QVariant &value)
{
    if (value.metaType() != QMetaType::fromType<QString>())
        return std::nullopt;
    return value.toString();
}

std::optional<QList<WindowRef>> WindowReader::copyWindowList(const RunningApplication &application) const
{
    return m_platform.copyWindowList(application.processIdentifier);
}

QString WindowReader::windowTitle(WindowRef window) const
{
    return decodeString(m_platform.copyAttribute(window, Ax::title)).value_or(QString());
}

WindowState WindowReader::readWindowState(WindowRef window) const
{
    // Read in this order whatever the values: position, size, then subrole.
    const QVariant position = m_platform.copyAttribute(window, Ax::position);
    const QVariant size = m_platform.copyAttribute(window, Ax::size);

    WindowState state;
    if (const auto point = decodePoint(position)) {
        state.x = point->x();
        state.y = point->y();
    }
    if (const auto extent = decodeSize(size)) {
        state.width = extent->width();
        state.height = extent->height();
    }
    const auto subrole = decodeString(m_platform.copyAttribute(window, Ax::subrole));
    state.isFullscreen = subrole && *subrole == Ax::fullScreenSubrole;
    return state;
}

std::optional<QString> WindowReader::windowDocument(WindowRef window) const
{
    return decodeString(m_platform.copyAttribute(window, Ax::document));
}

bool WindowReader::hasUsableWindow(const RunningApplication &application) const
{
    const auto windows = copyWindowList(application);
    if (!windows)
        return false;
    for (WindowRef window : *windows) {
        const auto role = decodeString(m_platform.copyAttribute(window, Ax::role));
        if (!role || *role != Ax::windowRole)
            continue;
        const QSizeF size = decodeSize(m_platform.copyAttribute(window, Ax::size)).value_or(QSizeF(0, 0));
        if (size.width() > usableWindowMinimum && size.height() > usableWindowMinimum)
            return true;
    }
    return false;
}
