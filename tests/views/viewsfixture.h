// A complete set of services for view tests: a store in a temporary folder,
// the simulated desktop on virtual time, the automation over it, settings in
// a temporary file, and the ViewServices that hands them to models and QML.
#pragma once

#include "automation/automationservice.h"
#include "model/workspace.h"
#include "model/workspacestore.h"
#include "platform/sim/simulateddesktop.h"
#include "platform/sim/virtualclock.h"
#include "viewservices.h"

#include <QSettings>
#include <QTemporaryDir>
#include <memory>

class ViewsFixture
{
public:
    ViewsFixture();
    ~ViewsFixture();

    /// A saved workspace with `entryCount` entries spread over `monitorCount`
    /// monitors (no monitor identifiers when 0), created `ageSeconds` ago.
    Workspace *addWorkspace(const QString &name, const QString &category = QStringLiteral("Development"),
        int entryCount = 0, int monitorCount = 0, bool favorite = false, int ageSeconds = 0);
    /// A running application with one window, so that a capture finds it.
    void addRunningWindow(const QString &appId, const QRectF &frame);

    /// Reopens the store file as a new process would, to see what was saved.
    std::unique_ptr<WorkspaceStore> reopenStore() const;

    QTemporaryDir dir;
    VirtualClock clock;
    SimulatedDesktop desktop { clock };
    std::unique_ptr<WorkspaceStore> store;
    std::unique_ptr<AutomationService> automation;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<ViewServices> services;
};
