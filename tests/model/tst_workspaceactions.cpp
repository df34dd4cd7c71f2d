// The shared store actions under a save that fails: the window keeps what the
// user did pending, a command takes it back, and a launch is counted either way.
#include "model/workspace.h"
#include "model/workspaceactions.h"
#include "model/workspaceentry.h"
#include "model/workspacestore.h"
#include "storetestdata.h"

#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDateTime now(QDate(2025, 3, 1), QTime(8, 0), Qt::UTC);

EntryData editor(double x)
{
    EntryData entry = storetest::sparseEntry(QStringLiteral("application"));
    entry.appBundleIdentifier = QStringLiteral("org.example.Editor");
    entry.frameX = x;
    return entry;
}

/// Holds the store file in another connection's exclusive transaction, so that
/// every save fails until it goes.
class SaveBlocker
{
public:
    explicit SaveBlocker(const QString &file)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        blocking = db.open() && QSqlQuery(db).exec(QStringLiteral("BEGIN EXCLUSIVE"));
    }
    ~SaveBlocker()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(name);
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    bool blocking = false;

private:
    const QString name = QStringLiteral("blocker");
};

} // namespace

class TestWorkspaceActions : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<WorkspaceStore> m_store;

    WorkspaceActions actions(WorkspaceActions::FailedSave policy)
    {
        return WorkspaceActions(*m_store, policy, [] { return now; });
    }

private slots:
    void init()
    {
        // Each test on a store of its own.
        m_folder = std::make_unique<QTemporaryDir>();
        QString error;
        m_store = WorkspaceStore::open(m_folder->filePath(QStringLiteral("store")), &error);
        QVERIFY2(m_store, qPrintable(error));
        m_store->setBusyTimeout(50);
    }

    void cleanup()
    {
        m_store.reset();
        m_folder.reset();
    }

    void theWindowKeepsAFailedCreationPending()
    {
        {
            SaveBlocker blocker(m_store->filePath());
            QVERIFY(blocker.blocking);
            const auto made = actions(WorkspaceActions::FailedSave::keepPending)
                                  .create(QStringLiteral("Dev"), QStringLiteral("hammer"),
                                      QStringLiteral("Development"), { editor(1), editor(2) });
            QVERIFY(!made.saved());
            QVERIFY(made.workspace);
            QCOMPARE(m_store->count(), 1);
            QVERIFY(m_store->hasUnsavedChanges());
        }
        // The next save that works writes it.
        QVERIFY(m_store->save());
        Workspace *stored = m_store->workspaces().first();
        QCOMPARE(stored->entryCount(), 2);
        QVERIFY(!stored->autoLaunch());
        QVERIFY(stored->restoreDocuments());
    }

    void aCommandTakesBackWhatItCouldNotSave()
    {
        auto withdraw = actions(WorkspaceActions::FailedSave::withdraw);
        Workspace *kept
            = withdraw.create(QStringLiteral("Kept"), {}, QStringLiteral("Office"), { editor(1) }).workspace;
        QVERIFY(kept);
        const QDateTime modified = kept->modifiedAt();
        SaveBlocker blocker(m_store->filePath());
        QVERIFY(blocker.blocking);

        const auto made = withdraw.create(QStringLiteral("Lost"), {}, QStringLiteral("Office"), { editor(3) });
        QVERIFY(!made.saved());
        QVERIFY(!made.workspace);
        QCOMPARE(m_store->count(), 1);

        const auto refreshed = withdraw.refresh(*kept, { editor(5), editor(6) });
        QVERIFY(!refreshed.saved());
        QCOMPARE(kept->entryCount(), 1);
        QCOMPARE(kept->entries().first()->frameX(), 1.0);
        QCOMPARE(kept->modifiedAt(), modified);
    }

    void aLaunchIsCountedEvenWhenTheSaveFails()
    {
        auto withdraw = actions(WorkspaceActions::FailedSave::withdraw);
        Workspace *workspace
            = withdraw.create(QStringLiteral("Mail"), {}, QStringLiteral("Office"), { editor(1) }).workspace;
        QVERIFY(workspace);
        SaveBlocker blocker(m_store->filePath());
        QVERIFY(blocker.blocking);
        const auto counted = withdraw.recordLaunch(*workspace);
        QVERIFY(!counted.saved());
        QCOMPARE(workspace->launchCount(), 1);
        QCOMPARE(workspace->lastLaunchedAt(), std::optional<QDateTime>(now));
        QCOMPARE(WorkspaceActions::entriesOf(*workspace).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestWorkspaceActions)
#include "tst_workspaceactions.moc"
