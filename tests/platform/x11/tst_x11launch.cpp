// Launching from desktop entries, documents handed over unchanged, and polite quitting on the test desktop.
#include "automation/axattributes.h"
#include "desktopfixture.h"
#include "platform/x11/x11desktop.h"

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

class TestX11Launch : public QObject
{
    Q_OBJECT

private:
    struct Outcome {
        bool called = false;
        std::optional<RunningApplication> application;
    };

    DesktopPlatform::LaunchCompletion recorder(std::shared_ptr<Outcome> outcome)
    {
        return [outcome](std::optional<RunningApplication> application) {
            QVERIFY(!outcome->called);
            outcome->called = true;
            outcome->application = application;
        };
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

    void quitApplication(const QString &identifier)
    {
        for (const RunningApplication &app : m_desktop->runningApplications()) {
            if (app.bundleIdentifier == identifier)
                m_desktop->terminate(app);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!running(identifier), 5000);
    }

    bool running(const QString &identifier)
    {
        for (const RunningApplication &app : m_desktop->runningApplications()) {
            if (app.bundleIdentifier == identifier)
                return true;
        }
        return false;
    }

    std::unique_ptr<DesktopFixture> m_fixture;
    std::unique_ptr<X11Desktop> m_desktop;
    QTemporaryDir m_documents;

private slots:
    void initTestCase()
    {
        DesktopFixture::prepareEnvironment();
        m_fixture = std::make_unique<DesktopFixture>();
        m_fixture->clearDesktop();
        QString error;
        m_desktop = X11Desktop::connect(QString(), &error);
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

    void cleanupTestCase()
    {
        m_desktop.reset();
        m_fixture.reset();
    }

    void installedEntriesHaveALocation()
    {
        const auto location = m_desktop->applicationLocation(QStringLiteral("testapp-a"));
        QVERIFY(location);
        QVERIFY(location->endsWith(QLatin1String("/applications/testapp-a.desktop")));
        QVERIFY(m_desktop->applicationLocation(QStringLiteral("testapp-c")));
        QCOMPARE(m_desktop->applicationLocation(QStringLiteral("testapp-hidden")), std::nullopt);
        QCOMPARE(m_desktop->applicationLocation(QStringLiteral("no-such-application")), std::nullopt);
    }

    void launchReportsTheApplicationOnceItsWindowShows()
    {
        const auto location = m_desktop->applicationLocation(QStringLiteral("testapp-a"));
        QVERIFY(location);
        auto outcome = std::make_shared<Outcome>();
        m_desktop->openApplication(*location, recorder(outcome));
        QVERIFY(!outcome->called);
        QTRY_VERIFY_WITH_TIMEOUT(outcome->called, 10000);
        QVERIFY(outcome->application);
        QCOMPARE(outcome->application->bundleIdentifier, QStringLiteral("testapp-a"));
        QTRY_COMPARE(m_desktop->copyWindowList(outcome->application->processIdentifier).value_or(QList<WindowRef>()).size(), 1);
        // Exec parsed without a shell: the quoted title arrived as one argument.
        const QList<QStringList> argv = launchedArguments();
        QCOMPARE(argv.size(), 1);
        QVERIFY(argv.front().contains(QStringLiteral("Test A")));
        quitApplication(QStringLiteral("testapp-a"));
    }

    void runningApplicationIsBroughtForwardNotStartedAgain()
    {
        const QString location = *m_desktop->applicationLocation(QStringLiteral("testapp-a"));
        auto first = std::make_shared<Outcome>();
        m_desktop->openApplication(location, recorder(first));
        QTRY_VERIFY_WITH_TIMEOUT(first->called && first->application, 10000);
        auto second = std::make_shared<Outcome>();
        m_desktop->openApplication(location, recorder(second));
        QTRY_VERIFY(second->called);
        QCOMPARE(second->application, first->application);
        QCOMPARE(launchedArguments().size(), 1);
        const WindowRef window = m_desktop->copyWindowList(first->application->processIdentifier)->front();
        QTRY_VERIFY(m_desktop->copyAttribute(window, Ax::main).toBool());
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
        const QStringList names{QStringLiteral("with space.txt"), QStringLiteral("it's \"quoted\".txt"),
                                QStringLiteral("$(touch pwned).txt"), QStringLiteral("-leading-dash.txt"),
                                QStringLiteral("Größe – 日本語.txt"), QStringLiteral("100% `tick` ;&|.txt")};
        QList<QUrl> urls;
        QStringList paths;
        for (const QString &name : names) {
            const QString path = QDir(m_documents.path()).filePath(name);
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            paths.append(path);
            urls.append(QUrl::fromLocalFile(path));
        }
        auto outcome = std::make_shared<Outcome>();
        m_desktop->openDocuments(urls, *m_desktop->applicationLocation(application), recorder(outcome));
        QTRY_VERIFY_WITH_TIMEOUT(outcome->called, 10000);
        QVERIFY(outcome->application);
        QCOMPARE(outcome->application->bundleIdentifier, application);

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
        quitApplication(application);
    }

    void launchWithoutAWindowFailsAfterTheWait()
    {
        const auto location = m_desktop->applicationLocation(QStringLiteral("testapp-silent"));
        QVERIFY(location);
        auto outcome = std::make_shared<Outcome>();
        m_desktop->openApplication(*location, recorder(outcome));
        QTRY_VERIFY_WITH_TIMEOUT(outcome->called, X11Desktop::launchTimeoutMs + 5000);
        QVERIFY(!outcome->application);
    }

    void unloadableEntryFailsLater()
    {
        auto outcome = std::make_shared<Outcome>();
        m_desktop->openApplication(QStringLiteral("/no/such/entry.desktop"), recorder(outcome));
        QVERIFY(!outcome->called);
        QTRY_VERIFY(outcome->called);
        QVERIFY(!outcome->application);
    }

    void terminateSendsDeleteWindowToEveryWindow()
    {
        QProcess *client = m_fixture->startClient({"--class", "testapp-b,TestAppB", "--title", "First",
                                                   "--title", "Second"});
        QTRY_COMPARE_WITH_TIMEOUT(m_desktop->copyWindowList(client->processId()).value_or(QList<WindowRef>()).size(), 2, 5000);
        for (const RunningApplication &app : m_desktop->runningApplications()) {
            if (app.processIdentifier == client->processId())
                m_desktop->terminate(app);
        }
        QTRY_COMPARE(deleteEvents(), QStringList({QStringLiteral("First"), QStringLiteral("Second")}));
        QTRY_COMPARE_WITH_TIMEOUT(client->state(), QProcess::NotRunning, 5000);
        QCOMPARE(client->exitCode(), 0);
    }

    void windowWithoutDeleteProtocolIsClosedByTheWindowManager()
    {
        QProcess *client = m_fixture->startClient({"--class", "stubborn,Stubborn", "--no-delete", "--title", "Old"});
        QTRY_COMPARE_WITH_TIMEOUT(m_desktop->copyWindowList(client->processId()).value_or(QList<WindowRef>()).size(), 1, 5000);
        for (const RunningApplication &app : m_desktop->runningApplications()) {
            if (app.processIdentifier == client->processId())
                m_desktop->terminate(app);
        }
        // _NET_CLOSE_WINDOW: the window manager decides (openbox disconnects such a client).
        QTRY_COMPARE_WITH_TIMEOUT(client->state(), QProcess::NotRunning, 5000);
        QVERIFY(deleteEvents().isEmpty());
        QCOMPARE(m_desktop->strayErrorCount(), quint64(0));
    }
};

QTEST_GUILESS_MAIN(TestX11Launch)
#include "tst_x11launch.moc"
