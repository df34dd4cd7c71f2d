// One entry of the simulated desktop's request log: what the automation asked of the desktop, and when.
#pragma once

#include "automation/desktoptypes.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>

/// One request the automation made of the desktop, for tests to assert on.
struct SimRequest {
    double time = 0;
    /// "openApplication", "openDocuments", "openWindow", "openTabs", "openURL",
    /// "terminate", "place", "activate" or "runScript".
    QString action;
    /// The application's id (the one asked for when nothing is installed under it).
    QString application;
    qint64 processIdentifier = 0;
    QStringList documents;
    QString url;
    WindowId window = 0;
    /// What a "place" asked for.
    std::optional<WindowPlacement> placement;

    /// One JSON object: empty fields are left out, a frame is [x, y, width,
    /// height], a state an object of its four flags.
    QJsonObject toJson() const;
};
