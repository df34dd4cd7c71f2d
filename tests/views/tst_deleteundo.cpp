// "Rückgängig" after a delete: a workspace comes back exactly (id, fields,
// counters, entries in order, its place in the list), saved to the file; an
// entry comes back at its old place; the offer expires, and a new delete
// makes the one before final. Every view's delete goes through it.
#include "deleteundo.h"
#include "detailcontroller.h"
#include "navigationcontroller.h"
#include "viewsfixture.h"
#include "workspacecardcontroller.h"

#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;

namespace {

QList<QUuid> order(const WorkspaceStore &store)
{
    QList<QUuid> ids;
    for (const Workspace *workspace : store.workspaces())
        ids.append(workspace->id());
    return ids;
}

} // namespace

class DeleteUndoTest : public QObject
{
    Q_OBJECT

private slots:
    void offersSixSeconds()
    {
        ViewsFixture fixture;
        QCOMPARE(fixture.services->undo()->lifetime(), 6000ms);
        QVERIFY(!fixture.services->undo()->available());
        QVERIFY(fixture.services->undo()->message().isEmpty());
    }

    void restoresAWorkspaceExactly()
    {
        ViewsFixture fixture;
        fixture.addWorkspace("Oldest", "Office", 1, 0, false, 300);
        Workspace *middle = fixture.addWorkspace("Middle", "Design", 4, 2, true, 200);
        fixture.addWorkspace("Newest", "Office", 2, 0, false, 100);
        middle->recordLaunch(QDateTime::currentDateTime().addSecs(-50));
        middle->recordLaunch(QDateTime::currentDateTime().addSecs(-40));
        middle->setAutoLaunch(true);
        middle->setRestoreDocuments(false);
        QVERIFY(fixture.store->save());
        const WorkspaceData before = middle->data();
        const QList<QUuid> orderBefore = order(*fixture.store);
        QCOMPARE(before.entries.size(), 4);

        DeleteUndo &undo = *fixture.services->undo();
        QSignalSpy restored(&undo, &DeleteUndo::workspaceRestored);
        undo.deleteWorkspace(middle);
        QCOMPARE(fixture.store->count(), 2);
        QVERIFY(!fixture.store->find(before.id));
        QVERIFY(undo.available());
        QCOMPARE(undo.message(), QStringLiteral("Workspace „Middle“ gelöscht"));
        // The delete is written at once: the file lacks it too.
        QCOMPARE(fixture.reopenStore()->count(), 2);

        QVERIFY(undo.undo());
        QVERIFY(!undo.available());
        QCOMPARE(restored.size(), 1);
        Workspace *back = fixture.store->find(before.id);
        QVERIFY(back);
        QCOMPARE(restored.first().first().value<Workspace *>(), back);
        QCOMPARE(back->data(), before);
        QCOMPARE(order(*fixture.store), orderBefore);

        // And so does the file, as another process reads it.
        const auto reopened = fixture.reopenStore();
        QCOMPARE(order(*reopened), orderBefore);
        QCOMPARE(reopened->find(before.id)->data(), before);
    }

    void restoresAnEntryAtItsPlace()
    {
        ViewsFixture fixture;
        Workspace *workspace = fixture.addWorkspace("Four", "Office", 4, 2);
        const WorkspaceData before = workspace->data();
        DeleteUndo &undo = *fixture.services->undo();

        undo.deleteEntry(workspace->entries().at(1));
        QCOMPARE(workspace->entryCount(), 3);
        QCOMPARE(undo.message(), QStringLiteral("Element gelöscht"));
        QCOMPARE(fixture.reopenStore()->find(before.id)->entryCount(), 3);

        QVERIFY(undo.undo());
        QCOMPARE(workspace->data(), before);
        QCOMPARE(fixture.reopenStore()->find(before.id)->data(), before);
    }

    void anEntryOfADeletedWorkspaceStaysGone()
    {
        ViewsFixture fixture;
        Workspace *workspace = fixture.addWorkspace("Two", "Office", 2);
        DeleteUndo &undo = *fixture.services->undo();
        undo.deleteEntry(workspace->entries().first());
        fixture.store->remove(workspace);
        QVERIFY(fixture.store->save());
        QVERIFY(undo.available());
        QVERIFY(!undo.undo());
        QVERIFY(!undo.available());
        QCOMPARE(fixture.store->count(), 0);
    }

