// A desktop snapshot as lines of text, so that two snapshots compare with a readable difference.
#pragma once

#include "automation/desktoptypes.h"

#include <QStringList>

namespace snapshottext {

inline QString kindName(WindowKind kind)
{
    switch (kind) {
    case WindowKind::normal:
        return QStringLiteral("normal");
    case WindowKind::dialog:
        return QStringLiteral("dialog");
    case WindowKind::utility:
        return QStringLiteral("utility");
    case WindowKind::other:
        return QStringLiteral("other");
    }
    return {};
}

inline QString rect(const QRectF &r)
{
    return QStringLiteral("[%1,%2,%3,%4]").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

/// One window without its id, which depends on the order windows were made in.
inline QString window(const DesktopWindow &w)
{
    const WindowState &s = w.state;
    return QStringLiteral("  window \"%1\" %2 %3 app=%4 pid=%5 mh=%6 mv=%7 fs=%8 min=%9 desktop=%10 document=%11")
        .arg(w.title, rect(w.frame), kindName(w.kind), w.appId, QString::number(w.pid.value_or(-1)))
        .arg(s.maximizedHorizontally)
        .arg(s.maximizedVertically)
        .arg(s.fullScreen)
        .arg(s.minimized)
        .arg(w.desktop ? QString::number(*w.desktop) : QStringLiteral("-"), w.document.value_or(QStringLiteral("-")));
}

inline QStringList lines(const DesktopSnapshot &snapshot)
{
    QStringList out;
    for (const DesktopMonitor &m : snapshot.monitors) {
        out << QStringLiteral("monitor %1 %2 %3 primary=%4")
                   .arg(m.identifier.value_or(QStringLiteral("-")), m.connector, rect(m.bounds))
                   .arg(m.primary);
    }
    out << QStringLiteral("focused %1").arg(snapshot.focusedMonitor.value_or(-1));
    for (const DesktopApplication &a : snapshot.applications) {
        QStringList pids;
        for (qint64 pid : a.pids)
            pids << QString::number(pid);
        out << QStringLiteral("application %1 pids=%2 regular=%3 known=%4")
                   .arg(a.appId, pids.join(QLatin1Char(',')))
                   .arg(a.regular)
                   .arg(a.windowsKnown);
        for (const DesktopWindow &w : a.windows)
            out << window(w);
    }
    return out;
}

} // namespace snapshottext
