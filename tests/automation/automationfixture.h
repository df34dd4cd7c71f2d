// A simulated desktop on virtual time with an automation service on it, shared by the automation tests.
#pragma once

#include "automation/automationservice.h"
#include "platform/sim/simulateddesktop.h"
#include "platform/sim/virtualclock.h"

#include <QPointF>
#include <QSizeF>

namespace fixture {

inline const QString leftUUID = QStringLiteral("11111111-1111-1111-1111-111111111111");
inline const QString rightUUID = QStringLiteral("22222222-2222-2222-2222-222222222222");
inline const QString safari = QStringLiteral("com.apple.Safari");
inline const QString chrome = QStringLiteral("com.google.Chrome");
inline const QString finder = QStringLiteral("com.apple.finder");
inline const QString xcode = QStringLiteral("com.apple.dt.Xcode");
inline const QString editor = QStringLiteral("com.example.Editor");

/// Two 1920 × 1080 monitors side by side, the left one primary and main.
inline QList<SimScreen> twoScreens()
{
    return { SimScreen { 1, QRectF(0, 0, 1920, 1080), leftUUID },
        SimScreen { 2, QRectF(1920, 0, 1920, 1080), rightUUID } };
}

inline SimApplication app(const QString &identifier, QList<SimWindow> windows = {}, int policy = SimPolicy::regular)
{
    SimApplication application;
    application.appId = identifier;
    application.activationPolicy = policy;
    application.windows = std::move(windows);
    return application;
}

inline SimWindow window(
    const QString &title = QStringLiteral("Window"), const QRectF &frame = QRectF(100, 100, 800, 600))
{
    return simWindow(title, frame);
}

inline SimWindow documentWindow(const QString &document, const QString &title = QStringLiteral("Document"))
{
    SimWindow w = window(title);
    w.document = document;
    return w;
}

inline SimInstalledApplication installed(const QString &identifier, SimLaunchPlan plan = {})
{
    return SimInstalledApplication { identifier, QStringLiteral("/usr/share/applications/%1.desktop").arg(identifier),
        plan };
}

inline ScriptResult listResult(const QStringList &items)
{
    QVariantList list;
    for (const QString &item : items)
        list.append(item);
    return ScriptResult { false, list };
}

/// The window requests made, in order: "place" and "activate".
inline QStringList windowRequests(const SimulatedDesktop &desktop)
{
    QStringList names;
    for (const SimRequest &request : desktop.requests()) {
        if (request.action == QLatin1String("place") || request.action == QLatin1String("activate"))
            names.append(request.action);
    }
    return names;
}

inline QStringList requestedApplications(const SimulatedDesktop &desktop, const QString &action)
{
    QStringList names;
    for (const SimRequest &request : desktop.requests(action))
        names.append(request.application);
    return names;
}

} // namespace fixture

/// The desktop starts with two screens and nothing running.
struct AutomationFixture {
    VirtualClock clock;
    SimulatedDesktop desktop { clock };
    AutomationService service { desktop, clock };

    AutomationFixture()
    {
        desktop.setScreens(fixture::twoScreens());
        desktop.setMainScreenIndex(0);
    }
    ~AutomationFixture() { clock.runUntilIdle(3600); }

    QRectF frameOf(WindowId window) const
    {
        const std::optional<SimWindow> found = desktop.window(window);
        return found ? found->frame : QRectF();
    }
};
