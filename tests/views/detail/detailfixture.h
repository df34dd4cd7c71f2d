// A detail view's surroundings for tests: a store in a temporary folder, a simulated
// desktop with two screens on virtual time, the services, the navigation and the controller.
#pragma once

#include "automation/automationservice.h"
#include "detailcontroller.h"
#include "model/workspace.h"
#include "model/workspacestore.h"
#include "navigationcontroller.h"
#include "platform/sim/simulateddesktop.h"
#include "platform/sim/virtualclock.h"
#include "viewservices.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace detailfixture {

inline const QString leftUUID = QStringLiteral("11111111-1111-1111-1111-111111111111");
inline const QString rightUUID = QStringLiteral("22222222-2222-2222-2222-222222222222");
inline const QString thirdUUID = QStringLiteral("33333333-3333-3333-3333-333333333333");

inline SimScreen leftScreen()
{
    return SimScreen { 1, QRectF(0, 0, 1920, 1080), leftUUID };
}
inline SimScreen rightScreen()
{
    return SimScreen { 2, QRectF(1920, 0, 1920, 1080), rightUUID };
}

inline EntryData application(const QString &identifier, std::optional<QString> monitorID = std::nullopt,
    QRectF frame = QRectF(100, 100, 800, 600))
{
    EntryData entry;
    entry.typeRawValue = QStringLiteral("application");
    entry.appBundleIdentifier = identifier;
    entry.monitorID = std::move(monitorID);
    entry.frameX = frame.x();
    entry.frameY = frame.y();
    entry.width = frame.width();
    entry.height = frame.height();
    return entry;
}

} // namespace detailfixture

/// Starts with two screens, an empty store and no workspace shown.
struct DetailFixture {
    QTemporaryDir folder;
    VirtualClock clock;
    SimulatedDesktop desktop { clock };
    AutomationService automation { desktop, clock };
    std::unique_ptr<WorkspaceStore> store;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<ViewServices> services;
    NavigationController navigation;
    DetailController controller;
    QDateTime now = QDateTime(QDate(2024, 5, 1), QTime(9, 30), Qt::UTC);

    DetailFixture()
    {
        desktop.setScreens({ detailfixture::leftScreen(), detailfixture::rightScreen() });
        desktop.setMainScreenIndex(0);
        QString error;
        store = WorkspaceStore::open(folder.path(), &error);
        if (!store)
            qFatal("store: %s", qPrintable(error));
        settings = std::make_unique<QSettings>(folder.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        services = std::make_unique<ViewServices>(*store, automation, desktop, *settings);
        navigation.setServices(services.get());
        controller.setServices(services.get());
        controller.setNavigation(&navigation);
        controller.setClock([this] { return now; });
    }

    ~DetailFixture() { clock.runUntilIdle(3600); }

    /// A saved workspace with these entries, shown by the navigation and the controller.
    Workspace *show(const QList<EntryData> &entries, const QString &category = QStringLiteral("Development"))
    {
        auto *workspace = new Workspace(QStringLiteral("Studio"), QStringLiteral("curlybraces"), category, false, true);
        for (const EntryData &entry : entries)
            workspace->appendEntry(entry);
        store->insert(workspace);
        store->save();
        navigation.showWorkspace(workspace);
        controller.setWorkspace(workspace);
        return workspace;
    }
};
