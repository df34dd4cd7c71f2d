// Store files of schema 1.0.0, one checked in and the others made here with
// that version's own statements:
// a writer upgrades them in place and keeps every row, a reader that may not
// write shows them unchanged, and a failed upgrade leaves the file as it was.
#include "model/workspacestore.h"
#include "nonrootuser.h"
#include "storetestdata.h"

#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using storetest::fileHash;
using storetest::NonRootUser;
using storetest::rawSql;

namespace {
// The statements of schema 1.0.0 as that version ran them.
const char *const kVersion100[] = {
    "PRAGMA journal_mode = WAL",
    "CREATE TABLE meta (key TEXT PRIMARY KEY NOT NULL, value TEXT)",
    "CREATE TABLE workspace ("
    " pk INTEGER PRIMARY KEY AUTOINCREMENT,"
    " id TEXT, name TEXT, icon TEXT, category TEXT,"
    " createdAt INTEGER, modifiedAt INTEGER,"
    " autoLaunch INTEGER, restoreDocuments INTEGER DEFAULT 1, isFavorite INTEGER,"
    " launchCount INTEGER, lastLaunchedAt INTEGER, timeSavedInSeconds REAL)",
    "CREATE TABLE entry ("
    " pk INTEGER PRIMARY KEY,"
    " workspace INTEGER REFERENCES workspace(pk) ON DELETE CASCADE,"
    " position INTEGER,"
    " id TEXT, typeRawValue TEXT, appBundleIdentifier TEXT, filePath TEXT, websiteURL TEXT, monitorID TEXT,"
    " frameX REAL, frameY REAL, width REAL, height REAL, isFullscreen INTEGER, delayAfterLaunch REAL,"
    " originalScreenX REAL, originalScreenY REAL, originalScreenWidth REAL, originalScreenHeight REAL)",
    "CREATE INDEX entry_by_workspace ON entry(workspace, monitorID)",
    "INSERT INTO meta (key, value) VALUES ('schemaVersion', '1.0.0')",
    "PRAGMA user_version = 10000",
    "INSERT INTO workspace VALUES (1, '0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D', 'Recherche', 'globe', 'Research',"
    " 1700000000000, 1700000001000, 1, 0, 1, 3, 1700000060000, 60.5)",
    "INSERT INTO workspace VALUES (2, '1A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D', 'Leer', 'star', 'Development',"
    " 1600000000000, 1600000000000, 0, 1, 0, 0, NULL, 0)",
    "INSERT INTO entry VALUES (1, 1, 0, '5154874A-992D-4637-8F0C-2E8A7B1C9D00', 'website', 'firefox-esr', NULL,"
    " 'https://example.org/', 'MON-1', 10, 20, 800, 600, 0, 0.5, 0, 0, 1920, 1080)",
    "INSERT INTO entry VALUES (2, 1, 1, '5154874A-992D-4637-8F0C-2E8A7B1C9D01', 'application', 'org.kde.kate',"
    " '/home/anna/plan.md', NULL, 'MON-2', -5.5, 0, 1280, 1000, 1, 2, NULL, NULL, NULL, NULL)",
};

bool makeVersion100Store(const QString &path)
{
    StoreConnection connection(path, StoreConnection::Mode::readWrite, QStringLiteral("old"));
    QSqlQuery query(connection.database());
    for (const char *statement : kVersion100) {
        if (!query.exec(QString::fromLatin1(statement))) {
            qWarning("%s: %s", statement, qPrintable(query.lastError().text()));
            return false;
        }
    }
    return true;
}

// The two entries as schema 1.0.0 holds them; the fields it lacks read as their defaults.
QList<EntryData> version100Entries()
{
    EntryData website;
    website.id = QUuid::fromString(QLatin1String("5154874A-992D-4637-8F0C-2E8A7B1C9D00"));
    website.typeRawValue = QStringLiteral("website");
    website.appBundleIdentifier = QStringLiteral("firefox-esr");
    website.websiteURL = QStringLiteral("https://example.org/");
    website.monitorID = QStringLiteral("MON-1");
    website.frameX = 10;
    website.frameY = 20;
    website.width = 800;
    website.height = 600;
    website.originalScreenX = 0;
    website.originalScreenY = 0;
    website.originalScreenWidth = 1920;
    website.originalScreenHeight = 1080;
    EntryData editor;
    editor.id = QUuid::fromString(QLatin1String("5154874A-992D-4637-8F0C-2E8A7B1C9D01"));
    editor.appBundleIdentifier = QStringLiteral("org.kde.kate");
    editor.filePath = QStringLiteral("/home/anna/plan.md");
    editor.monitorID = QStringLiteral("MON-2");
    editor.frameX = -5.5;
    editor.width = 1280;
    editor.height = 1000;
    editor.isFullscreen = true;
    editor.delayAfterLaunch = 2;
    return { website, editor };
}
} // namespace

