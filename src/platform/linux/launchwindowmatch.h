// Which windows answer a launch that still waits for them, on desktops that
// look for a launched application's windows themselves (sway, i3, KWin, GNOME).
#pragma once

#include "automation/desktoptypes.h"

#include <QList>
#include <QString>
#include <optional>

class LaunchWindowMatch
{
public:
    /// A launch of `appId` started as process `pid` (0 when unknown); the
    /// windows in `before` were there already.
    LaunchWindowMatch(const QString &appId, qint64 pid, const QList<WindowId> &before);

    /// Looks at one listed window a user arranges. It counts when it is new and
    /// shows the application, or comes from the process we started (an
    /// application that resolves to another id than its entry's: the launch
    /// then takes the window's id).
    void consider(WindowId window, const QString &windowAppId, std::optional<qint64> windowPid);
    bool found() const { return !m_outcome.windows.isEmpty(); }
    /// The windows found, or a start that failed when there are none.
    LaunchOutcome outcome() const;

private:
    QString m_appId;
    qint64 m_pid;
    const QList<WindowId> &m_before;
    LaunchOutcome m_outcome;
};
