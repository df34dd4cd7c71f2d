// The pieces a simulated desktop is made of: screens, windows, applications, install plans and collector answers.
#pragma once

#include "automation/desktoptypes.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <QVariant>
#include <optional>

/// Activation policies as scenarios give them (any other number is kept too):
/// only a regular application is shown in the task switcher.
namespace SimPolicy {
inline constexpr int regular = 0;
inline constexpr int accessory = 1;
inline constexpr int prohibited = 2;
} // namespace SimPolicy

/// One simulated screen. The first three members are the old form: without a
/// display number a screen has no identifier and its own rectangle as bounds;
/// without a UUID it has no identifier. `identifier` is the typed form.
struct SimScreen {
    std::optional<quint32> displayNumber;
    QRectF bounds;
    std::optional<QString> uuid;
    /// The monitor identifier as given, whatever the display number says.
    std::optional<QString> identifier {};
    QString connector {};
    /// Nothing: primary exactly when it is the first screen.
    std::optional<bool> primary {};
};

/// One simulated window in the typed picture, plus what the simulation needs
/// beside it. A window that refuses writes keeps everything when placed or
/// activated (the request is still logged).
struct SimWindow {
    QString title;
    QRectF frame;
    WindowState state;
    std::optional<int> desktop;
    WindowKind kind = WindowKind::normal;
    std::optional<QString> document;
    bool refusesWrites = false;
    /// The main window of its application: the last one activated.
    bool main = false;

    /// The window as a snapshot lists it. A position or size with a coordinate
    /// that is not finite reads as zeros, as the automation read such values.
    DesktopWindow toDesktopWindow(WindowId id, const QString &appId, qint64 pid) const;
};

/// A normal window with the given title and frame.
SimWindow simWindow(const QString &title, const QRectF &frame);

/// One running application as the scenario gives it.
struct SimApplication {
    std::optional<QString> appId;
    int activationPolicy = SimPolicy::regular;
    /// 0: the desktop picks the next free process identifier.
    qint64 processIdentifier = 0;
    /// The window list cannot be read: snapshots say its windows are unknown.
    bool windowListMissing = false;
    QList<SimWindow> windows;
    /// Whether a polite quit request ends it at once.
    bool quitsOnTerminate = true;
};

/// What happens when an installed application is launched while it does not run.
struct SimLaunchPlan {
    /// Virtual seconds from the launch request to the completion.
    double completionDelay = 0.1;
    /// The completion never arrives.
    bool neverCompletes = false;
    /// The completion reports a failed launch.
    bool fails = false;
    int activationPolicy = SimPolicy::regular;
    /// Virtual seconds from the launch request to the windows; nothing: never.
    std::optional<double> windowDelay = 0.5;
    /// The windows that appear; none given: one normal window titled after
    /// the application.
    QList<SimWindow> windows;
};

/// One installed application.
struct SimInstalledApplication {
    QString appId;
    QString location;
    SimLaunchPlan plan;
};

/// What a document collector answers, before it is read as a list of strings
/// (the rules are in SimTranslation::collectorStrings).
struct ScriptResult {
    /// The collector failed; the value is not used.
    bool failed = false;
    /// A QVariantList of items (strings, or items without text), one QString,
    /// or anything else (no text at all).
    QVariant value;
};
