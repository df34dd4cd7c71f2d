// A complete set of services for view tests: a store in a temporary folder,
// the simulated desktop on virtual time, the automation over it, settings in
// a temporary file, and the ViewServices that hands them to models and QML.
#include "viewsfixture.h"

#include <QDateTime>
#include <QTest>

ViewsFixture::ViewsFixture()
{
    QString error;
    store = WorkspaceStore::open(dir.path(), &error);
    if (!store)
        qFatal("store did not open: %s", qPrintable(error));
    store->setAutoSaveDelay(3600 * 1000); // tests decide when saves happen
    desktop.setScreens(
        { SimScreen { 1, QRectF(0, 0, 1920, 1080), QStringLiteral("11111111-1111-1111-1111-111111111111") } });
    automation = std::make_unique<AutomationService>(desktop, clock);
    settings = std::make_unique<QSettings>(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    services = std::make_unique<ViewServices>(*store, *automation, desktop, *settings);
    ViewServices::setInstance(services.get());
}

ViewsFixture::~ViewsFixture()
{
    // Let every launch and placement still waiting on virtual time finish
    // before the clock goes away.
    clock.runUntilIdle(3600);
    services.reset();
    automation.reset();
    store.reset();
}

Workspace *ViewsFixture::addWorkspace(
    const QString &name, const QString &category, int entryCount, int monitorCount, bool favorite, int ageSeconds)
{
    auto *workspace = new Workspace(name, QStringLiteral("briefcase.fill"), category, false, true);
    const QDateTime created = QDateTime::currentDateTime().addSecs(-ageSeconds);
    workspace->setCreatedAt(created);
    workspace->setModifiedAt(created);
    workspace->setIsFavorite(favorite);
    for (int i = 0; i < entryCount; ++i) {
        EntryData entry;
        entry.appBundleIdentifier = QStringLiteral("org.example.app%1").arg(i);
        if (monitorCount > 0)
            entry.monitorID = QStringLiteral("MONITOR-%1").arg(i % monitorCount);
        entry.width = 800;
        entry.height = 600;
        workspace->appendEntry(entry);
    }
    store->insert(workspace);
    store->save();
    return workspace;
}

void ViewsFixture::addRunningWindow(const QString &appId, const QRectF &frame)
{
    SimApplication application;
    application.appId = appId;
    application.windows = { simWindow(appId, frame) };
    desktop.addRunningApplication(application);
    // Only programs that can be started again are captured.
    if (!desktop.canLaunch(appId))
        desktop.installApplication({ appId, QStringLiteral("/usr/share/applications/%1.desktop").arg(appId), {} });
}

std::unique_ptr<WorkspaceStore> ViewsFixture::reopenStore() const
{
    QString error;
    return WorkspaceStore::open(dir.path(), &error);
}
