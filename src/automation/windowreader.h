// Reads of other applications' windows: the window list, title, frame, full-screen state, document, and whether one is
// usable.
#pragma once

#include "desktopplatform.h"
#include "windowstate.h"

#include <QPointF>
#include <QSizeF>
#include <optional>

class WindowReader
{
public:
    explicit WindowReader(DesktopPlatform &platform);

    /// The application's windows in its order, or nothing (the caller then
    /// skips the application). The list may be empty.
    std::optional<QList<WindowRef>> copyWindowList(const RunningApplication &application) const;

    /// "AXTitle", or the empty string when it is missing or not a string.
    QString windowTitle(WindowRef window) const;

    /// Position, size and full-screen state; zeros for what is missing or of
    /// another type, and full screen only for the subrole "AXFullScreenWindow".
    WindowState readWindowState(WindowRef window) const;

    /// "AXDocument" when it is a string, else nothing.
    std::optional<QString> windowDocument(WindowRef window) const;

    /// Whether some window has the role "AXWindow" and is wider and taller than 10 points.
    bool hasUsableWindow(const RunningApplication &application) const;

    /// A point value; nothing for another type or non-finite coordinates, which
    /// no window can have.
    static std::optional<QPointF> decodePoint(const QVariant &value);
    /// A size value; nothing for another type or a non-finite size.
    static std::optional<QSizeF> decodeSize(const QVariant &value);
    /// The text of a string value; nothing for any other type.
    static std::optional<QString> decodeString(const QVariant &value);

private:
    DesktopPlatform &m_platform;
};
