// The pieces a simulated desktop is made of: screens, windows, applications, install plans and the request log.
#pragma once

#include "automation/desktopplatform.h"

#include <QJsonObject>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <optional>

/// One simulated screen. Without a display number it has no bounds or UUID
/// for the automation; without a UUID it has no monitor identifier.
struct SimScreen {
    std::optional<quint32> displayNumber;
    QRectF bounds;
    std::optional<QString> uuid;
};

/// One simulated window: its attributes by name ("AXTitle", "AXPosition" as
/// QPointF, "AXSize" as QSizeF, ...), any of which may be missing or of a
/// wrong type. A window that refuses writes keeps its attributes.
struct SimWindow {
    QVariantMap attributes;
    bool refusesWrites = false;
};

/// A standard window: role "AXWindow", the given title and frame.
SimWindow simWindow(const QString &title, const QRectF &frame);

/// One running application as the scenario gives it.
struct SimApplication {
    std::optional<QString> bundleIdentifier;
    int activationPolicy = regularPolicy;
    /// 0: the desktop picks the next free process identifier.
    qint64 processIdentifier = 0;
    /// The window list cannot be read (as if "AXWindows" failed).
    bool windowListMissing = false;
    QList<SimWindow> windows;
    /// Whether a polite quit request ends it at once.
    bool quitsOnTerminate = true;
};

/// What happens when an installed application is opened while it does not run.
struct SimLaunchPlan {
    /// Virtual seconds from the open request to the completion.
    double completionDelay = 0.1;
    /// The completion never arrives.
    bool neverCompletes = false;
    /// The completion reports a failed launch.
    bool fails = false;
    int activationPolicy = regularPolicy;
    /// Virtual seconds from the open request to the windows; nothing: never.
    std::optional<double> windowDelay = 0.5;
    /// The windows that appear; none given: one standard window titled after
    /// the application.
    QList<SimWindow> windows;
};

/// One installed application.
struct SimInstalledApplication {
    QString bundleIdentifier;
    QString location;
    SimLaunchPlan plan;
};

/// One request the automation made of the desktop, for tests to assert on.
struct SimRequest {
    double time = 0;
    /// "openApplication", "openDocuments", "openURL", "terminate", "setAttribute" or "runScript".
    QString action;
    /// The application's identifier (or its location when none is known).
    QString application;
    qint64 processIdentifier = 0;
    QStringList documents;
    QString url;
    WindowRef window = 0;
    QString attribute;
    QVariant value;

    /// One JSON object; points and sizes become two-number arrays.
    QJsonObject toJson() const;
};
