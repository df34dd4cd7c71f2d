// The pieces a simulated desktop is made of: screens, windows, applications, install plans and collector answers.
#include "simtypes.h"

#include <cmath>

DesktopWindow SimWindow::toDesktopWindow(WindowId id, const QString &appId, qint64 pid) const
{
    DesktopWindow window;
    window.id = id;
    window.appId = appId;
    window.pid = pid;
    window.title = title;
    // Position and size are read as two separate pairs: one unreadable pair
    // does not take the other with it.
    const bool position = std::isfinite(frame.x()) && std::isfinite(frame.y());
    const bool size = std::isfinite(frame.width()) && std::isfinite(frame.height());
    window.frame = QRectF(
        position ? frame.x() : 0, position ? frame.y() : 0, size ? frame.width() : 0, size ? frame.height() : 0);
    window.state = state;
    window.desktop = desktop;
    window.kind = kind;
    window.document = document;
    return window;
}

SimWindow simWindow(const QString &title, const QRectF &frame)
{
    SimWindow window;
    window.title = title;
    window.frame = frame;
    return window;
}
