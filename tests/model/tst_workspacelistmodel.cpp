// The live workspace list: newest first, following inserts, removals,
// field changes and re-sorting, under QAbstractItemModelTester.
#include "model/workspacelistmodel.h"
#include "model/workspacestore.h"
#include "storetestdata.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestWorkspaceListModel : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<WorkspaceStore> m_store;
    std::unique_ptr<WorkspaceListModel> m_model;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
    const QDateTime m_base = QDateTime::fromMSecsSinceEpoch(1'700'000'000'000, Qt::UTC);

    Workspace *add(const QString &name, int secondsFromBase, int entries = 1)
    {
        auto *workspace
            = Workspace::fromData(storetest::simpleWorkspace(name, m_base.addSecs(secondsFromBase), entries));
        m_store->insert(workspace);
        return workspace;
    }

    QStringList rows() const
    {
        QStringList names;
        for (int row = 0; row < m_model->rowCount(); ++row)
            names.append(m_model->data(m_model->index(row), WorkspaceListModel::NameRole).toString());
        return names;
    }

private slots:
    void init()
    {
        QFile::remove(m_dir.filePath(WorkspaceStore::fileName()));
        QString error;
        m_store = WorkspaceStore::open(m_dir.path(), &error);
        QVERIFY2(m_store, qPrintable(error));
        add(QStringLiteral("middle"), 0);
        add(QStringLiteral("newest"), 10);
        add(QStringLiteral("oldest"), -10);
        m_model = std::make_unique<WorkspaceListModel>(m_store.get());
        m_tester = std::make_unique<QAbstractItemModelTester>(
            m_model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    }

    void cleanup()
    {
        m_tester.reset();
        m_model.reset();
        m_store.reset();
    }

    void listsNewestFirst()
    {
        QCOMPARE(rows(), (QStringList { "newest", "middle", "oldest" }));
        QCOMPARE(m_model->count(), 3);
        QCOMPARE(m_model->at(0)->name(), QStringLiteral("newest"));
        QCOMPARE(m_model->at(3), nullptr);
        QCOMPARE(m_model->at(-1), nullptr);
    }

    void rolesCarryTheFields()
    {
        Workspace *w = m_model->at(1);
        w->setIsFavorite(true);
        w->recordLaunch(m_base);
        const QModelIndex index = m_model->index(1);
        QCOMPARE(index.data(WorkspaceListModel::WorkspaceRole).value<Workspace *>(), w);
        QCOMPARE(index.data(WorkspaceListModel::IdRole).toString(), w->idText());
        QCOMPARE(index.data(WorkspaceListModel::IconRole).toString(), QStringLiteral("star"));
        QCOMPARE(index.data(WorkspaceListModel::CategoryRole).toString(), QStringLiteral("Development"));
        QCOMPARE(index.data(WorkspaceListModel::IsFavoriteRole).toBool(), true);
        QCOMPARE(index.data(WorkspaceListModel::EntryCountRole).toInt(), 1);
        QCOMPARE(index.data(WorkspaceListModel::RequiredMonitorCountRole).toInt(), 1);
        QCOMPARE(index.data(WorkspaceListModel::LaunchCountRole).toLongLong(), 1);
        QCOMPARE(index.data(WorkspaceListModel::TimeSavedInSecondsRole).toDouble(), 20.0);
        const QHash<int, QByteArray> names = m_model->roleNames();
        for (const char *name : { "workspace", "id", "name", "icon", "category", "isFavorite", "entryCount",
                 "requiredMonitorCount", "launchCount", "timeSavedInSeconds" })
            QVERIFY2(names.values().contains(name), name);
    }

    void insertLandsInItsPlace()
    {
        QSignalSpy countSpy(m_model.get(), &WorkspaceListModel::countChanged);
        QSignalSpy insertedSpy(m_model.get(), &QAbstractItemModel::rowsInserted);
        add(QStringLiteral("between"), 5);
        QCOMPARE(rows(), (QStringList { "newest", "between", "middle", "oldest" }));
        QCOMPARE(insertedSpy.count(), 1);
        QCOMPARE(insertedSpy.at(0).at(1).toInt(), 1);
        QCOMPARE(countSpy.count(), 1);
        add(QStringLiteral("tied with middle"), 0);
        QCOMPARE(rows(), (QStringList { "newest", "between", "middle", "tied with middle", "oldest" }));
    }

    void removalTakesTheRowAway()
    {
        QSignalSpy removedSpy(m_model.get(), &QAbstractItemModel::rowsRemoved);
        m_store->remove(m_model->at(1));
        QCOMPARE(rows(), (QStringList { "newest", "oldest" }));
        QCOMPARE(removedSpy.count(), 1);
        QCOMPARE(m_model->count(), 2);
    }

    void fieldChangeRedrawsItsRow()
    {
        QSignalSpy changedSpy(m_model.get(), &QAbstractItemModel::dataChanged);
        m_model->at(2)->setName(QStringLiteral("renamed"));
        QCOMPARE(changedSpy.count(), 1);
        QCOMPARE(changedSpy.at(0).at(0).value<QModelIndex>().row(), 2);
        QCOMPARE(rows().at(2), QStringLiteral("renamed"));

        m_model->at(0)->appendEntry(storetest::fullEntry(3));
        QCOMPARE(changedSpy.last().at(0).value<QModelIndex>().row(), 0);
        QCOMPARE(m_model->index(0).data(WorkspaceListModel::EntryCountRole).toInt(), 2);
        QCOMPARE(m_model->index(0).data(WorkspaceListModel::RequiredMonitorCountRole).toInt(), 2);
    }

    void newCreationTimeMovesTheRow()
    {
        QSignalSpy movedSpy(m_model.get(), &QAbstractItemModel::rowsMoved);
        m_model->at(2)->setCreatedAt(m_base.addSecs(100));
        QCOMPARE(rows(), (QStringList { "oldest", "newest", "middle" }));
        m_model->at(0)->setCreatedAt(m_base.addSecs(-100));
        QCOMPARE(rows(), (QStringList { "newest", "middle", "oldest" }));
        m_model->at(0)->setCreatedAt(m_base.addSecs(-1));
        QCOMPARE(rows(), (QStringList { "middle", "newest", "oldest" }));
        QCOMPARE(movedSpy.count(), 3);
        // The store's own list agrees with the model.
        QCOMPARE(m_store->workspaces(), (QList<Workspace *> { m_model->at(0), m_model->at(1), m_model->at(2) }));
    }

    void reloadedChangesShowUp()
    {
        QVERIFY(m_store->save());
        {
            QString error;
            auto other = WorkspaceStore::open(m_dir.path(), &error);
            QVERIFY(other);
            other->workspaces().at(0)->setName(QStringLiteral("renamed elsewhere"));
            other->insert(Workspace::fromData(storetest::simpleWorkspace("from elsewhere", m_base.addSecs(3))));
            QVERIFY(other->save());
        }
        QVERIFY(m_store->reload());
        QCOMPARE(rows(), (QStringList { "renamed elsewhere", "from elsewhere", "middle", "oldest" }));
    }

    void reloadedEntryCountsShowUpWithoutLoading()
    {
        QVERIFY(m_store->save());
        m_tester.reset();
        m_model.reset();
        QString error;
        m_store = WorkspaceStore::open(m_dir.path(), &error);
        QVERIFY(m_store);
        QVERIFY(!m_store->hasUnsavedChanges());
        m_model = std::make_unique<WorkspaceListModel>(m_store.get());
        m_tester = std::make_unique<QAbstractItemModelTester>(
            m_model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(!m_model->at(1)->entriesLoaded());
        {
            auto other = WorkspaceStore::open(m_dir.path(), &error);
            QVERIFY(other);
            Workspace *middle = other->workspaces().at(1);
            middle->appendEntry(storetest::sparseEntry(QStringLiteral("website")))->setMonitorID(QStringLiteral("X"));
            QVERIFY(other->save());
        }
        QSignalSpy changedSpy(m_model.get(), &QAbstractItemModel::dataChanged);
        QVERIFY(m_store->reload());
        QCOMPARE(changedSpy.count(), 1);
        QCOMPARE(m_model->index(1).data(WorkspaceListModel::EntryCountRole).toInt(), 2);
        QCOMPARE(m_model->index(1).data(WorkspaceListModel::RequiredMonitorCountRole).toInt(), 2);
        QVERIFY(!m_model->at(1)->entriesLoaded());
        QVERIFY(!m_store->hasUnsavedChanges());
    }

    void storeGoingAwayEmptiesTheList()
    {
        QSignalSpy countSpy(m_model.get(), &WorkspaceListModel::countChanged);
        m_store.reset();
        QCOMPARE(m_model->rowCount(), 0);
        QCOMPARE(m_model->store(), nullptr);
        QCOMPARE(countSpy.count(), 1);
    }

    void switchingStoresResets()
    {
        QSignalSpy resetSpy(m_model.get(), &QAbstractItemModel::modelReset);
        m_model->setStore(nullptr);
        QCOMPARE(m_model->count(), 0);
        m_model->setStore(m_store.get());
        QCOMPARE(m_model->count(), 3);
        m_model->setStore(m_store.get());
        QCOMPARE(resetSpy.count(), 2);
    }
};

QTEST_GUILESS_MAIN(TestWorkspaceListModel)
#include "tst_workspacelistmodel.moc"
