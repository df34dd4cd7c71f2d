// A store it cannot write: the file or its folder read-only, or a save that
// fails. The store opens, says so in writeProblem, and says it no more once a
// save went through.
#include "model/workspacestore.h"
#include "nonrootuser.h"
#include "storetestdata.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using storetest::fileHash;
using storetest::NonRootUser;

class TestStoreWriteProblem : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    const QDateTime m_base = QDateTime::fromMSecsSinceEpoch(1'700'000'000'000, Qt::UTC);

    QString filePath() const { return m_dir->filePath(WorkspaceStore::fileName()); }

    bool makeStore()
    {
        QString error;
        auto store = WorkspaceStore::open(m_dir->path(), &error);
        if (!store)
            return false;
        store->insert(Workspace::fromData(storetest::simpleWorkspace(QStringLiteral("kept"), m_base)));
        return store->save();
    }

    static void setMode(const QString &path, mode_t mode) { QCOMPARE(::chmod(QFile::encodeName(path), mode), 0); }

    // Opens as a user who may not write, changes a record, and expects the
    // store to say so at open and after the failed save, the file untouched.
    void expectReadOnlyStore(const QString &expectedPart)
    {
        const QByteArray before = fileHash(filePath());
        {
            NonRootUser user;
            if (!user.ok())
                QSKIP("cannot take the user id of nobody here");
            QString error;
            auto store = WorkspaceStore::open(m_dir->path(), &error);
            QVERIFY2(store, qPrintable(error));
            QCOMPARE(store->count(), 1);
            QVERIFY2(store->writeProblem().contains(expectedPart), qPrintable(store->writeProblem()));
            // The tray menu reads through a context of its own.
            const std::optional<QList<WorkspaceData>> fetched = store->fetchAll(true);
            QVERIFY(fetched);
            QCOMPARE(fetched->size(), 1);

            QSignalSpy changed(store.get(), &WorkspaceStore::writeProblemChanged);
            store->workspaces().at(0)->setName(QStringLiteral("lost"));
            QVERIFY(!store->save(&error));
            QVERIFY(!error.isEmpty());
            QCOMPARE(changed.count(), 1);
            QVERIFY2(
                store->writeProblem().contains(QStringLiteral("nicht gespeichert")), qPrintable(store->writeProblem()));
            QVERIFY(store->hasUnsavedChanges());
        }
        QCOMPARE(fileHash(filePath()), before);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(makeStore());
    }

    void cleanup()
    {
        setMode(m_dir->path(), 0700);
        m_dir.reset();
    }

    void writableStoreHasNoProblem()
    {
        QString error;
        auto store = WorkspaceStore::open(m_dir->path(), &error);
        QVERIFY(store);
        QCOMPARE(store->writeProblem(), QString());
    }

    void readOnlyFileIsReported()
    {
        setMode(filePath(), 0444);
        setMode(m_dir->path(), 0777);
        expectReadOnlyStore(QStringLiteral("schreibgeschützt"));
    }

    void readOnlyDirectoryIsReported()
    {
        setMode(filePath(), 0666);
        setMode(m_dir->path(), 0555);
        expectReadOnlyStore(QStringLiteral("Ordner"));
    }

    void failedSaveSetsTheProblemAndASaveClearsIt()
    {
        QString error;
        auto store = WorkspaceStore::open(m_dir->path(), &error);
        QVERIFY(store);
        store->setBusyTimeout(0);
        QSignalSpy changed(store.get(), &WorkspaceStore::writeProblemChanged);
        {
            // Another writer holds the write lock for the whole attempt.
            StoreConnection blocker(filePath(), StoreConnection::Mode::readWrite, QStringLiteral("blocker"));
            QSqlQuery lock(blocker.database());
            QVERIFY(lock.exec(QStringLiteral("BEGIN IMMEDIATE")));
            store->workspaces().at(0)->setName(QStringLiteral("later"));
            QVERIFY(!store->save(&error));
            QCOMPARE(changed.count(), 1);
            QVERIFY2(
                store->writeProblem().contains(QStringLiteral("nicht gespeichert")), qPrintable(store->writeProblem()));
            // The reason is part of it.
            QVERIFY2(store->writeProblem().contains(error), qPrintable(store->writeProblem()));
            QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
        }
        QVERIFY(store->save());
        QVERIFY(store->writeProblem().isEmpty());
        QCOMPARE(changed.count(), 2);
        QCOMPARE(storetest::rawSql(filePath(), "SELECT name FROM workspace").toString(), QStringLiteral("later"));
    }
};

QTEST_GUILESS_MAIN(TestStoreWriteProblem)
#include "tst_storewriteproblem.moc"
