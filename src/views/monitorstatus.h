// Whether the connected screens match the ones a workspace was captured on.
#pragma once

#include <QList>
#include <QString>
#include <optional>

struct MonitorConfigStatus {
    /// The required and connected screen counts are equal.
    bool isMatching = true;
    int requiredCount = 1;
    int connectedCount = 1;
    /// The text of the status badge.
    QString message;
    /// The badge shows as a warning (orange) rather than as fine (green).
    bool isWarning = false;

    bool operator==(const MonitorConfigStatus &) const = default;
};

/// The check of the detail view's status badge. `entryMonitorIDs` holds the
/// monitor identifier of every entry (absent ones included), `screenMonitorIDs`
/// the identifier of every connected screen in order (absent for a screen
/// without one); the connected count is the number of screens. The required
/// count is the number of distinct present entry identifiers, at least 1; only
/// when both counts agree are the identifiers themselves compared.
MonitorConfigStatus monitorStatus(
    const QList<std::optional<QString>> &entryMonitorIDs, const QList<std::optional<QString>> &screenMonitorIDs);
