// The tray menu against a real store: built fresh on every opening, launching
// without counting, and ignoring workspaces that left the store.
#include "app/statusbarmenucoordinator.h"

#include "automation/automationservice.h"
#include "model/workspacestore.h"
#include "platform/sim/simulateddesktop.h"
#include "platform/sim/virtualclock.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString appId = QStringLiteral("org.example.Editor");

EntryData editorEntry(const std::optional<QString> &monitor = std::nullopt)
{
    EntryData entry;
    entry.appBundleIdentifier = appId;
    entry.monitorID = monitor;
    entry.delayAfterLaunch = 0.5;
    return entry;
}

} // namespace

class TestStatusBarMenuCoordinator : public QObject
{
    Q_OBJECT

private:
    struct Launch {
        QList<EntryData> entries;
        bool restoreDocuments = false;
        bool focusMode = false;
    };

    QTemporaryDir m_dir;
    std::unique_ptr<WorkspaceStore> m_store;
    QList<Launch> m_launches;
    int m_screens = 1;
    int m_opened = 0;
    int m_quits = 0;

    std::unique_ptr<StatusBarMenuCoordinator> makeCoordinator()
    {
        StatusBarMenuCoordinator::Actions actions;
        actions.launch = [this](const QList<EntryData> &entries, bool restore, bool focus) {
            m_launches << Launch{entries, restore, focus};
        };
        actions.screenCount = [this] { return m_screens; };
        actions.openMainWindow = [this] { ++m_opened; };
        actions.quit = [this] { ++m_quits; };
        return std::make_unique<StatusBarMenuCoordinator>(*m_store, std::move(actions));
    }

    Workspace *addWorkspace(const QString &name, const QDateTime &createdAt, const QList<EntryData> &entries)
    {
        auto *workspace = new Workspace(name, QStringLiteral("briefcase.fill"), QStringLiteral("Development"), false, true);
        workspace->setCreatedAt(createdAt);
        for (const EntryData &entry : entries)
            workspace->appendEntry(entry);
        m_store->insert(workspace);
        return workspace;
    }

    static QStringList titles(const QMenu &menu)
    {
        QStringList result;
        for (const QAction *action : menu.actions())
            result << (action->isSeparator() ? QStringLiteral("---") : action->text());
        return result;
    }

    static QAction *actionTitled(const QMenu &menu, const QString &title)
    {
        for (QAction *action : menu.actions()) {
            if (action->text() == title)
                return action;
        }
        return nullptr;
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QString error;
        m_store = WorkspaceStore::open(m_dir.path(), &error);
        QVERIFY2(m_store, qPrintable(error));
        m_launches.clear();
        m_screens = 1;
        m_opened = 0;
        m_quits = 0;
    }

    void cleanup()
    {
        m_store.reset();
        QFile::remove(m_dir.filePath(WorkspaceStore::fileName()));
    }

