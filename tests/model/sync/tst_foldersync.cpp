// Two stores kept in step through one folder: both directions, concurrent edits, deletions, a half-written file.
#include "../storetestdata.h"
#include "model/sync/foldersync.h"
#include "model/sync/syncfile.h"
#include "model/workspace.h"
#include "model/workspacestore.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

namespace {

const QDateTime base = QDateTime(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC);

struct Computer {
    QTemporaryDir dir;
    std::unique_ptr<WorkspaceStore> store;
    std::unique_ptr<FolderSync> sync;

    Computer(const QString &folder, const QString &name)
    {
        QString error;
        store = WorkspaceStore::open(dir.path(), &error);
        if (!store)
            qFatal("store: %s", qPrintable(error));
        sync = std::make_unique<FolderSync>(*store, folder, name);
    }

    QStringList names() const
    {
        QStringList list;
        for (const Workspace *workspace : store->workspaces())
            list.append(workspace->name());
        list.sort();
        return list;
    }
};

} // namespace

class TestFolderSync : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;

    void add(Computer &computer, const WorkspaceData &data)
    {
        QString error;
        QCOMPARE(computer.store->addWorkspaces({ data }, &error), 1);
    }

    void edit(Computer &computer, const QUuid &id, const QString &name, const QDateTime &when)
    {
        Workspace *workspace = computer.store->find(id);
        QVERIFY(workspace);
        workspace->setName(name);
        workspace->setModifiedAt(when);
        QVERIFY(computer.store->save());
    }

