// What the store keeps across a reopen: every field and absence, the entry
// order, the cascade, the order of the lists, imports and reloads.
#include "model/workspacestore.h"
#include "storetestdata.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using storetest::rawSql;

class TestStorePersistence : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    const QDateTime m_base = QDateTime::fromMSecsSinceEpoch(1'700'000'000'123, Qt::UTC);

    std::unique_ptr<WorkspaceStore> openStore()
    {
        QString error;
        auto store = WorkspaceStore::open(m_dir.path(), &error);
        if (!store)
            qWarning("open failed: %s", qPrintable(error));
        return store;
    }

    QString filePath() const { return m_dir.filePath(WorkspaceStore::fileName()); }

    // A store that lives for the rest of the test function.
    WorkspaceStore *store()
    {
        if (!m_open)
            m_open = openStore();
        return m_open.get();
    }
    std::unique_ptr<WorkspaceStore> m_open;

    static QStringList names(const QList<Workspace *> &workspaces)
    {
        QStringList result;
        for (const Workspace *w : workspaces)
            result.append(w->name());
        return result;
    }

    static QStringList names(const QList<WorkspaceData> &workspaces)
    {
        QStringList result;
        for (const WorkspaceData &w : workspaces)
            result.append(w.name);
        return result;
    }

private slots:
    void cleanup() { m_open.reset(); }

    void init()
    {
        QFile::remove(filePath());
        QVERIFY(m_dir.isValid());
    }

    void newStoreIsEmpty()
    {
        auto store = openStore();
        QVERIFY(store);
        QCOMPARE(store->count(), 0);
        QCOMPARE(store->fetchAll(true)->size(), 0);
        QCOMPARE(rawSql(filePath(), "SELECT value FROM meta WHERE key = 'schemaVersion'").toString(),
            QStringLiteral("1.2.0"));
        QCOMPARE(rawSql(filePath(), "PRAGMA journal_mode").toString(), QStringLiteral("wal"));
    }

    void reopenKeepsEveryFieldAndAbsence()
    {
        const WorkspaceData full = storetest::fullWorkspace(QStringLiteral("full"), m_base);
        WorkspaceData bare;
        bare.name = QStringLiteral("bare");
        bare.createdAt = m_base.addSecs(-10);
        bare.modifiedAt = bare.createdAt;
        {
            auto store = openStore();
            store->insert(Workspace::fromData(full));
            store->insert(Workspace::fromData(bare));
            QVERIFY(store->save());
        }
        auto store = openStore();
        QCOMPARE(store->count(), 2);
        QCOMPARE(store->workspaces().at(0)->data(), full);
        QCOMPARE(store->workspaces().at(1)->data(), bare);
        // Absent stays absent in the file too, not 0 or "".
        QCOMPARE(rawSql(filePath(), "SELECT count(*) FROM entry WHERE originalScreenX IS NULL").toInt(), 2);
        QCOMPARE(rawSql(filePath(), "SELECT count(*) FROM entry WHERE additionalTabURLs IS NULL").toInt(), 2);
        QCOMPARE(rawSql(filePath(), "SELECT count(*) FROM workspace WHERE lastLaunchedAt IS NULL").toInt(), 1);
        QCOMPARE(rawSql(filePath(), "SELECT count(*) FROM entry WHERE monitorID = ''").toInt(), 1);
        QCOMPARE(rawSql(filePath(), "SELECT count(*) FROM entry WHERE appBundleIdentifier = ''").toInt(), 1);
        const std::optional<QString> emptyMonitor = store->workspaces().at(0)->entries().at(1)->monitorID();
        QVERIFY(emptyMonitor.has_value());
        QVERIFY(emptyMonitor->isEmpty());
    }

    void reopenKeepsTheEntryOrderAfterEdits()
    {
        {
            auto store = openStore();
            auto *w = Workspace::fromData(storetest::simpleWorkspace("w", m_base, 0));
            store->insert(w);
            for (int i = 0; i < 6; ++i)
                w->appendEntry(storetest::fullEntry(i))->setFrameX(i);
            QVERIFY(store->save());
            store->removeEntry(w->entries().at(2));
            w->appendEntry(storetest::fullEntry(9))->setFrameX(9);
            QVERIFY(store->save());
        }
        auto store = openStore();
        QList<double> order;
        for (const WorkspaceEntry *e : store->workspaces().at(0)->entries())
            order.append(e->frameX());
        QCOMPARE(order, (QList<double> { 0, 1, 3, 4, 5, 9 }));
    }

    void storedPositionsDecideTheOrder()
    {
        {
            auto store = openStore();
            auto *w = Workspace::fromData(storetest::simpleWorkspace("w", m_base, 0));
            for (int i = 0; i < 4; ++i)
                w->appendEntry(storetest::fullEntry(i))->setFrameX(i);
            store->insert(w);
            store->insert(Workspace::fromData(storetest::simpleWorkspace("other", m_base.addSecs(-1), 2)));
            QVERIFY(store->save());
        }
        // Another writer reversed the positions without moving the rows.
        rawSql(filePath(), "UPDATE entry SET position = 10 - position WHERE workspace = 1");
        const QList<double> reversed { 3, 2, 1, 0 };
        // Held here: a range-for over a member of the temporary would read freed memory.
        const std::optional<QList<WorkspaceData>> all = store()->fetchAll(true);
        QVERIFY(all);
        QList<double> fetched;
        for (const EntryData &e : all->first().entries)
            fetched.append(e.frameX);
        QCOMPARE(fetched, reversed);
        QList<double> loaded;
        for (const WorkspaceEntry *e : store()->workspaces().first()->entries())
            loaded.append(e->frameX());
        QCOMPARE(loaded, reversed);
    }

    void unknownTextIsKept()
    {
        WorkspaceData w = storetest::simpleWorkspace("odd", m_base, 1);
        w.category = QStringLiteral("video editing");
        w.entries[0].typeRawValue = QStringLiteral("Hologram");
        {
            auto store = openStore();
            store->insert(Workspace::fromData(w));
            QVERIFY(store->save());
        }
        auto store = openStore();
        QCOMPARE(store->workspaces().at(0)->category(), QStringLiteral("video editing"));
        QCOMPARE(store->workspaces().at(0)->entries().at(0)->typeRawValue(), QStringLiteral("Hologram"));
        QCOMPARE(store->workspaces().at(0)->entries().at(0)->type(), EntryType::application);
    }

    void deleteCascadesToEntries()
    {
        auto store = openStore();
        auto *doomed = Workspace::fromData(storetest::simpleWorkspace("doomed", m_base, 3));
        auto *kept = Workspace::fromData(storetest::simpleWorkspace("kept", m_base, 2));
        store->insert(doomed);
        store->insert(kept);
        QVERIFY(store->save());
        QCOMPARE(rawSql(filePath(), "SELECT count(*) FROM entry").toInt(), 5);

        QSignalSpy removed(store.get(), &WorkspaceStore::workspaceRemoved);
        QPointer<Workspace> watch(doomed);
        store->remove(doomed);
        QCOMPARE(removed.count(), 1);
        QVERIFY(store->save());
        QCOMPARE(rawSql(filePath(), "SELECT count(*) FROM workspace").toInt(), 1);
        QCOMPARE(rawSql(filePath(), "SELECT count(*) FROM entry").toInt(), 2);
        QCOMPARE(
            rawSql(filePath(), "SELECT count(*) FROM entry WHERE workspace NOT IN (SELECT pk FROM workspace)").toInt(),
            0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(watch.isNull());
        QCOMPARE(store->workspaces(), QList<Workspace *> { kept });
    }

    void removingOneEntryDeletesOnlyItsRow()
    {
        auto store = openStore();
        auto *w = Workspace::fromData(storetest::simpleWorkspace("w", m_base, 3));
        store->insert(w);
        QVERIFY(store->save());
        const QString id = w->entries().at(1)->id().toString(QUuid::WithoutBraces);
        store->removeEntry(w->entries().at(1));
        QVERIFY(store->save());
        QCOMPARE(rawSql(filePath(), "SELECT count(*) FROM entry").toInt(), 2);
        QCOMPARE(rawSql(filePath(), QStringLiteral("SELECT count(*) FROM entry WHERE id = '%1'").arg(id)).toInt(), 0);
    }

    void newestFirstWithStableTies()
    {
        // A older, B C D share one instant, E oldest.
        const QList<std::pair<QString, QDateTime>> made { { "A", m_base }, { "B", m_base.addSecs(5) },
            { "C", m_base.addSecs(5) }, { "D", m_base.addSecs(5) }, { "E", m_base.addSecs(-5) } };
        const QStringList expected { "B", "C", "D", "A", "E" };
        {
            auto store = openStore();
            for (const auto &[name, at] : made)
                store->insert(Workspace::fromData(storetest::simpleWorkspace(name, at)));
            QCOMPARE(names(store->workspaces()), expected);
            QVERIFY(store->save());
            QCOMPARE(names(store->workspaces()), expected);
            for (int i = 0; i < 3; ++i)
                QCOMPARE(names(*store->fetchAll(true)), expected);
            QCOMPARE(names(*store->fetchAll(false)), (QStringList { "A", "B", "C", "D", "E" }));
            // One more at the shared instant lands after the saved ones, saved or not.
            store->insert(Workspace::fromData(storetest::simpleWorkspace("F", m_base.addSecs(5))));
            QCOMPARE(names(store->workspaces()), (QStringList { "B", "C", "D", "F", "A", "E" }));
        }
        auto store = openStore();
        QCOMPARE(names(store->workspaces()), (QStringList { "B", "C", "D", "F", "A", "E" }));
        QCOMPARE(names(*store->fetchAll(true)), (QStringList { "B", "C", "D", "F", "A", "E" }));
        // A changed createdAt re-sorts the main context.
        store->workspaces().last()->setCreatedAt(m_base.addSecs(50));
        QCOMPARE(names(store->workspaces()).first(), QStringLiteral("E"));
    }

    void summariesCountAsTheFullReadDoesWithoutReadingEntries()
    {
        auto store = openStore();
        store->insert(Workspace::fromData(storetest::fullWorkspace("full", m_base)));
        store->insert(Workspace::fromData(storetest::simpleWorkspace("simple", m_base.addSecs(5), 3)));
        store->insert(Workspace::fromData(storetest::simpleWorkspace("none", m_base.addSecs(-5), 0)));
        WorkspaceData mixed = storetest::simpleWorkspace("mixed", m_base.addSecs(9), 0);
        for (const std::optional<QString> &monitor : { std::optional<QString>(), std::optional<QString>(QString()),
                 std::optional<QString>("A"), std::optional<QString>("A"), std::optional<QString>("B") }) {
            EntryData entry = storetest::sparseEntry(QStringLiteral("application"));
            entry.monitorID = monitor;
            mixed.entries.append(entry);
        }
        store->insert(Workspace::fromData(mixed));
        QVERIFY(store->save());

        const auto full = store->fetchAll(true);
        const auto summaries = store->fetchSummaries();
        QVERIFY(full && summaries);
        QCOMPARE(summaries->size(), full->size());
        for (qsizetype i = 0; i < full->size(); ++i) {
            const WorkspaceSummary expected = WorkspaceSummary::of(full->at(i));
            const WorkspaceSummary &got = summaries->at(i);
            QCOMPARE(got.id, expected.id);
            QCOMPARE(got.name, expected.name);
            QCOMPARE(got.icon, expected.icon);
            QCOMPARE(got.entryCount, expected.entryCount);
            QCOMPARE(got.requiredMonitorCount, expected.requiredMonitorCount);
        }
        // The empty identifier counts as a monitor of its own, an absent one does not.
        QCOMPARE(summaries->first().name, QStringLiteral("mixed"));
        QCOMPARE(summaries->first().requiredMonitorCount, 3);
    }

    void createdWorkspaceIsFirstInTheNextFetch()
    {
        auto store = openStore();
        store->insert(Workspace::fromData(storetest::simpleWorkspace("old", m_base)));
        QVERIFY(store->save());
        store->insert(
            new Workspace(QStringLiteral("new"), QStringLiteral("star"), QStringLiteral("Design"), false, true));
        QVERIFY(store->save());
        QCOMPARE(store->fetchAll(true)->first().name, QStringLiteral("new"));
    }

    void findReturnsTheFirstInStoreOrder()
    {
        auto store = openStore();
        WorkspaceData first = storetest::simpleWorkspace("first", m_base);
        WorkspaceData twin = storetest::simpleWorkspace("twin", m_base.addSecs(9));
        twin.id = first.id;
        store->insert(Workspace::fromData(first));
        store->insert(Workspace::fromData(twin));
        QCOMPARE(store->find(first.id)->name(), QStringLiteral("first"));
        QCOMPARE(store->find(QUuid::createUuid()), nullptr);
    }

    void changesSaveThemselves()
    {
        auto store = openStore();
        store->setAutoSaveDelay(20);
        auto *w = Workspace::fromData(storetest::simpleWorkspace("w", m_base));
        store->insert(w);
        QVERIFY(store->save());
        QSignalSpy saved(store.get(), &WorkspaceStore::saved);
        w->setAutoLaunch(true);
        QVERIFY(store->hasUnsavedChanges());
        QVERIFY(saved.wait(5000));
        QVERIFY(!store->hasUnsavedChanges());
        QCOMPARE(rawSql(filePath(), "SELECT autoLaunch FROM workspace").toInt(), 1);
    }

    void closingSavesWhatIsPending()
    {
        {
            auto store = openStore();
            auto *w = Workspace::fromData(storetest::simpleWorkspace("w", m_base));
            store->insert(w);
            w->setRestoreDocuments(false);
        }
        auto store = openStore();
        QCOMPARE(store->count(), 1);
        QCOMPARE(store->workspaces().at(0)->restoreDocuments(), false);
    }

    void entriesStayInTheFileUntilRead()
    {
        {
            auto store = openStore();
            store->insert(Workspace::fromData(storetest::fullWorkspace("w", m_base)));
            QVERIFY(store->save());
        }
        auto store = openStore();
        Workspace *w = store->workspaces().at(0);
        QVERIFY(!w->entriesLoaded());
        const int count = w->entryCount();
        const int monitors = w->requiredMonitorCount();
        // A field change writes the row alone and leaves the entries intact.
        w->setIsFavorite(false);
        QVERIFY(store->save());
        QVERIFY(!w->entriesLoaded());
        QCOMPARE(rawSql(filePath(), "SELECT count(*) FROM entry").toInt(), 4);
        w->entries();
        QVERIFY(w->entriesLoaded());
        QCOMPARE(w->entryCount(), count);
        QCOMPARE(w->requiredMonitorCount(), monitors);
        QCOMPARE(monitors, 3); // two full entries on distinct monitors and one empty-string id
    }

    void addWorkspacesSkipsKnownIds()
    {
        auto store = openStore();
        const WorkspaceData known = storetest::simpleWorkspace("known", m_base);
        store->insert(Workspace::fromData(known));
        QVERIFY(store->save());
        WorkspaceData knownAgain = known;
        knownAgain.name = QStringLiteral("imported twin");
        const WorkspaceData fresh = storetest::fullWorkspace("fresh", m_base.addSecs(1));
        const WorkspaceData other = storetest::simpleWorkspace("other", m_base.addSecs(-1), 3);
        QSignalSpy inserted(store.get(), &WorkspaceStore::workspaceInserted);
        QString error;
        QCOMPARE(store->addWorkspaces({ knownAgain, fresh, other, fresh }, &error), 2);
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(names(store->workspaces()), (QStringList { "fresh", "known", "other" }));
        QVERIFY(!store->hasUnsavedChanges());
        QCOMPARE(names(*store->fetchAll(true)), (QStringList { "fresh", "known", "other" }));
        QCOMPARE(store->fetchAll(true)->first(), fresh);
        QCOMPARE(store->addWorkspaces({ fresh }, &error), 0);
    }

    void reloadPicksUpAnotherWriter()
    {
        auto mine = openStore();
        auto *kept = Workspace::fromData(storetest::simpleWorkspace("kept", m_base, 2));
        auto *vanishing = Workspace::fromData(storetest::simpleWorkspace("vanishing", m_base.addSecs(-1)));
        mine->insert(kept);
        mine->insert(vanishing);
        QVERIFY(mine->save());
        WorkspaceEntry *shownEntry = kept->entries().at(0);

        {
            auto theirs = openStore();
            Workspace *theirKept = theirs->find(kept->id());
            theirKept->setName(QStringLiteral("renamed"));
            theirKept->entries().at(0)->setFrameX(4242);
            theirKept->appendEntry(storetest::fullEntry(7));
            theirs->remove(theirs->find(vanishing->id()));
            theirs->insert(Workspace::fromData(storetest::simpleWorkspace("arrived", m_base.addSecs(3))));
            QVERIFY(theirs->save());
        }

        QSignalSpy inserted(mine.get(), &WorkspaceStore::workspaceInserted);
        QSignalSpy removed(mine.get(), &WorkspaceStore::workspaceRemoved);
        QVERIFY(mine->reload());
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(names(mine->workspaces()), (QStringList { "arrived", "renamed" }));
        QCOMPARE(mine->workspaces().at(1), kept);
        QCOMPARE(kept->entryCount(), 3);
        QCOMPARE(kept->entries().at(0), shownEntry);
        QCOMPARE(shownEntry->frameX(), 4242.0);
        // Applying the file's state is no change of ours.
        QVERIFY(!mine->hasUnsavedChanges());
    }

    void fatalMessageNamesTheContainer()
    {
        QCOMPARE(WorkspaceStore::fatalMessage(QStringLiteral("disk on fire")),
            QStringLiteral("Could not create ModelContainer: disk on fire"));
    }

    void defaultDirectoryHonoursTheEnvironment()
    {
        qputenv("CORVALINT_DATA_DIR", "/tmp/somewhere-else");
        QCOMPARE(WorkspaceStore::defaultDirectory(), QStringLiteral("/tmp/somewhere-else"));
        qunsetenv("CORVALINT_DATA_DIR");
        QVERIFY(WorkspaceStore::defaultDirectory().endsWith(QStringLiteral("/corvalint")));
    }
};

QTEST_GUILESS_MAIN(TestStorePersistence)
#include "tst_storepersistence.moc"
