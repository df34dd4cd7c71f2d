// How the store fails: refused files stay byte-identical, a failed save
// keeps its change for the next one, and odd stored values never crash.
#include "model/workspacestore.h"
#include "storetestdata.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using storetest::fileHash;
using storetest::rawSql;

class TestStoreFailures : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    const QDateTime m_base = QDateTime::fromMSecsSinceEpoch(1'700'000'000'000, Qt::UTC);

    QString filePath() const { return m_dir.filePath(WorkspaceStore::fileName()); }

    void removeStoreFiles()
    {
        for (const QString &suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm") })
            QFile::remove(filePath() + suffix);
    }

    // A closed store of several pages, so that truncation can cut pages off.
    QByteArray makeStoreFile()
    {
        removeStoreFiles();
        {
            QString error;
            auto store = WorkspaceStore::open(m_dir.path(), &error);
            if (!store)
                return {};
            for (int i = 0; i < 40; ++i)
                store->insert(Workspace::fromData(storetest::simpleWorkspace(QString::number(i), m_base, 5)));
            if (!store->save())
                return {};
        }
        QFile file(filePath());
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

    void writeFile(const QByteArray &bytes)
    {
        removeStoreFiles();
        QFile file(filePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    struct Snapshot {
        QByteArray hash;
        qint64 size = -1;
        ino_t inode = 0;
        bool operator==(const Snapshot &) const = default;
    };

    Snapshot snapshot() const
    {
        struct stat info {
        };
        ::stat(QFile::encodeName(filePath()).constData(), &info);
        return { fileHash(filePath()), QFileInfo(filePath()).size(), info.st_ino };
    }

    // Opens, expects a refusal with a description, and the file untouched.
    void expectRefusedAndUntouched(const QString &expectedPart)
    {
        const Snapshot before = snapshot();
        QString error;
        auto store = WorkspaceStore::open(m_dir.path(), &error);
        QVERIFY(!store);
        QVERIFY2(error.contains(expectedPart, Qt::CaseInsensitive), qPrintable(error));
        QVERIFY(snapshot() == before);
        // Refusing twice changes nothing either.
        QVERIFY(!WorkspaceStore::open(m_dir.path(), &error));
        QVERIFY(snapshot() == before);
    }

private slots:
    void garbageIsRefused()
    {
        QByteArray garbage(8192, Qt::Uninitialized);
        for (int i = 0; i < garbage.size(); ++i)
            garbage[i] = char((i * 7919 + 13) % 251);
        writeFile(garbage);
        expectRefusedAndUntouched(QStringLiteral("not a SQLite database"));
    }

    void emptyFileIsRefused()
    {
        writeFile({});
        expectRefusedAndUntouched(QStringLiteral("empty"));
    }

    void truncatedFileIsRefused_data()
    {
        QTest::addColumn<int>("cut");
        QTest::newRow("at a page boundary") << 0;
        QTest::newRow("inside a page") << 1000;
        QTest::newRow("inside the header") << -1;
    }

    void truncatedFileIsRefused()
    {
        QFETCH(int, cut);
        const QByteArray whole = makeStoreFile();
        QVERIFY(whole.size() >= 4 * 4096);
        const qsizetype length = cut < 0 ? 60 : (whole.size() / 2 / 4096) * 4096 + cut;
        writeFile(whole.left(length));
        expectRefusedAndUntouched(cut < 0 ? QStringLiteral("too short") : QStringLiteral("truncated"));
    }

    void damagedPageIsRefused_data()
    {
        QTest::addColumn<int>("pageFromEnd");
        QTest::addColumn<QString>("reason");
        QTest::newRow("schema page") << -1 << "malformed";
        QTest::newRow("data page") << 3 << "damaged";
    }

    void damagedPageIsRefused()
    {
        QFETCH(int, pageFromEnd);
        QFETCH(QString, reason);
        QByteArray bytes = makeStoreFile();
        QVERIFY(!bytes.isEmpty());
        const qsizetype page = pageFromEnd < 0 ? 1 : bytes.size() / 4096 - pageFromEnd;
        for (qsizetype i = page * 4096; i < page * 4096 + 600; ++i)
            bytes[i] = char(0xA5 ^ i);
        writeFile(bytes);
        expectRefusedAndUntouched(reason);
    }

    void newerSchemaVersionIsRefused()
    {
        QVERIFY(!makeStoreFile().isEmpty());
        rawSql(filePath(), QStringLiteral("UPDATE meta SET value = '2.1.0' WHERE key = 'schemaVersion'"));
        expectRefusedAndUntouched(QStringLiteral("newer version"));
    }

    void newerUserVersionIsRefused()
    {
        QVERIFY(!makeStoreFile().isEmpty());
        rawSql(filePath(), QStringLiteral("PRAGMA user_version = 20000"));
        expectRefusedAndUntouched(QStringLiteral("newer version"));
    }

    void foreignDatabaseIsRefused()
    {
        removeStoreFiles();
        rawSql(filePath(), QStringLiteral("CREATE TABLE notes (body TEXT)"));
        rawSql(filePath(), QStringLiteral("INSERT INTO notes VALUES ('mine')"));
        expectRefusedAndUntouched(QStringLiteral("not a Corvalint store"));
    }

    void storeMissingAColumnIsRefused()
    {
        QVERIFY(!makeStoreFile().isEmpty());
        rawSql(filePath(), QStringLiteral("ALTER TABLE entry DROP COLUMN frameX"));
        expectRefusedAndUntouched(QStringLiteral("frameX"));
    }

    void databaseWithoutTablesIsSetUp()
    {
        removeStoreFiles();
        rawSql(filePath(), QStringLiteral("VACUUM"));
        QVERIFY(QFileInfo(filePath()).size() > 0);
        QString error;
        auto store = WorkspaceStore::open(m_dir.path(), &error);
        QVERIFY2(store, qPrintable(error));
        store->insert(Workspace::fromData(storetest::simpleWorkspace("first", m_base)));
        QVERIFY(store->save());
        QCOMPARE(rawSql(filePath(), "SELECT value FROM meta WHERE key = 'schemaVersion'").toString(),
            QStringLiteral("1.2.0"));
    }

    void directoryThatIsAFileIsRefused()
    {
        const QString blocker = m_dir.filePath(QStringLiteral("plain-file"));
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QString error;
        QVERIFY(!WorkspaceStore::open(blocker, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!WorkspaceStore::open(QString(), &error));
        QVERIFY(!error.isEmpty());
    }

    void failedSaveKeepsTheChangeForTheNextSave()
    {
        removeStoreFiles();
        QString error;
        auto store = WorkspaceStore::open(m_dir.path(), &error);
        QVERIFY(store);
        auto *changed = Workspace::fromData(storetest::simpleWorkspace("before", m_base, 2));
        auto *doomed = Workspace::fromData(storetest::simpleWorkspace("doomed", m_base, 2));
        store->insert(changed);
        store->insert(doomed);
        QVERIFY(store->save());
        store->setBusyTimeout(0);

        {
            // Another writer holds the write lock for the whole attempt.
            StoreConnection blocker(filePath(), StoreConnection::Mode::readWrite, QStringLiteral("blocker"));
            QSqlQuery lock(blocker.database());
            QVERIFY(lock.exec(QStringLiteral("BEGIN IMMEDIATE")));

            changed->setName(QStringLiteral("after"));
            changed->appendEntry(storetest::fullEntry(5));
            store->remove(doomed);
            store->insert(Workspace::fromData(storetest::simpleWorkspace("added", m_base.addSecs(1), 1)));
            QSignalSpy failed(store.get(), &WorkspaceStore::saveFailed);
            QVERIFY(!store->save(&error));
            QVERIFY(!error.isEmpty());
            QCOMPARE(failed.count(), 1);
            QVERIFY(store->hasUnsavedChanges());
            QCOMPARE(changed->name(), QStringLiteral("after"));
            QCOMPARE(store->count(), 2);
            QCOMPARE(store->addWorkspaces({ storetest::simpleWorkspace("import", m_base) }, &error), -1);
            QCOMPARE(store->count(), 2);
            QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
        }
        QCOMPARE(rawSql(filePath(), "SELECT count(*) FROM workspace WHERE name = 'before'").toInt(), 1);

        QVERIFY(store->save(&error));
        QVERIFY(!store->hasUnsavedChanges());
        store.reset();
        store = WorkspaceStore::open(m_dir.path(), &error);
        QVERIFY(store);
        QStringList names;
        for (const Workspace *w : store->workspaces())
            names.append(w->name());
        QCOMPARE(names, (QStringList { "added", "after" }));
        QCOMPARE(store->workspaces().at(1)->entryCount(), 3);
        QCOMPARE(rawSql(filePath(), "SELECT count(*) FROM entry").toInt(), 4);
    }

    void failedFetchGivesNothing()
    {
        removeStoreFiles();
        QString error;
        auto store = WorkspaceStore::open(m_dir.path(), &error);
        QVERIFY(store);
        QVERIFY(store->fetchAll(true).has_value());
        removeStoreFiles();
        QCOMPARE(store->fetchAll(true), std::nullopt);
        QCOMPARE(store->fetchAll(false), std::nullopt);
    }

    void oddStoredValuesReadAsDefaults()
    {
        QVERIFY(!makeStoreFile().isEmpty());
        const QStringList damage { "DELETE FROM workspace WHERE pk > 2",
            "UPDATE workspace SET name = NULL, createdAt = 'yesterday', launchCount = 'many', isFavorite = NULL,"
            " restoreDocuments = NULL, timeSavedInSeconds = X'00FF', lastLaunchedAt = 'never', id = 'not-a-uuid'"
            " WHERE pk = 1",
            "UPDATE entry SET frameX = 'left', typeRawValue = NULL, id = 42, position = NULL, monitorID = NULL,"
            " originalScreenX = 'wide', isFullscreen = 'perhaps' WHERE workspace = 1",
            "INSERT INTO entry (workspace, id, frameX) VALUES (999, 'orphan', 1)",
            "INSERT INTO entry (workspace, id) VALUES ('two', 'stray')", "INSERT INTO workspace (pk) VALUES (77)",
            "UPDATE workspace SET createdAt = '2024-05-01T10:00:00.000Z' WHERE pk = 2" };
        for (const QString &sql : damage) {
            bool ok = false;
            rawSql(filePath(), sql, &ok);
            QVERIFY2(ok, qPrintable(sql));
        }

        QString error;
        auto store = WorkspaceStore::open(m_dir.path(), &error);
        QVERIFY2(store, qPrintable(error));
        QCOMPARE(store->count(), 3);
        Workspace *odd = nullptr;
        for (Workspace *w : store->workspaces()) {
            if (w->name().isEmpty() && w->entryCount() == 5)
                odd = w;
        }
        QVERIFY(odd);
        QVERIFY(!odd->createdAt().isValid());
        QCOMPARE(odd->launchCount(), 0);
        QCOMPARE(odd->isFavorite(), false);
        QCOMPARE(odd->restoreDocuments(), true);
        QCOMPARE(odd->lastLaunchedAt(), std::nullopt);
        QVERIFY(!odd->id().isNull());
        const QUuid derived = odd->id();
        const WorkspaceEntry *entry = odd->entries().at(0);
        QCOMPARE(entry->frameX(), 0.0);
        QCOMPARE(entry->typeRawValue(), QStringLiteral("application"));
        QCOMPARE(entry->originalScreenX(), std::nullopt);
        QCOMPARE(entry->monitorID(), std::nullopt);
        QCOMPARE(odd->requiredMonitorCount(), 1);
        // The ISO text date of the other row is understood.
        QCOMPARE(store->workspaces().at(0)->createdAt(), QDateTime(QDate(2024, 5, 1), QTime(10, 0), Qt::UTC));
        const auto fetched = store->fetchAll(true);
        QVERIFY(fetched);
        QCOMPARE(fetched->size(), 3);

        // The stand-in id is the same on every open, so the tray menu finds it again.
        store.reset();
        store = WorkspaceStore::open(m_dir.path(), &error);
        QVERIFY(store->find(derived));
    }
};

QTEST_GUILESS_MAIN(TestStoreFailures)
#include "tst_storefailures.moc"