    void theOfferExpires()
    {
        ViewsFixture fixture;
        Workspace *workspace = fixture.addWorkspace("Short", "Office", 1);
        DeleteUndo &undo = *fixture.services->undo();
        undo.setLifetime(150ms);
        QSignalSpy changed(&undo, &DeleteUndo::availableChanged);
        undo.deleteWorkspace(workspace);
        QCOMPARE(changed.size(), 1);
        QTest::qWait(50);
        QVERIFY(undo.available());
        QTRY_VERIFY_WITH_TIMEOUT(!undo.available(), 2000);
        QCOMPARE(changed.size(), 2);
        QVERIFY(!undo.undo());
        QCOMPARE(fixture.store->count(), 0);
    }

    void aNewDeleteMakesTheLastOneFinalAndRestartsTheTime()
    {
        ViewsFixture fixture;
        Workspace *first = fixture.addWorkspace("First", "Office", 1, 0, false, 20);
        Workspace *second = fixture.addWorkspace("Second", "Office", 1, 0, false, 10);
        const QUuid firstId = first->id();
        const QUuid secondId = second->id();
        DeleteUndo &undo = *fixture.services->undo();
        undo.setLifetime(300ms);
        undo.deleteWorkspace(first);
        QTest::qWait(200);
        undo.deleteWorkspace(second);
        QTest::qWait(200); // past the first delete's time, within the second's
        QVERIFY(undo.available());
        QCOMPARE(undo.message(), QStringLiteral("Workspace „Second“ gelöscht"));
        QVERIFY(undo.undo());
        QVERIFY(fixture.store->find(secondId));
        QVERIFY(!fixture.store->find(firstId));
    }

    void dismissMakesItFinal()
    {
        ViewsFixture fixture;
        Workspace *workspace = fixture.addWorkspace("Gone", "Office", 1);
        DeleteUndo &undo = *fixture.services->undo();
        undo.deleteWorkspace(workspace);
        undo.dismiss();
        QVERIFY(!undo.available());
        QVERIFY(!undo.undo());
        QCOMPARE(fixture.store->count(), 0);
    }

    void everyViewDeleteCanBeTakenBack()
    {
        ViewsFixture fixture;
        Workspace *workspace = fixture.addWorkspace("Shown", "Office", 3, 1, false, 30);
        const WorkspaceData before = workspace->data();
        DeleteUndo &undo = *fixture.services->undo();
        NavigationController navigation;
        navigation.setServices(fixture.services.get());

        // The sidebar's delete of the shown workspace: back on the dashboard,
        // and back on the workspace after "Rückgängig".
        navigation.showWorkspace(workspace);
        navigation.deleteWorkspace(workspace);
        QCOMPARE(navigation.selection(), NavigationController::Dashboard);
        QVERIFY(undo.undo());
        QCOMPARE(navigation.selection(), NavigationController::WorkspaceSelection);
        QCOMPARE(navigation.workspace()->data(), before);

        // The card's delete.
        WorkspaceCardController card;
        card.setServices(fixture.services.get());
        card.setWorkspace(navigation.workspace());
        card.remove();
        QCOMPARE(fixture.store->count(), 0);
        QVERIFY(undo.undo());
        QCOMPARE(fixture.store->find(before.id)->data(), before);

        // The detail view's "Löschen" and its entry trash.
        DetailController detail;
        detail.setServices(fixture.services.get());
        detail.setNavigation(&navigation);
        detail.setWorkspace(fixture.store->find(before.id));
        detail.deleteEntry(detail.sortedEntries().first());
        QCOMPARE(fixture.store->find(before.id)->entryCount(), 2);
        QVERIFY(undo.undo());
        QCOMPARE(fixture.store->find(before.id)->data(), before);
        navigation.showWorkspace(fixture.store->find(before.id));
        detail.setWorkspace(navigation.workspace());
        detail.beginEdit();
        detail.deleteWorkspace();
        QCOMPARE(fixture.store->count(), 0);
        QVERIFY(!detail.showingEditSheet());
        QVERIFY(undo.undo());
        QCOMPARE(fixture.store->find(before.id)->data(), before);
        QCOMPARE(navigation.workspace(), fixture.store->find(before.id));
    }
};

QTEST_MAIN(DeleteUndoTest)
#include "tst_deleteundo.moc"
