// Launching from desktop entries, documents handed over unchanged, and polite quitting on the test desktop.
#include "snapshotlookup.h"
#include "testdesktop.h"

#include <QDir>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestX11Launch : public QObject
{
    Q_OBJECT

private:
    struct Outcome {
        int calls = 0;
        LaunchOutcome outcome;
    };

    DesktopPlatform::LaunchCompletion recorder(std::shared_ptr<Outcome> outcome)
    {
        return [outcome](const LaunchOutcome &reported) {
            ++outcome->calls;
            outcome->outcome = reported;
        };
    }

    std::shared_ptr<Outcome> launch(const QString &appId, const QList<QUrl> &urls = {})
    {
        auto outcome = std::make_shared<Outcome>();
        m_desktop->launch(LaunchRequest { appId, urls }, recorder(outcome));
        return outcome;
    }

    /// The argv lines the clients logged.
    QList<QStringList> launchedArguments()
    {
        QList<QStringList> result;
        for (const QJsonObject &line : m_fixture->clientLog()) {
            if (!line.contains(QLatin1String("argv")))
                continue;
            QStringList argv;
            for (const QJsonValue &value : line.value(QLatin1String("argv")).toArray())
                argv.append(value.toString());
            result.append(argv);
        }
        return result;
    }

    QStringList deleteEvents()
    {
        QStringList titles;
        for (const QJsonObject &line : m_fixture->clientLog()) {
            if (line.value(QLatin1String("event")).toString() == QLatin1String("WM_DELETE_WINDOW"))
                titles.append(line.value(QLatin1String("title")).toString());
        }
        return titles;
    }

    void quitApplication(const QString &appId)
    {
        if (const auto application = applicationWithId(m_desktop->snapshot(), appId))
            m_desktop->closeApplication(*application);
        QTRY_VERIFY_WITH_TIMEOUT(!running(appId), 5000);
    }

    bool running(const QString &appId) { return applicationWithId(m_desktop->snapshot(), appId).has_value(); }

    void closeApplicationOf(QProcess *client)
    {
        if (const auto application = applicationWithPid(m_desktop->snapshot(), client->processId()))
            m_desktop->closeApplication(*application);
    }

    std::unique_ptr<DesktopFixture> m_fixture;
    std::unique_ptr<X11Desktop> m_desktop;
    QTemporaryDir m_documents;

private slots:
    void initTestCase()
    {
        QString error;
        m_desktop = openTestDesktop(m_fixture, &error);
        QVERIFY2(m_desktop, qPrintable(error));
        QVERIFY(m_documents.isValid());
    }

    void init() { m_fixture->clearClientLog(); }

    void cleanup()
    {
        m_fixture->stopClients();
        m_fixture->clearDesktop();
        QTRY_VERIFY(!running(QStringLiteral("testapp-a")) && !running(QStringLiteral("testapp-b")));
    }

    void installedEntriesCanLaunch()
    {
        QVERIFY(m_desktop->canLaunch(QStringLiteral("testapp-a")));
        QVERIFY(m_desktop->canLaunch(QStringLiteral("testapp-c")));
        QVERIFY(!m_desktop->canLaunch(QStringLiteral("testapp-hidden")));
        QVERIFY(!m_desktop->canLaunch(QStringLiteral("no-such-application")));
        QVERIFY(!m_desktop->canLaunch(QString()));
    }

    void entryInstalledLaterCanLaunch()
    {
        QVERIFY(m_desktop->canLaunch(QStringLiteral("testapp-a")));
        const QString path = DesktopFixture::stateDir() + QStringLiteral("/data/applications/testapp-late.desktop");
        QFile entry(path);
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=Late\nExec=true\n");
        entry.close();
        // GIO learns of new entries through a file monitor, on its next turn of the event loop.
        QTRY_VERIFY(m_desktop->canLaunch(QStringLiteral("testapp-late")));
        QVERIFY(QFile::remove(path));
    }

    void launchReportsAtOnceAndTheWindowFollows()
    {
        QSignalSpy windowsChanged(m_desktop.get(), &DesktopPlatform::windowsChanged);
        const auto outcome = launch(QStringLiteral("testapp-a"));
        QCOMPARE(outcome->calls, 0);
        QTRY_COMPARE(outcome->calls, 1);
        QVERIFY(outcome->outcome.started);
        QCOMPARE(outcome->outcome.appId, QStringLiteral("testapp-a"));
        QVERIFY(outcome->outcome.pid);
        // The window is not waited for: whoever places it watches for it.
        QTRY_COMPARE_WITH_TIMEOUT(windowsWithPid(m_desktop->snapshot(), *outcome->outcome.pid).size(), 1, 10000);
        const auto application = applicationWithId(m_desktop->snapshot(), QStringLiteral("testapp-a"));
        QVERIFY(application);
        QCOMPARE(application->pids, QList<qint64> { *outcome->outcome.pid });
        // The client list changing is said, so nobody has to poll for the window.
        QVERIFY(windowsChanged.count() >= 1);
        // Exec parsed without a shell: the quoted title arrived as one argument.
        const QList<QStringList> argv = launchedArguments();
        QCOMPARE(argv.size(), 1);
        QVERIFY(argv.front().contains(QStringLiteral("Test A")));
        QTest::qWait(100);
        QCOMPARE(outcome->calls, 1);
        quitApplication(QStringLiteral("testapp-a"));
    }

    void runningApplicationIsBroughtForwardNotStartedAgain()
    {
        const auto first = launch(QStringLiteral("testapp-a"));
        QTRY_VERIFY_WITH_TIMEOUT(first->calls == 1 && first->outcome.started && first->outcome.pid, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(windowsWithPid(m_desktop->snapshot(), *first->outcome.pid).size(), 1, 10000);
        const WindowId firstWindow = windowsWithPid(m_desktop->snapshot(), *first->outcome.pid).front().id;
        // Another window is active meanwhile.
        QProcess *other = m_fixture->startClient({ "--class", "other,Other", "--title", "Other" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsWithPid(m_desktop->snapshot(), other->processId()).size(), 1, 5000);
        m_desktop->activate(windowsWithPid(m_desktop->snapshot(), other->processId()).front().id);
        QTRY_VERIFY(WindowId(m_fixture->activeWindow()) != firstWindow);

        const auto second = launch(QStringLiteral("testapp-a"));
        QTRY_COMPARE(second->calls, 1);
        QVERIFY(second->outcome.started);
        QCOMPARE(second->outcome.pid, first->outcome.pid);
        QCOMPARE(second->outcome.windows, QList<WindowId> { firstWindow });
        // The client started by hand and the first launch; no second copy.
        QCOMPARE(launchedArguments().size(), 2);
        QTRY_COMPARE(WindowId(m_fixture->activeWindow()), firstWindow);

        // Asked for a new window, a running application is started once more.
        const auto third = m_desktop.get();
        auto outcome = std::make_shared<Outcome>();
        third->launch(LaunchRequest { QStringLiteral("testapp-a"), {}, LaunchMode::newWindow }, recorder(outcome));
        QTRY_COMPARE(outcome->calls, 1);
        QVERIFY(outcome->outcome.started);
        QVERIFY(outcome->outcome.pid != first->outcome.pid);
        QTRY_COMPARE(launchedArguments().size(), 3);
        // Its window too, before both copies are asked to quit.
        QTRY_COMPARE_WITH_TIMEOUT(
            applicationWithId(m_desktop->snapshot(), QStringLiteral("testapp-a"))->windows.size(), 2, 10000);
        quitApplication(QStringLiteral("testapp-a"));
    }

    void documentsArriveUnchanged_data()
    {
        QTest::addColumn<QString>("application");
        QTest::newRow("paths (%F)") << QStringLiteral("testapp-a");
        QTest::newRow("URIs (%U)") << QStringLiteral("testapp-b");
    }

    void documentsArriveUnchanged()
    {
        QFETCH(QString, application);
        const QStringList names { QStringLiteral("with space.txt"), QStringLiteral("it's \"quoted\".txt"),
            QStringLiteral("$(touch pwned).txt"), QStringLiteral("-leading-dash.txt"),
            QStringLiteral("Größe – 日本語.txt"), QStringLiteral("100% `tick` ;&|.txt") };
        QList<QUrl> urls;
        QStringList paths;
        for (const QString &name : names) {
            const QString path = QDir(m_documents.path()).filePath(name);
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            paths.append(path);
            urls.append(QUrl::fromLocalFile(path));
        }
        const auto outcome = launch(application, urls);
        QTRY_COMPARE_WITH_TIMEOUT(outcome->calls, 1, 10000);
        QVERIFY(outcome->outcome.started);
        QCOMPARE(outcome->outcome.appId, application);
        QTRY_VERIFY_WITH_TIMEOUT(applicationWithId(m_desktop->snapshot(), application).has_value(), 10000);

        const QList<QStringList> argv = launchedArguments();
        QCOMPARE(argv.size(), 1);
        QStringList received;
        for (const QString &argument : argv.front()) {
            if (argument.startsWith(QLatin1String("file:")))
                received.append(QUrl(argument).toLocalFile());
            else if (argument.startsWith(QLatin1Char('/')))
                received.append(argument);
        }
        received.removeAll(DesktopFixture::clientPath());
        QCOMPARE(received, paths);
        QVERIFY(!QFile::exists(QDir(m_documents.path()).filePath(QStringLiteral("pwned"))));

        // A running application gets further documents through its entry; reported at once, as it runs.
        const auto again = launch(application, { urls.front() });
        QTRY_COMPARE(again->calls, 1);
        QVERIFY(again->outcome.started);
        QCOMPARE(again->outcome.pid, outcome->outcome.pid);
        QTRY_COMPARE(launchedArguments().size(), 2);
        // The test client is no single-instance program: a second copy shows a window of its own.
        QTRY_COMPARE_WITH_TIMEOUT(applicationWithId(m_desktop->snapshot(), application)->windows.size(), 2, 5000);
        quitApplication(application);
    }

    void programWithoutAWindowStillCountsAsStarted()
    {
        // Whether a window ever comes is for the placement to wait for, within the user's bound.
        QVERIFY(m_desktop->canLaunch(QStringLiteral("testapp-silent")));
        const auto outcome = launch(QStringLiteral("testapp-silent"));
        QTRY_COMPARE(outcome->calls, 1);
        QVERIFY(outcome->outcome.started);
        QVERIFY(outcome->outcome.pid);
        QVERIFY(outcome->outcome.windows.isEmpty());
    }

    void unknownApplicationFailsLater()
    {
        const auto outcome = launch(QStringLiteral("no-such-application"));
        QCOMPARE(outcome->calls, 0);
        QTRY_COMPARE(outcome->calls, 1);
        QVERIFY(!outcome->outcome.started);
        QCOMPARE(outcome->outcome.appId, QStringLiteral("no-such-application"));
    }

    void closeApplicationSendsDeleteWindowToEveryWindow()
    {
        QProcess *client
            = m_fixture->startClient({ "--class", "testapp-b,TestAppB", "--title", "First", "--title", "Second" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsWithPid(m_desktop->snapshot(), client->processId()).size(), 2, 5000);
        closeApplicationOf(client);
        QTRY_COMPARE(deleteEvents(), QStringList({ QStringLiteral("First"), QStringLiteral("Second") }));
        QTRY_COMPARE_WITH_TIMEOUT(client->state(), QProcess::NotRunning, 5000);
        QCOMPARE(client->exitCode(), 0);
    }

    void closeApplicationLeavesAnotherCopyAlone()
    {
        QProcess *kept = m_fixture->startClient({ "--class", "testapp-b,TestAppB", "--title", "Kept" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsWithPid(m_desktop->snapshot(), kept->processId()).size(), 1, 5000);
        DesktopApplication stale = *applicationWithPid(m_desktop->snapshot(), kept->processId());
        stale.pids = { 1 };
        stale.windows.clear();
        m_desktop->closeApplication(stale);
        QTest::qWait(200);
        QVERIFY(deleteEvents().isEmpty());
        QCOMPARE(kept->state(), QProcess::Running);
    }

    void windowWithoutDeleteProtocolIsClosedByTheWindowManager()
    {
        QProcess *client = m_fixture->startClient({ "--class", "stubborn,Stubborn", "--no-delete", "--title", "Old" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsWithPid(m_desktop->snapshot(), client->processId()).size(), 1, 5000);
        closeApplicationOf(client);
        // _NET_CLOSE_WINDOW: the window manager decides (openbox disconnects such a client).
        QTRY_COMPARE_WITH_TIMEOUT(client->state(), QProcess::NotRunning, 5000);
        QVERIFY(deleteEvents().isEmpty());
        QCOMPARE(m_desktop->strayErrorCount(), quint64(0));
    }
};

QTEST_GUILESS_MAIN(TestX11Launch)
#include "tst_x11launch.moc"
