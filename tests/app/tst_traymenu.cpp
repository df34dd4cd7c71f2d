// The tray menu against a real store: built fresh on every opening, launching
// without counting, and ignoring workspaces that left the store.
#include "app/traymenu.h"
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

class TestTrayMenu : public QObject
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

    std::unique_ptr<TrayMenu> makeTrayMenu()
    {
        TrayMenu::Actions actions;
        actions.launch = [this](const QList<EntryData> &entries, bool restore, bool focus) {
            m_launches << Launch { entries, restore, focus };
        };
        actions.screenCount = [this] { return m_screens; };
        actions.openMainWindow = [this] { ++m_opened; };
        actions.quit = [this] { ++m_quits; };
        return std::make_unique<TrayMenu>(*m_store, std::move(actions));
    }

    Workspace *addWorkspace(const QString &name, const QDateTime &createdAt, const QList<EntryData> &entries)
    {
        auto *workspace
            = new Workspace(name, QStringLiteral("briefcase.fill"), QStringLiteral("Development"), false, true);
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
        auto trayMenu = makeTrayMenu();
        trayMenu->rebuildMenu();
        QCOMPARE(titles(*trayMenu->menu()),
            (QStringList { QStringLiteral("Corvalint Workspaces"), QStringLiteral("---"),
                QStringLiteral("Keine Workspaces vorhanden"), QStringLiteral("---"), QStringLiteral("Corvalint öffnen"),
                QStringLiteral("Beenden") }));
        const QList<QAction *> actions = trayMenu->menu()->actions();
        QVERIFY(!actions[0]->isEnabled());
        QVERIFY(!actions[2]->isEnabled());
        QVERIFY(actions[4]->isEnabled());
        QCOMPARE(actions[4]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
        QCOMPARE(actions[5]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
        // Every item that does something says what on hover.
        QVERIFY(trayMenu->menu()->toolTipsVisible());
        QVERIFY(actions[4]->toolTip().contains(QStringLiteral("Hauptfenster")));
        QVERIFY(actions[5]->toolTip().contains(QStringLiteral("beenden")));
    }

    void menuFollowsTheStoreEachTimeItOpens()
    {
        auto trayMenu = makeTrayMenu();
        const QDateTime base = QDateTime::currentDateTimeUtc();
        addWorkspace(QStringLiteral("Alt"), base.addSecs(-60), { editorEntry() });
        QVERIFY(m_store->save());
        emit trayMenu->menu()->aboutToShow();
        QCOMPARE(titles(*trayMenu->menu()).mid(2, 1), QStringList { QStringLiteral("Alt") });
        QCOMPARE(trayMenu->menu()->actions()[2]->toolTip(), QStringLiteral("„Alt“ starten und die Fenster anordnen"));

        addWorkspace(QStringLiteral("Neu"), base, { editorEntry() });
        QVERIFY(m_store->save());
        emit trayMenu->menu()->aboutToShow();
        QCOMPARE(titles(*trayMenu->menu()).mid(2, 2), (QStringList { QStringLiteral("Neu"), QStringLiteral("Alt") }));
    }

    void monitorWarningsUseTheConnectedScreens()
    {
        auto trayMenu = makeTrayMenu();
        addWorkspace(QStringLiteral("Dual"), QDateTime::currentDateTimeUtc(),
            { editorEntry(QStringLiteral("A")), editorEntry(QStringLiteral("B")) });
        QVERIFY(m_store->save());
        m_screens = 1;
        trayMenu->rebuildMenu();
        QCOMPARE(titles(*trayMenu->menu())[2], QStringLiteral("Dual (⚠️ Erfordert 2 Monitore)"));
        m_screens = 2;
        trayMenu->rebuildMenu();
        QCOMPARE(titles(*trayMenu->menu())[2], QStringLiteral("Dual"));
        m_screens = 3;
        trayMenu->rebuildMenu();
        QCOMPARE(titles(*trayMenu->menu())[2], QStringLiteral("Dual (⚠️ Erfordert 2 Monitore)"));
    }

    void unsavedWorkspacesAreNotListed()
    {
        // The menu reads the file through its own context, as the store has it.
        auto trayMenu = makeTrayMenu();
        m_store->setAutoSaveDelay(60 * 60 * 1000);
        addWorkspace(QStringLiteral("Entwurf"), QDateTime::currentDateTimeUtc(), {});
        trayMenu->rebuildMenu();
        QCOMPARE(titles(*trayMenu->menu())[2], QStringLiteral("Keine Workspaces vorhanden"));
    }

    void clickLaunchesWithFocusFromAutoLaunchWithoutCounting()
    {
        auto trayMenu = makeTrayMenu();
        Workspace *workspace
            = addWorkspace(QStringLiteral("Fokus"), QDateTime::currentDateTimeUtc(), { editorEntry(), editorEntry() });
        workspace->setAutoLaunch(true);
        workspace->setRestoreDocuments(false);
        QVERIFY(m_store->save());
        trayMenu->rebuildMenu();
        QAction *item = actionTitled(*trayMenu->menu(), QStringLiteral("Fokus"));
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
        auto trayMenu = makeTrayMenu();
        Workspace *workspace = addWorkspace(QStringLiteral("Weg"), QDateTime::currentDateTimeUtc(), { editorEntry() });
        QVERIFY(m_store->save());
        trayMenu->rebuildMenu();
        QPointer<QAction> item = actionTitled(*trayMenu->menu(), QStringLiteral("Weg"));
        QVERIFY(item);
        m_store->remove(workspace);
        QVERIFY(m_store->save());
        item->trigger();
        QVERIFY(m_launches.isEmpty());
    }

    void representedObjectsThatAreNoIdsAreIgnored()
    {
        auto trayMenu = makeTrayMenu();
        addWorkspace(QStringLiteral("Da"), QDateTime::currentDateTimeUtc(), { editorEntry() });
        QVERIFY(m_store->save());
        trayMenu->workspaceClicked(QVariant());
        trayMenu->workspaceClicked(QStringLiteral("not an id"));
        trayMenu->workspaceClicked(QVariant::fromValue(QUuid::createUuid()));
        QVERIFY(m_launches.isEmpty());
    }

    void unreadableStoreLeavesOutTheWorkspaceSectionAndIgnoresClicks()
    {
        auto trayMenu = makeTrayMenu();
        Workspace *workspace = addWorkspace(QStringLiteral("Da"), QDateTime::currentDateTimeUtc(), { editorEntry() });
        QVERIFY(m_store->save());
        const QUuid id = workspace->id();
        // Another file takes the store's place: fresh read contexts cannot read it.
        const QString path = m_dir.filePath(WorkspaceStore::fileName());
        QVERIFY(QFile::rename(path, path + QStringLiteral(".moved")));
        QFile garbage(path);
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'x'));
        garbage.close();

        trayMenu->rebuildMenu();
        QCOMPARE(titles(*trayMenu->menu()),
            (QStringList { QStringLiteral("Corvalint Workspaces"), QStringLiteral("---"), QStringLiteral("---"),
                QStringLiteral("Corvalint öffnen"), QStringLiteral("Beenden") }));
        trayMenu->workspaceClicked(QVariant::fromValue(id));
        QVERIFY(m_launches.isEmpty());
        QFile::remove(path);
        QFile::rename(path + QStringLiteral(".moved"), path);
    }

    void openAndQuitReachTheirActions()
    {
        auto trayMenu = makeTrayMenu();
        actionTitled(*trayMenu->menu(), QStringLiteral("Corvalint öffnen"))->trigger();
        actionTitled(*trayMenu->menu(), QStringLiteral("Beenden"))->trigger();
        QCOMPARE(m_opened, 1);
        QCOMPARE(m_quits, 1);
    }

    void menuLaunchOnTheSimulatedDesktopOpensTheEntriesAndCountsNothing()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        desktop.installApplication(SimInstalledApplication { appId, QStringLiteral("/apps/editor.desktop"), {} });
        AutomationService automation(desktop, clock);
        TrayMenu::Actions actions;
        actions.launch = [&](const QList<EntryData> &entries, bool restore, bool focus) {
            automation.launchWorkspace(entries, restore, focus);
        };
        actions.screenCount = [&desktop] { return int(desktop.screens().size()); };
        TrayMenu trayMenu(*m_store, actions);
        Workspace *workspace = addWorkspace(QStringLiteral("Sim"), QDateTime::currentDateTimeUtc(), { editorEntry() });
        QVERIFY(m_store->save());

        trayMenu.rebuildMenu();
        actionTitled(*trayMenu.menu(), QStringLiteral("Sim (⚠️ Erfordert 1 Monitore)"))->trigger();
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
        auto trayMenu = makeTrayMenu();
        QVERIFY(!trayMenu->statusItem());
        trayMenu->setupStatusItem();
        QSystemTrayIcon *item = trayMenu->statusItem();
        QVERIFY(item);
        trayMenu->setupStatusItem();
        QCOMPARE(trayMenu->statusItem(), item);
        QCOMPARE(item->contextMenu(), trayMenu->menu());
        QCOMPARE(item->toolTip(), QStringLiteral("Corvalint"));
    }
};

QTEST_MAIN(TestTrayMenu)
#include "tst_traymenu.moc"
