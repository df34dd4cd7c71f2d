// The merge rules of the folder sync: by id, newest modifiedAt wins, deletions as tombstones.
#include "model/sync/syncmerge.h"

#include <QTest>
#include <QTimeZone>

namespace {

const QDateTime base = QDateTime(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC);

WorkspaceData workspace(const QUuid &id, const QString &name, int second)
{
    WorkspaceData w;
    w.id = id;
    w.name = name;
    w.createdAt = base;
    w.modifiedAt = base.addSecs(second);
    return w;
}

} // namespace

class TestSyncMerge : public QObject
{
    Q_OBJECT

    const QUuid one = QUuid::createUuid();
    const QUuid two = QUuid::createUuid();

private slots:
    void unknownWorkspacesAreAddedNewerOnesUpdatedOlderOnesLeft()
    {
        const QList<WorkspaceData> local { workspace(one, QStringLiteral("hier"), 10) };
        const SyncFileContent remote {
            { workspace(one, QStringLiteral("dort"), 5), workspace(two, QStringLiteral("neu"), 1) }, {}
        };
        const SyncChanges changes = SyncMerge::changes(local, {}, { remote });
        QCOMPARE(changes.added.size(), 1);
        QCOMPARE(changes.added.front().id, two);
        QVERIFY(changes.updated.isEmpty());

        const SyncFileContent newer { { workspace(one, QStringLiteral("dort"), 11) }, {} };
        QCOMPARE(SyncMerge::changes(local, {}, { newer }).updated.front().name, QStringLiteral("dort"));
    }

    void theNewestOfSeveralComputersWins()
    {
        const SyncFileContent first { { workspace(one, QStringLiteral("a"), 30) }, {} };
        const SyncFileContent second { { workspace(one, QStringLiteral("b"), 20) }, {} };
        const SyncChanges changes = SyncMerge::changes({}, {}, { second, first });
        QCOMPARE(changes.added.size(), 1);
        QCOMPARE(changes.added.front().name, QStringLiteral("a"));
    }

    void editsAtTheSameMomentPickTheSameWinnerEverywhere()
    {
        const WorkspaceData a = workspace(one, QStringLiteral("a"), 10);
        const WorkspaceData b = workspace(one, QStringLiteral("b"), 10);
        QVERIFY(SyncMerge::isNewer(a, b) != SyncMerge::isNewer(b, a));
        QVERIFY(!SyncMerge::isNewer(a, a));
    }

    void aDeletionRemovesWhatWasNotChangedSince()
    {
        const QList<WorkspaceData> local { workspace(one, QStringLiteral("x"), 10),
            workspace(two, QStringLiteral("y"), 50) };
        const SyncFileContent remote { {},
            { SyncTombstone { one, base.addSecs(20) }, SyncTombstone { two, base.addSecs(20) } } };
        const SyncChanges changes = SyncMerge::changes(local, {}, { remote });
        // "y" was changed here after the other computer deleted it: it stays, and travels back.
        QCOMPARE(changes.removed, QList<QUuid> { one });
    }

    void aDeletionHereKeepsOlderCopiesFromComingBack()
    {
        const SyncFileContent remote {
            { workspace(one, QStringLiteral("x"), 10), workspace(two, QStringLiteral("y"), 30) }, {}
        };
        const QList<SyncTombstone> deletedHere { { one, base.addSecs(20) }, { two, base.addSecs(20) } };
        const SyncChanges changes = SyncMerge::changes({}, deletedHere, { remote });
        QCOMPARE(changes.added.size(), 1);
        QCOMPARE(changes.added.front().id, two);
    }

    void aNewerCopyFromAThirdComputerOutlivesAnOlderDeletion()
    {
        const QList<WorkspaceData> local { workspace(one, QStringLiteral("x"), 10) };
        const SyncFileContent deleter { {}, { SyncTombstone { one, base.addSecs(20) } } };
        const SyncFileContent editor { { workspace(one, QStringLiteral("x2"), 30) }, {} };
        const SyncChanges changes = SyncMerge::changes(local, {}, { deleter, editor });
        QVERIFY(changes.removed.isEmpty());
        QCOMPARE(changes.updated.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSyncMerge)
#include "tst_syncmerge.moc"
