// One writer: while Corvalint runs, the command line's changes are carried
// out by it, show up in its store at once, and neither side loses a write.
#include "app/instanceserver.h"
#include "cli/instancechannel.h"
#include "cli/storecommands.h"
#include "clirunner.h"
#include "model/workspacestore.h"

class TestOneWriter : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CliRunner> m_cli;
    std::unique_ptr<WorkspaceStore> m_store;
    std::unique_ptr<StoreCommands> m_commands;
    std::unique_ptr<InstanceServer> m_instance;
    int m_requests = 0;
    const QString desk = CliRunner::scenario(QStringLiteral("desk.json"));

    Workspace *named(const QString &name) const
    {
        for (Workspace *workspace : m_store->workspaces()) {
            if (workspace->name() == name)
                return workspace;
        }
        return nullptr;
    }

private slots:
    void init()
    {
        m_cli = std::make_unique<CliRunner>();
        qputenv("XDG_RUNTIME_DIR", m_cli->runtimePath().toLocal8Bit());
        QString error;
        m_store = WorkspaceStore::open(m_cli->dataPath(), &error);
        QVERIFY2(m_store, qPrintable(error));
        // The running application's own edits wait for its next save.
        m_store->setAutoSaveDelay(60 * 60 * 1000);
        m_commands = std::make_unique<StoreCommands>(*m_store);
        m_requests = 0;
        m_instance = std::make_unique<InstanceServer>([this](const QJsonObject &message) {
            ++m_requests;
            return m_commands->execute(message.value(QLatin1String("request")).toObject()).toJson();
        });
        const QString path = InstanceChannel::socketPath(m_cli->dataPath(), QStringLiteral(":42"));
        QCOMPARE(m_instance->claim(path, &error), InstanceServer::Claim::listening);
    }

    void cleanup()
    {
        m_instance.reset();
        m_commands.reset();
        m_store.reset();
        m_cli.reset();
    }

    void captureShowsUpInTheRunningStoreAtOnce()
    {
        const CliRun run
            = m_cli->run({ QStringLiteral("capture"), QStringLiteral("Live"), QStringLiteral("--desktop"), desk });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(m_requests, 1);
        Workspace *live = named(QStringLiteral("Live"));
        QVERIFY(live);
        QCOMPARE(live->entryCount(), 4);
    }

    void unsavedEditsOfTheApplicationSurviveCommandLineWrites()
    {
        auto *mine = new Workspace(
            QStringLiteral("Mine"), QStringLiteral("briefcase.fill"), QStringLiteral("Design"), false, true);
        m_store->insert(mine);
        QVERIFY(m_store->hasUnsavedChanges());

        QCOMPARE(m_cli->run({ QStringLiteral("capture"), QStringLiteral("Theirs"), QStringLiteral("--desktop"), desk })
                     .exitCode,
            0);
        mine->setName(QStringLiteral("Mine, renamed"));
        QCOMPARE(m_cli->run({ QStringLiteral("delete"), QStringLiteral("Theirs") }).exitCode, 0);
        QVERIFY(!named(QStringLiteral("Theirs")));

        // The command line lists what the application holds, unsaved edits included.
        const CliRun list = m_cli->run({ QStringLiteral("list") });
        QVERIFY2(list.out.contains(QStringLiteral("Mine, renamed")), qPrintable(list.out));
        QVERIFY(m_store->save());
        QString error;
        auto reread = WorkspaceStore::open(m_cli->dataPath(), &error);
        QVERIFY(reread);
        QCOMPARE(reread->count(), 1);
        QCOMPARE(reread->workspaces().first()->name(), QStringLiteral("Mine, renamed"));
    }

    void launchIsCountedInTheRunningStore()
    {
        QCOMPARE(
            m_cli->run({ QStringLiteral("capture"), QStringLiteral("Go"), QStringLiteral("--desktop"), desk }).exitCode,
            0);
        QCOMPARE(
            m_cli->run({ QStringLiteral("launch"), QStringLiteral("Go"), QStringLiteral("--desktop"), desk }).exitCode,
            0);
        QCOMPARE(named(QStringLiteral("Go"))->launchCount(), 1);
    }

    void withoutAnInstanceTheCommandLineWritesTheStoreItself()
    {
        m_instance.reset();
        QCOMPARE(m_cli->run({ QStringLiteral("capture"), QStringLiteral("Alone"), QStringLiteral("--desktop"), desk })
                     .exitCode,
            0);
        QCOMPARE(m_requests, 0);
        QVERIFY(!named(QStringLiteral("Alone")));
        QVERIFY(m_store->reload());
        QVERIFY(named(QStringLiteral("Alone")));
    }
};

QTEST_GUILESS_MAIN(TestOneWriter)
#include "tst_onewriter.moc"
