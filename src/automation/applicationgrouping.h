// The applications of a snapshot, gathered from a desktop's flat list of windows.
#pragma once

#include "desktoptypes.h"

#include <QHash>
#include <optional>

class ApplicationGrouping
{
public:
    explicit ApplicationGrouping(QList<DesktopApplication> &applications)
        : m_applications(applications)
    {
    }

    /// The application a window of `appId` belongs to, created on its first
    /// window so that applications keep the order of their first windows. A
    /// window without an id is an application of its own (`window` tells it
    /// apart). `pid` joins the application's processes.
    DesktopApplication &applicationOf(const QString &appId, const QString &window, std::optional<qint64> pid);

private:
    QList<DesktopApplication> &m_applications;
    QHash<QString, qsizetype> m_index;
};