    void emptyStoreReadsHeaderNoteAndActions()
    {
        auto coordinator = makeCoordinator();
        coordinator->rebuildMenu();
        QCOMPARE(titles(*coordinator->menu()),
                 (QStringList{QStringLiteral("Corvalint Workspaces"), QStringLiteral("---"),
                              QStringLiteral("Keine Workspaces vorhanden"), QStringLiteral("---"),
                              QStringLiteral("Corvalint öffnen"), QStringLiteral("Beenden")}));
        const QList<QAction *> actions = coordinator->menu()->actions();
        QVERIFY(!actions[0]->isEnabled());
        QVERIFY(!actions[2]->isEnabled());
        QVERIFY(actions[4]->isEnabled());
        QCOMPARE(actions[4]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
        QCOMPARE(actions[5]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
        // Every item that does something says what on hover.
        QVERIFY(coordinator->menu()->toolTipsVisible());
        QVERIFY(actions[4]->toolTip().contains(QStringLiteral("Hauptfenster")));
        QVERIFY(actions[5]->toolTip().contains(QStringLiteral("beenden")));
    }

    void menuFollowsTheStoreEachTimeItOpens()
    {
        auto coordinator = makeCoordinator();
        const QDateTime base = QDateTime::currentDateTimeUtc();
        addWorkspace(QStringLiteral("Alt"), base.addSecs(-60), {editorEntry()});
        QVERIFY(m_store->save());
        emit coordinator->menu()->aboutToShow();
        QCOMPARE(titles(*coordinator->menu()).mid(2, 1), QStringList{QStringLiteral("Alt")});
        QCOMPARE(coordinator->menu()->actions()[2]->toolTip(), QStringLiteral("„Alt“ starten und die Fenster anordnen"));

        addWorkspace(QStringLiteral("Neu"), base, {editorEntry()});
        QVERIFY(m_store->save());
        emit coordinator->menu()->aboutToShow();
        QCOMPARE(titles(*coordinator->menu()).mid(2, 2), (QStringList{QStringLiteral("Neu"), QStringLiteral("Alt")}));
    }

    void monitorWarningsUseTheConnectedScreens()
    {
        auto coordinator = makeCoordinator();
        addWorkspace(QStringLiteral("Dual"), QDateTime::currentDateTimeUtc(),
                     {editorEntry(QStringLiteral("A")), editorEntry(QStringLiteral("B"))});
        QVERIFY(m_store->save());
        m_screens = 1;
        coordinator->rebuildMenu();
        QCOMPARE(titles(*coordinator->menu())[2], QStringLiteral("Dual (⚠️ Erfordert 2 Monitore)"));
        m_screens = 2;
        coordinator->rebuildMenu();
        QCOMPARE(titles(*coordinator->menu())[2], QStringLiteral("Dual"));
        m_screens = 3;
        coordinator->rebuildMenu();
        QCOMPARE(titles(*coordinator->menu())[2], QStringLiteral("Dual (⚠️ Erfordert 2 Monitore)"));
    }

    void unsavedWorkspacesAreNotListed()
    {
        // The menu reads the file through its own context, as the store has it.
        auto coordinator = makeCoordinator();
        m_store->setAutoSaveDelay(60 * 60 * 1000);
        addWorkspace(QStringLiteral("Entwurf"), QDateTime::currentDateTimeUtc(), {});
        coordinator->rebuildMenu();
        QCOMPARE(titles(*coordinator->menu())[2], QStringLiteral("Keine Workspaces vorhanden"));
    }

    void clickLaunchesWithFocusFromAutoLaunchWithoutCounting()
    {
        auto coordinator = makeCoordinator();
        Workspace *workspace = addWorkspace(QStringLiteral("Fokus"), QDateTime::currentDateTimeUtc(),
                                            {editorEntry(), editorEntry()});
        workspace->setAutoLaunch(true);
        workspace->setRestoreDocuments(false);
        QVERIFY(m_store->save());
        coordinator->rebuildMenu();
        QAction *item = actionTitled(*coordinator->menu(), QStringLiteral("Fokus"));
        QVERIFY(item);
        QCOMPARE(item->data().toUuid(), workspace->id());
        item->trigger();

        QCOMPARE(m_launches.size(), 1);
        QCOMPARE(m_launches[0].entries.size(), 2);
        QCOMPARE(m_launches[0].entries[0].appBundleIdentifier, std::optional<QString>(appId));
        QVERIFY(!m_launches[0].restoreDocuments);
        QVERIFY(m_launches[0].focusMode);
        QCOMPARE(workspace->launchCount(), 0);
        QVERIFY(!workspace->lastLaunchedAt());
        QCOMPARE(workspace->timeSavedInSeconds(), 0.0);
        QVERIFY(!m_store->hasUnsavedChanges());
    }

    void clickOnAWorkspaceDeletedSinceTheMenuWasBuiltDoesNothing()
    {
        auto coordinator = makeCoordinator();
        Workspace *workspace = addWorkspace(QStringLiteral("Weg"), QDateTime::currentDateTimeUtc(), {editorEntry()});
        QVERIFY(m_store->save());
        coordinator->rebuildMenu();
        QPointer<QAction> item = actionTitled(*coordinator->menu(), QStringLiteral("Weg"));
        QVERIFY(item);
        m_store->remove(workspace);
        QVERIFY(m_store->save());
        item->trigger();
        QVERIFY(m_launches.isEmpty());
    }

    void representedObjectsThatAreNoIdsAreIgnored()
    {
        auto coordinator = makeCoordinator();
        addWorkspace(QStringLiteral("Da"), QDateTime::currentDateTimeUtc(), {editorEntry()});
        QVERIFY(m_store->save());
        coordinator->workspaceClicked(QVariant());
        coordinator->workspaceClicked(QStringLiteral("not an id"));
        coordinator->workspaceClicked(QVariant::fromValue(QUuid::createUuid()));
        QVERIFY(m_launches.isEmpty());
    }

    void unreadableStoreLeavesOutTheWorkspaceSectionAndIgnoresClicks()
    {
        auto coordinator = makeCoordinator();
        Workspace *workspace = addWorkspace(QStringLiteral("Da"), QDateTime::currentDateTimeUtc(), {editorEntry()});
        QVERIFY(m_store->save());
        const QUuid id = workspace->id();
        // Another file takes the store's place: fresh read contexts cannot read it.
        const QString path = m_dir.filePath(WorkspaceStore::fileName());
        QVERIFY(QFile::rename(path, path + QStringLiteral(".moved")));
        QFile garbage(path);
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'x'));
        garbage.close();

        coordinator->rebuildMenu();
        QCOMPARE(titles(*coordinator->menu()),
                 (QStringList{QStringLiteral("Corvalint Workspaces"), QStringLiteral("---"), QStringLiteral("---"),
                              QStringLiteral("Corvalint öffnen"), QStringLiteral("Beenden")}));
        coordinator->workspaceClicked(QVariant::fromValue(id));
        QVERIFY(m_launches.isEmpty());
        QFile::remove(path);
        QFile::rename(path + QStringLiteral(".moved"), path);
    }

