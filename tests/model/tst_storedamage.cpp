// A large store with one damaged page of entries: opening it does not check
// every page, so the damage must show when the entries are read, and nothing
// may hand out the shortened list as if it were complete.
#include "largestorefile.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using storetest::fileHash;

class TestStoreDamage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString filePath() const { return m_dir.filePath(WorkspaceStore::fileName()); }

    static Workspace *named(const WorkspaceStore &store, const QString &name)
    {
        for (Workspace *workspace : store.workspaces()) {
            if (workspace->name() == name)
                return workspace;
        }
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(storetest::buildLargeStore(m_dir.path()));
    }

    void snapshotOfAnIntactStoreHoldsEveryEntry()
    {
        QString error;
        auto store = WorkspaceStore::open(m_dir.path(), &error);
        QVERIFY2(store, qPrintable(error));
        QVERIFY(store->writeProblem().isEmpty());
        // One record read already, one changed in memory only: both as they are now.
        Workspace *loaded = named(*store, storetest::largeWorkspaceName(7));
        QCOMPARE(loaded->entries().size(), storetest::kLargeEntriesEach);
        named(*store, storetest::largeWorkspaceName(8))->setName(QStringLiteral("renamed"));

        const std::optional<QList<WorkspaceData>> all = store->snapshot(&error);
        QVERIFY2(all, qPrintable(error));
        QCOMPARE(all->size(), storetest::kLargeWorkspaces);
        const QList<Workspace *> order = store->workspaces();
        for (qsizetype i = 0; i < all->size(); ++i) {
            QCOMPARE(all->at(i).id, order.at(i)->id());
            QCOMPARE(all->at(i).entries.size(), storetest::kLargeEntriesEach);
        }
        QVERIFY(named(*store, QStringLiteral("renamed")));
        const auto renamed = std::find_if(
            all->cbegin(), all->cend(), [](const WorkspaceData &w) { return w.name == QLatin1String("renamed"); });
        QVERIFY(renamed != all->cend());
        QCOMPARE(renamed->entries.at(3).filePath->left(19), QStringLiteral("/home/user/ws-8/ent"));
        QCOMPARE(renamed->entries.at(3).monitorID, QStringLiteral("MONITOR-1"));
        // Reading for the snapshot leaves the records' entries in the file.
        QVERIFY(!named(*store, storetest::largeWorkspaceName(9))->entriesLoaded());
    }

    void damagedEntryPageIsNeverAShorterList()
    {
        const int victim = 500;
        const qint64 page = storetest::damageEntryPage(filePath(), victim);
        QVERIFY2(page > 1, "no page of the entry table found for the workspace");
        const QByteArray before = fileHash(filePath());

        {
            QString error;
            auto store = WorkspaceStore::open(m_dir.path(), &error);
            if (!store) {
                // Refusing the file at open is as good: nothing partial is shown.
                QVERIFY(!error.isEmpty());
                qInfo("the damaged store was refused at open: %s", qPrintable(WorkspaceStore::fatalMessage(error)));
            } else {
                QCOMPARE(store->count(), storetest::kLargeWorkspaces);
                const std::optional<QList<WorkspaceData>> all = store->snapshot(&error);
                QVERIFY2(!all, "the snapshot gave a list although one page of entries is unreadable");
                QVERIFY2(error.contains(storetest::largeWorkspaceName(victim)), qPrintable(error));
                QCOMPARE(store->fetchAll(true), std::nullopt);

                // The record itself cannot show its entries, and says so once.
                QSignalSpy failed(store.get(), &WorkspaceStore::readFailed);
                Workspace *damaged = named(*store, storetest::largeWorkspaceName(victim));
                QVERIFY(damaged);
                QVERIFY(damaged->entries().isEmpty());
                QVERIFY(damaged->entries().isEmpty());
                QCOMPARE(failed.count(), 1);
                QVERIFY2(failed.at(0).at(0).toString().contains(storetest::largeWorkspaceName(victim)),
                    qPrintable(failed.at(0).at(0).toString()));
                // Still counted from the file, so a save cannot drop the rows.
                QCOMPARE(damaged->entryCount(), storetest::kLargeEntriesEach);
                QVERIFY(!damaged->entriesLoaded());

                // Workspaces on intact pages still read.
                QCOMPARE(
                    named(*store, storetest::largeWorkspaceName(3))->entries().size(), storetest::kLargeEntriesEach);
                QCOMPARE(failed.count(), 1);
            }
        }
        QCOMPARE(fileHash(filePath()), before);
    }
};

QTEST_GUILESS_MAIN(TestStoreDamage)
#include "tst_storedamage.moc"