private slots:
    void init()
    {
        for (const QString &name : QDir(m_folder.path()).entryList(QDir::Files))
            QFile::remove(QDir(m_folder.path()).filePath(name));
    }

    void workspacesTravelBothWaysWithTheirEntries()
    {
        Computer a(m_folder.path(), QStringLiteral("laptop"));
        Computer b(m_folder.path(), QStringLiteral("desktop"));
        const WorkspaceData onA = storetest::fullWorkspace(QStringLiteral("Schnitt"), base);
        add(a, onA);
        add(b, storetest::simpleWorkspace(QStringLiteral("Code"), base));
        a.sync->start();
        b.sync->start();
        a.sync->syncNow();
        QCOMPARE(a.names(), (QStringList { QStringLiteral("Code"), QStringLiteral("Schnitt") }));
        QCOMPARE(b.names(), a.names());
        // Every field of every entry arrives, the window titles and desktops included.
        Workspace *arrived = b.store->find(onA.id);
        QVERIFY(arrived);
        QCOMPARE(arrived->data(), onA);
        QVERIFY(QFile::exists(QDir(m_folder.path()).filePath(QStringLiteral("Corvalint-laptop.workspace"))));

        // Nothing is left to exchange: a further round changes nothing on either side.
        QSignalSpy aSynced(a.sync.get(), &FolderSync::synced);
        QSignalSpy bSynced(b.sync.get(), &FolderSync::synced);
        a.sync->syncNow();
        b.sync->syncNow();
        QCOMPARE(aSynced.value(0).value(0).toBool(), false);
        QCOMPARE(bSynced.value(0).value(0).toBool(), false);
    }

    void theNewerOfTwoConcurrentEditsWinsOnBoth()
    {
        Computer a(m_folder.path(), QStringLiteral("laptop"));
        Computer b(m_folder.path(), QStringLiteral("desktop"));
        const WorkspaceData shared = storetest::simpleWorkspace(QStringLiteral("Recherche"), base);
        add(a, shared);
        a.sync->start();
        b.sync->start();
        QCOMPARE(b.names(), QStringList { QStringLiteral("Recherche") });

        // Both edit before either has seen the other's change; the later edit is B's.
        edit(a, shared.id, QStringLiteral("Recherche A"), base.addSecs(10));
        edit(b, shared.id, QStringLiteral("Recherche B"), base.addSecs(20));
        a.sync->syncNow();
        b.sync->syncNow();
        a.sync->syncNow();
        QCOMPARE(a.names(), QStringList { QStringLiteral("Recherche B") });
        QCOMPARE(b.names(), QStringList { QStringLiteral("Recherche B") });
        QCOMPARE(a.store->find(shared.id)->modifiedAt(), base.addSecs(20));
    }

    void aDeletionTravelsAndAnOlderCopyDoesNotBringItBack()
    {
        Computer a(m_folder.path(), QStringLiteral("laptop"));
        Computer b(m_folder.path(), QStringLiteral("desktop"));
        const WorkspaceData doomed = storetest::simpleWorkspace(QStringLiteral("Alt"), base);
        add(a, doomed);
        add(a, storetest::simpleWorkspace(QStringLiteral("Bleibt"), base));
        a.sync->start();
        b.sync->start();
        QCOMPARE(b.names().size(), 2);

        a.store->remove(a.store->find(doomed.id));
        QVERIFY(a.store->save());
        a.sync->syncNow();
        // B's file still holds the workspace, but the deletion is newer than its last change.
        QCOMPARE(a.names(), QStringList { QStringLiteral("Bleibt") });
        b.sync->syncNow();
        QCOMPARE(b.names(), QStringList { QStringLiteral("Bleibt") });
        a.sync->syncNow();
        QCOMPARE(a.names(), QStringList { QStringLiteral("Bleibt") });

        // After a restart the deletion is still known from the computer's own file: an old copy that turns
        // up later (a computer that was away) does not bring it back.
        QVERIFY(QFile::remove(b.sync->ownFilePath()));
        QFile old(QDir(m_folder.path()).filePath(QStringLiteral("Corvalint-away.workspace")));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(SyncFile::serialize(SyncFileContent { { doomed }, {} }));
        old.close();
        a.sync.reset();
        a.sync = std::make_unique<FolderSync>(*a.store, m_folder.path(), QStringLiteral("laptop"));
        a.sync->start();
        QCOMPARE(a.names(), QStringList { QStringLiteral("Bleibt") });
    }

    void aHalfWrittenFileIsLeftUntilItIsComplete()
    {
        Computer a(m_folder.path(), QStringLiteral("laptop"));
        add(a, storetest::simpleWorkspace(QStringLiteral("Fern"), base));
        a.sync->start();
        QFile own(a.sync->ownFilePath());
        QVERIFY(own.open(QIODevice::ReadOnly));
        const QByteArray whole = own.readAll();
        own.close();

        Computer b(m_folder.path(), QStringLiteral("desktop"));
        const QString other = QDir(m_folder.path()).filePath(QStringLiteral("Corvalint-tablet.workspace"));
        QFile half(other);
        QVERIFY(half.open(QIODevice::WriteOnly));
        half.write(whole.left(whole.size() / 2));
        half.close();
        QFile::remove(a.sync->ownFilePath());
        b.sync->start();
        QCOMPARE(b.names(), QStringList {});
        QVERIFY(b.sync->problem().contains(QStringLiteral("Corvalint-tablet.workspace")));

        QVERIFY(half.open(QIODevice::WriteOnly));
        half.write(whole);
        half.close();
        b.sync->syncNow();
        QCOMPARE(b.names(), QStringList { QStringLiteral("Fern") });
        QVERIFY(b.sync->problem().isEmpty());
    }

    void aChangedFileInTheFolderIsNoticed()
    {
        Computer a(m_folder.path(), QStringLiteral("laptop"));
        Computer b(m_folder.path(), QStringLiteral("desktop"));
        a.sync->start();
        b.sync->setSettleMs(20);
        b.sync->start();
        add(a, storetest::simpleWorkspace(QStringLiteral("Neu"), base));
        a.sync->syncNow();
        QTRY_COMPARE(b.names(), QStringList { QStringLiteral("Neu") });
        // And once more after the file was replaced (a new file under the same name).
        edit(a, a.store->workspaces().front()->id(), QStringLiteral("Neuer"), base.addSecs(5));
        a.sync->syncNow();
        QTRY_COMPARE(b.names(), QStringList { QStringLiteral("Neuer") });
    }

    void syncFilesStayImportableBackups()
    {
        SyncFileContent content;
        content.workspaces = { storetest::simpleWorkspace(QStringLiteral("X"), base) };
        content.tombstones = { SyncTombstone { QUuid::createUuid(), base } };
        const QByteArray bytes = SyncFile::serialize(content);
        SyncFileContent back;
        QString error;
        QVERIFY2(SyncFile::parse(bytes, back, &error), qPrintable(error));
        QCOMPARE(back.workspaces, content.workspaces);
        QCOMPARE(back.tombstones, content.tombstones);
        QVERIFY(SyncFile::fileNameFor(QStringLiteral("../evil")).startsWith(QStringLiteral("Corvalint-")));
        QVERIFY(!SyncFile::fileNameFor(QStringLiteral("../evil")).contains(QLatin1Char('/')));
    }
};

QTEST_GUILESS_MAIN(TestFolderSync)
#include "tst_foldersync.moc"