    void openAndQuitReachTheirActions()
    {
        auto coordinator = makeCoordinator();
        actionTitled(*coordinator->menu(), QStringLiteral("Corvalint öffnen"))->trigger();
        actionTitled(*coordinator->menu(), QStringLiteral("Beenden"))->trigger();
        QCOMPARE(m_opened, 1);
        QCOMPARE(m_quits, 1);
    }

    void menuLaunchOnTheSimulatedDesktopOpensTheEntriesAndCountsNothing()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        desktop.installApplication(SimInstalledApplication{appId, QStringLiteral("/apps/editor.desktop"), {}});
        AutomationService automation(desktop, clock);
        StatusBarMenuCoordinator::Actions actions;
        actions.launch = [&](const QList<EntryData> &entries, bool restore, bool focus) {
            automation.launchWorkspace(entries, restore, focus);
        };
        actions.screenCount = [&desktop] { return int(desktop.screens().size()); };
        StatusBarMenuCoordinator coordinator(*m_store, actions);
        Workspace *workspace = addWorkspace(QStringLiteral("Sim"), QDateTime::currentDateTimeUtc(), {editorEntry()});
        QVERIFY(m_store->save());

        coordinator.rebuildMenu();
        actionTitled(*coordinator.menu(), QStringLiteral("Sim (⚠️ Erfordert 1 Monitore)"))->trigger();
        clock.runUntilIdle(60);

        QCOMPARE(desktop.requests(QStringLiteral("openApplication")).size(), 1);
        const auto stored = m_store->fetchAll(false);
        QVERIFY(stored);
        QCOMPARE(stored->size(), 1);
        QCOMPARE(stored->first().launchCount, 0);
        QVERIFY(!stored->first().lastLaunchedAt);
        QCOMPARE(stored->first().timeSavedInSeconds, 0.0);
        QCOMPARE(workspace->launchCount(), 0);
    }

    void statusItemIsCreatedOnceAndCarriesTheMenu()
    {
        auto coordinator = makeCoordinator();
        QVERIFY(!coordinator->statusItem());
        coordinator->setupStatusItem();
        QSystemTrayIcon *item = coordinator->statusItem();
        QVERIFY(item);
        coordinator->setupStatusItem();
        QCOMPARE(coordinator->statusItem(), item);
        QCOMPARE(item->contextMenu(), coordinator->menu());
        QCOMPARE(item->toolTip(), QStringLiteral("Corvalint"));
    }
};

QTEST_MAIN(TestStatusBarMenuCoordinator)
#include "tst_statusbarmenucoordinator.moc"