class TestStoreUpgrade : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString filePath() const { return m_dir->filePath(WorkspaceStore::fileName()); }
    QString versionInFile() const
    {
        return rawSql(filePath(), QStringLiteral("SELECT value FROM meta WHERE key = 'schemaVersion'")).toString();
    }
    int userVersion() const { return rawSql(filePath(), QStringLiteral("PRAGMA user_version")).toInt(); }
    int entryColumnCount() const
    {
        return rawSql(filePath(), QStringLiteral("SELECT count(*) FROM pragma_table_info('entry')")).toInt();
    }

    static void expectVersion100Contents(const WorkspaceStore &store)
    {
        QCOMPARE(store.count(), 2);
        const Workspace *research = store.workspaces().at(0);
        QCOMPARE(research->name(), QStringLiteral("Recherche"));
        QCOMPARE(research->launchCount(), 3);
        QCOMPARE(research->restoreDocuments(), false);
        QCOMPARE(research->lastLaunchedAt(), QDateTime::fromMSecsSinceEpoch(1700000060000, Qt::UTC));
        const QList<EntryData> expected = version100Entries();
        QCOMPARE(research->entries().size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i)
            QCOMPARE(research->entries().at(i)->data(), expected.at(i));
        QCOMPARE(store.workspaces().at(1)->name(), QStringLiteral("Leer"));
        QVERIFY(store.workspaces().at(1)->entries().isEmpty());
        // The tray menu's read contexts see the same.
        const std::optional<QList<WorkspaceData>> fetched = store.fetchAll(true);
        QVERIFY(fetched);
        QCOMPARE(fetched->at(0).entries, expected);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(makeVersion100Store(filePath()));
        QCOMPARE(versionInFile(), QStringLiteral("1.0.0"));
    }

    void cleanup()
    {
        ::chmod(QFile::encodeName(m_dir->path()), 0700);
        m_dir.reset();
    }

    void aStoredVersionOneFileOpensAndUpgrades()
    {
        // The file checked in beside this test: made once with version 1.0.0's
        // statements and kept as it is, whatever the code above becomes.
        QFile::remove(filePath());
        QVERIFY(QFile::copy(QStringLiteral(CORVALINT_STORE_FIXTURES "/store-1.0.0.sqlite"), filePath()));
        QFile::setPermissions(filePath(), QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(versionInFile(), QStringLiteral("1.0.0"));
        {
            QString error;
            auto store = WorkspaceStore::open(m_dir->path(), &error);
            QVERIFY2(store, qPrintable(error));
            QVERIFY2(store->writeProblem().isEmpty(), qPrintable(store->writeProblem()));
            expectVersion100Contents(*store);
        }
        QCOMPARE(versionInFile(), QStringLiteral("1.2.0"));
        QCOMPARE(userVersion(), 10200);
    }

    void versionOneOneFileKeepsItsDesktopsAndGainsWindowTitles()
    {
        // A file as version 1.1.0 left it: the three columns it added, with a virtual desktop set.
        for (const char *statement : { "ALTER TABLE entry ADD COLUMN isMaximized INTEGER DEFAULT 0",
                 "ALTER TABLE entry ADD COLUMN additionalTabURLs TEXT",
                 "ALTER TABLE entry ADD COLUMN virtualDesktop INTEGER", "UPDATE entry SET virtualDesktop = 3",
                 "UPDATE meta SET value = '1.1.0' WHERE key = 'schemaVersion'", "PRAGMA user_version = 10100" })
            rawSql(filePath(), QString::fromLatin1(statement));
        QCOMPARE(versionInFile(), QStringLiteral("1.1.0"));
        {
            QString error;
            auto store = WorkspaceStore::open(m_dir->path(), &error);
            QVERIFY2(store, qPrintable(error));
            QVERIFY2(store->writeProblem().isEmpty(), qPrintable(store->writeProblem()));
            const WorkspaceEntry *entry = store->workspaces().at(0)->entries().at(0);
            QCOMPARE(entry->virtualDesktop(), std::optional<int>(3));
            QCOMPARE(entry->windowTitle(), std::nullopt);
        }
        QCOMPARE(versionInFile(), QStringLiteral("1.2.0"));
        QCOMPARE(userVersion(), 10200);
        QCOMPARE(rawSql(filePath(), QStringLiteral("SELECT count(*) FROM entry WHERE windowTitle IS NULL")).toInt(), 2);
    }

    void writerUpgradesInPlaceKeepingEveryRow()
    {
        const int columnsBefore = entryColumnCount();
        {
            QString error;
            auto store = WorkspaceStore::open(m_dir->path(), &error);
            QVERIFY2(store, qPrintable(error));
            QVERIFY2(store->writeProblem().isEmpty(), qPrintable(store->writeProblem()));
            expectVersion100Contents(*store);
        }
        QCOMPARE(versionInFile(), QStringLiteral("1.2.0"));
        QCOMPARE(userVersion(), 10200);
        QCOMPARE(entryColumnCount(), columnsBefore + 4);
        QCOMPARE(rawSql(filePath(), QStringLiteral("SELECT count(*) FROM entry WHERE isMaximized = 0")).toInt(), 2);

        // The new fields are written and read back from now on, and the
        // upgraded file opens again as a current one.
        {
            QString error;
            auto store = WorkspaceStore::open(m_dir->path(), &error);
            QVERIFY2(store, qPrintable(error));
            expectVersion100Contents(*store);
            WorkspaceEntry *website = store->workspaces().at(0)->entries().at(0);
            website->setIsMaximized(true);
            website->setAdditionalTabURLs({ QStringLiteral("https://example.org/b"), QStringLiteral("about:blank") });
            QVERIFY(store->save());
        }
        QString error;
        auto store = WorkspaceStore::open(m_dir->path(), &error);
        QVERIFY2(store, qPrintable(error));
        const EntryData website = store->workspaces().at(0)->entries().at(0)->data();
        QVERIFY(website.isMaximized);
        QCOMPARE(website.additionalTabURLs,
            QStringList({ QStringLiteral("https://example.org/b"), QStringLiteral("about:blank") }));
        QCOMPARE(website.appBundleIdentifier, QStringLiteral("firefox-esr"));
    }

    void readOnlyStoreReadsTheOlderFileWithoutWriting()
    {
        const QByteArray before = fileHash(filePath());
        ::chmod(QFile::encodeName(filePath()), 0444);
        ::chmod(QFile::encodeName(m_dir->path()), 0777);
        {
            NonRootUser user;
            if (!user.ok())
                QSKIP("cannot take the user id of nobody here");
            QString error;
            auto store = WorkspaceStore::open(m_dir->path(), &error);
            QVERIFY2(store, qPrintable(error));
            QVERIFY(!store->writeProblem().isEmpty());
            expectVersion100Contents(*store);
            QVERIFY(store->snapshot(&error));
        }
        QCOMPARE(fileHash(filePath()), before);
        QCOMPARE(versionInFile(), QStringLiteral("1.0.0"));
    }

    void failedUpgradeLeavesTheFileAsItWasAndReadable()
    {
        // The last step of the upgrade fails, after both columns were added.
        rawSql(filePath(),
            QStringLiteral("CREATE TRIGGER keep BEFORE UPDATE ON meta BEGIN SELECT RAISE(ABORT, 'kept'); END"));
        const QByteArray before = fileHash(filePath());
        const int columnsBefore = entryColumnCount();
        {
            QString error;
            auto store = WorkspaceStore::open(m_dir->path(), &error);
            QVERIFY2(store, qPrintable(error));
            QVERIFY2(store->writeProblem().contains(QStringLiteral("1.2.0")), qPrintable(store->writeProblem()));
            QVERIFY2(store->writeProblem().contains(QStringLiteral("kept")), qPrintable(store->writeProblem()));
            expectVersion100Contents(*store);
            // Nothing is written behind the upgrade's back either.
            store->workspaces().at(0)->setName(QStringLiteral("lost"));
            QVERIFY(!store->save());
        }
        QCOMPARE(fileHash(filePath()), before);
        QCOMPARE(versionInFile(), QStringLiteral("1.0.0"));
        QCOMPARE(userVersion(), 10000);
        QCOMPARE(entryColumnCount(), columnsBefore);

        // Once whatever stood in the way is gone, the next writer upgrades it.
        rawSql(filePath(), QStringLiteral("DROP TRIGGER keep"));
        QString error;
        auto store = WorkspaceStore::open(m_dir->path(), &error);
        QVERIFY2(store, qPrintable(error));
        QVERIFY(store->writeProblem().isEmpty());
        QCOMPARE(versionInFile(), QStringLiteral("1.2.0"));
    }

    void unknownVersionsAreStillRefused_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("reason");
        QTest::newRow("newer minor") << "1.3.0"
                                     << "newer version";
        QTest::newRow("newer major") << "2.0.0"
                                     << "newer version";
        QTest::newRow("unknown patch") << "1.0.1"
                                       << "unknown schema version";
    }

    void unknownVersionsAreStillRefused()
    {
        QFETCH(QString, version);
        QFETCH(QString, reason);
        rawSql(filePath(), QStringLiteral("UPDATE meta SET value = '%1' WHERE key = 'schemaVersion'").arg(version));
        const QByteArray before = fileHash(filePath());
        QString error;
        QVERIFY(!WorkspaceStore::open(m_dir->path(), &error));
        QVERIFY2(error.contains(reason), qPrintable(error));
        QCOMPARE(fileHash(filePath()), before);
    }

    void currentFileMissingANewColumnIsRefused()
    {
        {
            QString error;
            QVERIFY(WorkspaceStore::open(m_dir->path(), &error));
        }
        rawSql(filePath(), QStringLiteral("ALTER TABLE entry DROP COLUMN additionalTabURLs"));
        QString error;
        QVERIFY(!WorkspaceStore::open(m_dir->path(), &error));
        QVERIFY2(error.contains(QStringLiteral("additionalTabURLs")), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestStoreUpgrade)
#include "tst_storeupgrade.moc"
