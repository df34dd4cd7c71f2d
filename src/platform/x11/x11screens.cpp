// The connected monitors as RandR 1.5 lists them, primary first, in the global display space.
#include "x11screens.h"

#include "platform/linux/monitoridentity.h"
#include "x11connection.h"

#include <algorithm>

X11Screens::X11Screens(X11Connection &connection)
    : m_connection(connection)
{
}

const QList<X11Screens::Monitor> &X11Screens::monitors()
{
    if (!m_valid)
        load();
    return m_monitors;
}

QPoint X11Screens::origin()
{
    if (!m_valid)
        load();
    return m_origin;
}

std::optional<int> X11Screens::indexFor(const QRect &globalRect)
{
    std::optional<int> best;
    qint64 bestArea = 0;
    const QList<Monitor> &list = monitors();
    for (int i = 0; i < list.size(); ++i) {
        const QRect overlap = list[i].bounds.intersected(globalRect);
        const qint64 area = qint64(overlap.width()) * overlap.height();
        if (area > bestArea) {
            bestArea = area;
            best = i;
        }
    }
    return best;
}

void X11Screens::load()
{
    m_monitors.clear();
    m_origin = {};
    m_valid = true;
    if (m_connection.hasError())
        return;
    auto monitors = m_connection.readMonitors();
    if (!monitors || monitors->empty()) {
        // No RandR 1.5: the root window is the one screen.
        const QRect root = m_connection.rootRect();
        m_monitors.append(
            { root, MonitorIdentity::identifier(MonitorIdentity::fingerprint({}, {}, QStringLiteral("root"))),
                QString(), true });
        return;
    }
    std::stable_partition(monitors->begin(), monitors->end(), [](const MonitorFacts &m) { return m.primary; });
    m_origin = monitors->front().rect.topLeft();
    for (const MonitorFacts &m : *monitors) {
        const QString fingerprint = MonitorIdentity::fingerprint(m.edid, m.connector, m.nameText);
        m_monitors.append({ m.rect.translated(-m_origin), MonitorIdentity::identifier(fingerprint),
            m.connector.isEmpty() ? m.nameText : m.connector, m.primary });
    }
    // Without a primary monitor the first one holds the global origin and stands in for it.
    m_monitors.front().primary = true;
}
