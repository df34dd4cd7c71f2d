// The dashboard's statistics and its two card grids.
#include "dashboardmodel.h"
#include "viewsfixture.h"
#include "workspacecardcontroller.h"
#include "workspacegridmodel.h"

#include <QAbstractItemModelTester>
#include <QTest>

class DashboardTest : public QObject
{
    Q_OBJECT

private:
    static QStringList names(const WorkspaceGridModel &model)
    {
        QStringList result;
        for (int row = 0; row < model.rowCount(); ++row)
            result.append(model.workspaceAt(row)->name());
        return result;
    }

private slots:
    void emptyStoreReadsZeroes()
    {
        ViewsFixture fixture;
        DashboardModel dashboard;
        dashboard.setServices(fixture.services.get());
        QCOMPARE(dashboard.workspaceCount(), 0);
        QCOMPARE(dashboard.totalLaunches(), 0);
        QCOMPARE(dashboard.timeSavedText(), QStringLiteral("0s"));
        QCOMPARE(dashboard.favoriteCount(), 0);
    }

    void statisticsSumEveryWorkspaceAndFollowStarts()
    {
        ViewsFixture fixture;
        Workspace *a = fixture.addWorkspace("A", "Office", 3);
        Workspace *b = fixture.addWorkspace("B", "Office", 0);
        a->setLaunchCount(4);
        a->setTimeSavedInSeconds(1700);
        b->setLaunchCount(1);
        DashboardModel dashboard;
        dashboard.setServices(fixture.services.get());
        QCOMPARE(dashboard.workspaceCount(), 2);
        QCOMPARE(dashboard.totalLaunches(), 5);
        QCOMPARE(dashboard.timeSavedText(), QStringLiteral("28 Min"));

        WorkspaceCardController card;
        card.setServices(fixture.services.get());
        card.setWorkspace(a);
        card.start(); // +1 start, +60 s
        QCOMPARE(dashboard.totalLaunches(), 6);
        QCOMPARE(dashboard.totalTimeSaved(), 1760.0);
        QCOMPARE(dashboard.timeSavedText(), QStringLiteral("29 Min"));

        fixture.addWorkspace("C");
        QCOMPARE(dashboard.workspaceCount(), 3);
        fixture.store->remove(a);
        QCOMPARE(dashboard.workspaceCount(), 2);
        QCOMPARE(dashboard.totalLaunches(), 1);
    }

    void favouritesAreListedInBothGrids()
    {
        ViewsFixture fixture;
        fixture.addWorkspace("Old favourite", "Office", 0, 0, true, 300);
        fixture.addWorkspace("Plain", "Office", 0, 0, false, 200);
        Workspace *late = fixture.addWorkspace("New", "Office", 0, 0, false, 10);

        WorkspaceGridModel all;
        QAbstractItemModelTester allTester(&all);
        all.setServices(fixture.services.get());
        WorkspaceGridModel favorites;
        QAbstractItemModelTester favoritesTester(&favorites);
        favorites.setFavoritesOnly(true);
        favorites.setServices(fixture.services.get());

        QCOMPARE(names(all), (QStringList { "New", "Plain", "Old favourite" }));
        QCOMPARE(names(favorites), QStringList { "Old favourite" });

        WorkspaceCardController card;
        card.setServices(fixture.services.get());
        card.setWorkspace(late);
        card.toggleFavorite();
        QCOMPARE(names(favorites), (QStringList { "New", "Old favourite" }));
        QCOMPARE(names(all), (QStringList { "New", "Plain", "Old favourite" }));
        card.toggleFavorite();
        QCOMPARE(names(favorites), QStringList { "Old favourite" });
    }

    void newWorkspacesAppearFirst()
    {
        ViewsFixture fixture;
        fixture.addWorkspace("Older", "Office", 0, 0, false, 100);
        WorkspaceGridModel all;
        QAbstractItemModelTester tester(&all);
        all.setServices(fixture.services.get());
        fixture.addWorkspace("Newest");
        QCOMPARE(names(all), (QStringList { "Newest", "Older" }));
        QCOMPARE(all.count(), 2);
    }
};

QTEST_MAIN(DashboardTest)
#include "tst_dashboard.moc"
