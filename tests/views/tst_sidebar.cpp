// The sidebar's sections by monitor count and the navigation's delete rules.
#include "monitorgroups.h"
#include "navigationcontroller.h"
#include "sidebarmodel.h"
#include "viewsfixture.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

class SidebarTest : public QObject
{
    Q_OBJECT

private:
    static QStringList titles(const SidebarModel &model)
    {
        QStringList result;
        for (int row = 0; row < model.rowCount(); ++row)
            result.append(model.index(row).data(SidebarModel::TitleRole).toString());
        return result;
    }

private slots:
    void headersNameTheMonitorCount()
    {
        QCOMPARE(monitorGroupTitle(1), QStringLiteral("1 Bildschirm"));
        QCOMPARE(monitorGroupTitle(2), QStringLiteral("2 Bildschirme"));
        QCOMPARE(monitorGroupTitle(3), QStringLiteral("3 Bildschirme"));
    }

    void noWorkspacesGiveOnlyDashboardAndSystem()
    {
        ViewsFixture fixture;
        SidebarModel model;
        QAbstractItemModelTester tester(&model);
        model.setServices(fixture.services.get());
        QCOMPARE(titles(model), (QStringList { "Dashboard", "System", "Einstellungen" }));
        QCOMPARE(model.headers(), QStringList { "System" });
    }

    void oneAndThreeMonitorsGiveTwoSectionsAscending()
    {
        ViewsFixture fixture;
        fixture.addWorkspace("Triple", "Office", 3, 3, false, 10);
        fixture.addWorkspace("Single", "Design", 2, 1, false, 20);
        SidebarModel model;
        QAbstractItemModelTester tester(&model);
        model.setServices(fixture.services.get());
        QCOMPARE(model.headers(), (QStringList { "1 Bildschirm", "3 Bildschirme", "System" }));
        QCOMPARE(titles(model),
            (QStringList {
                "Dashboard", "1 Bildschirm", "Single", "3 Bildschirme", "Triple", "System", "Einstellungen" }));
    }

    void workspacesWithoutMonitorsCountAsOne()
    {
        ViewsFixture fixture;
        fixture.addWorkspace("Empty");
        fixture.addWorkspace("No monitor ids", "Office", 4, 0);
        SidebarModel model;
        model.setServices(fixture.services.get());
        QCOMPARE(model.headers(), (QStringList { "1 Bildschirm", "System" }));
    }

    void groupsKeepNewestFirst()
    {
        ViewsFixture fixture;
        fixture.addWorkspace("Old", "Office", 1, 1, false, 300);
        fixture.addWorkspace("New", "Office", 1, 1, false, 5);
        fixture.addWorkspace("Middle", "Office", 1, 1, false, 100);
        const QList<MonitorGroup> groups = groupByMonitorCount(fixture.store->workspaces());
        QCOMPARE(groups.size(), 1);
        QStringList names;
        for (Workspace *workspace : groups.first().workspaces)
            names.append(workspace->name());
        QCOMPARE(names, (QStringList { "New", "Middle", "Old" }));
    }

    void followsTheStoreLive()
    {
        ViewsFixture fixture;
        SidebarModel model;
        QAbstractItemModelTester tester(&model);
        model.setServices(fixture.services.get());
        Workspace *wide = fixture.addWorkspace("Wide", "Office", 2, 2);
        QCOMPARE(model.headers(), (QStringList { "2 Bildschirme", "System" }));

        // Moving every entry to one monitor moves the workspace to the other section.
        for (WorkspaceEntry *entry : wide->entries())
            entry->setMonitorID(QStringLiteral("ONE"));
        QCOMPARE(model.headers(), (QStringList { "1 Bildschirm", "System" }));

        fixture.store->remove(wide);
        QCOMPARE(titles(model), (QStringList { "Dashboard", "System", "Einstellungen" }));
    }

    void aNewWorkspaceAddsItsRowsAndKeepsTheOthers()
    {
        ViewsFixture fixture;
        fixture.addWorkspace("Old", "Office", 1, 1, false, 300);
        SidebarModel model;
        QAbstractItemModelTester tester(&model);
        model.setServices(fixture.services.get());
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);

        // Newest first in its group: one row, right under the group's header.
        fixture.addWorkspace("New", "Office", 1, 1, false, 5);
        QCOMPARE(titles(model), (QStringList { "Dashboard", "1 Bildschirm", "New", "Old", "System", "Einstellungen" }));
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted.first().at(1).toInt(), 2);
        QCOMPARE(inserted.first().at(2).toInt(), 2);

        // A workspace of a new group brings its header along.
        fixture.addWorkspace("Wide", "Office", 2, 2);
        QCOMPARE(model.headers(), (QStringList { "1 Bildschirm", "2 Bildschirme", "System" }));
        QCOMPARE(inserted.size(), 2);
        QCOMPARE(inserted.last().at(2).toInt() - inserted.last().at(1).toInt(), 1);
        QCOMPARE(resets.size(), 0);
        QCOMPARE(removed.size(), 0);
    }

    void deletingTheShownWorkspaceReturnsToTheDashboard()
    {
        ViewsFixture fixture;
        Workspace *shown = fixture.addWorkspace("Shown", "Office", 2);
        NavigationController navigation;
        navigation.setServices(fixture.services.get());
        navigation.showWorkspace(shown);
        QCOMPARE(navigation.selection(), NavigationController::WorkspaceSelection);

        navigation.deleteWorkspace(shown);
        QCOMPARE(navigation.selection(), NavigationController::Dashboard);
        QCOMPARE(navigation.workspace(), nullptr);
        QCOMPARE(fixture.store->count(), 0);
        QCOMPARE(fixture.reopenStore()->count(), 0); // deleted and saved
    }

    void deletingAnotherWorkspaceKeepsTheSelection()
    {
        ViewsFixture fixture;
        Workspace *shown = fixture.addWorkspace("Shown");
        Workspace *other = fixture.addWorkspace("Other");
        NavigationController navigation;
        navigation.setServices(fixture.services.get());
        navigation.showWorkspace(shown);
        QSignalSpy changes(&navigation, &NavigationController::selectionChanged);

        navigation.deleteWorkspace(other);
        QCOMPARE(navigation.workspace(), shown);
        QCOMPARE(changes.count(), 0);

        navigation.showSettings();
        navigation.deleteWorkspace(shown);
        QCOMPARE(navigation.selection(), NavigationController::Settings);
    }

    void aWorkspaceDeletedElsewhereIsNotLeftSelected()
    {
        ViewsFixture fixture;
        Workspace *shown = fixture.addWorkspace("Shown");
        NavigationController navigation;
        navigation.setServices(fixture.services.get());
        navigation.showWorkspace(shown);
        fixture.store->remove(shown);
        QCOMPARE(navigation.selection(), NavigationController::Dashboard);
    }

    void noSelectionShowsTheDashboard()
    {
        NavigationController navigation;
        navigation.showSettings();
        navigation.showWorkspace(nullptr);
        QCOMPARE(navigation.selection(), NavigationController::Dashboard);
    }
};

QTEST_MAIN(SidebarTest)
#include "tst_sidebar.moc"
