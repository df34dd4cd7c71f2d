// The simulated desktop: scenario files, attribute writes, launches on virtual time, and the request log.
#include "automation/automationservice.h"
#include "automation/axattributes.h"
#include "platform/sim/simulateddesktop.h"
#include "platform/sim/virtualclock.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QPointF>
#include <QSizeF>
#include <QTest>
#include <QUrl>

namespace {

QString scenario(const char *name)
{
    return QStringLiteral(CORVALINT_SCENARIO_DIR "/") + QLatin1String(name);
}

QJsonObject parse(const char *json)
{
    return QJsonDocument::fromJson(json).object();
}

} // namespace

class TestSimulatedDesktop : public QObject
{
    Q_OBJECT

private slots:
    void scenarioFileDescribesWholeDesktop()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        QString error;
        QVERIFY2(desktop.loadScenario(scenario("two-monitors.json"), &error), qPrintable(error));
        QCOMPARE(desktop.screens().size(), 3);
        QCOMPARE(desktop.screens()[2].displayNumber, std::nullopt);
        QCOMPARE(desktop.displayUUID(2), QStringLiteral("9B41D7E2-5C3A-4F08-8D6E-7A1B2C3D4E02"));
        QCOMPARE(desktop.displayBounds(2), QRectF(1920, 0, 2560, 1440));
        QCOMPARE(desktop.mainScreenIndex(), 0);
        QCOMPARE(desktop.ownBundleIdentifier(), QStringLiteral("io.github.corvalint"));
        QCOMPARE(desktop.runningApplications().size(), 6);
        QCOMPARE(desktop.runningApplications()[4].activationPolicy, int(accessoryPolicy));
        QCOMPARE(desktop.copyWindowList(105), std::nullopt);
        QCOMPARE(desktop.applicationLocation(QStringLiteral("com.example.Editor")),
            QStringLiteral("/usr/share/applications/com.example.Editor.desktop"));
        QCOMPARE(desktop.fileStatus(QStringLiteral("/home/me/Projects")).isDirectory, true);
        QCOMPARE(desktop.fileStatus(QStringLiteral("/nowhere")).exists, false);

        const WindowRef palette = desktop.windowsOf(103).at(1);
        QCOMPARE(desktop.copyAttribute(palette, Ax::position), QVariant(QStringLiteral("top left")));
        QCOMPARE(desktop.copyAttribute(palette, Ax::size), QVariant(QSizeF(200, 5)));
    }

    void exampleScenarioCapturesAsDocumented()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        QVERIFY(desktop.loadScenario(scenario("two-monitors.json")));
        AutomationService service(desktop, clock);
        const QList<EntryData> entries = service.captureCurrentDesktop();
        QCOMPARE(entries.size(), 5);
        QCOMPARE(entries[0].websiteURL, QStringLiteral("https://example.com/news"));
        QCOMPARE(entries[1].monitorID, QStringLiteral("9B41D7E2-5C3A-4F08-8D6E-7A1B2C3D4E02"));
        QCOMPARE(entries[2].filePath, QStringLiteral("/home/me/Projects"));
        QCOMPARE(entries[3].typeRawValue, QStringLiteral("file"));
        QVERIFY(entries[3].isFullscreen);
        QCOMPARE(entries[4].typeRawValue, QStringLiteral("application"));
        QCOMPARE(entries[4].frameX, 0.0);
    }

    void secondScenarioLoads()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        QString error;
        QVERIFY2(desktop.loadScenario(scenario("untrusted-no-screens.json"), &error), qPrintable(error));
        QVERIFY(!desktop.isTrusted());
        QVERIFY(desktop.runScript(DocumentRole::browser1, QStringLiteral("com.google.Chrome")).failed);
        QCOMPARE(desktop.runScript(DocumentRole::ide, QStringLiteral("com.apple.dt.Xcode")).value,
            QVariant(QStringLiteral("/Users/me/App/App.xcodeproj")));
    }

    void malformedScenarioIsRefusedWithReason_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("where");
        QTest::newRow("unknown key") << QByteArray(R"({"screen": []})") << QStringLiteral("scenario");
        QTest::newRow("short bounds") << QByteArray(R"({"screens": [{"bounds": [0, 0, 10]}]})")
                                      << QStringLiteral("screens[0].bounds");
        QTest::newRow("negative display") << QByteArray(R"({"screens": [{"displayNumber": -1, "bounds": [0,0,1,1]}]})")
                                          << QStringLiteral("screens[0].displayNumber");
        QTest::newRow("main out of range") << QByteArray(R"({"mainScreen": 0})") << QStringLiteral("mainScreen");
        QTest::newRow("bad policy") << QByteArray(R"({"running": [{"policy": "sometimes"}]})")
                                    << QStringLiteral("running[0].policy");
        QTest::newRow("window key") << QByteArray(R"({"running": [{"windows": [{"title": "x"}]}]})")
                                    << QStringLiteral("running[0].windows[0]");
        QTest::newRow("no identifier") << QByteArray(R"({"installed": [{"location": "/x"}]})")
                                       << QStringLiteral("installed[0].bundleIdentifier");
        QTest::newRow("negative delay") << QByteArray(
            R"({"installed": [{"bundleIdentifier": "a", "launch": {"windowAfter": -1}}]})")
                                        << QStringLiteral("installed[0].launch.windowAfter");
        QTest::newRow("file kind") << QByteArray(R"({"files": {"/a": "link"}})") << QStringLiteral("files./a");
    }

    void malformedScenarioIsRefusedWithReason()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, where);
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        QString error;
        QVERIFY(!desktop.loadScenario(QJsonDocument::fromJson(json).object(), &error));
        QVERIFY2(error.startsWith(where + QStringLiteral(": ")), qPrintable(error));
        QCOMPARE(desktop.runningApplications().size(), 0);
        QVERIFY(!desktop.loadScenario(QStringLiteral("/nonexistent/scenario.json"), &error));
        QVERIFY(error.contains(QStringLiteral("/nonexistent/scenario.json")));
    }

    void writesUpdateWindowStateWhenTypesFit()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        SimApplication application;
        application.bundleIdentifier = QStringLiteral("a");
        application.windows = { simWindow(QStringLiteral("w"), QRectF(0, 0, 100, 100)) };
        const qint64 pid = desktop.addRunningApplication(application);
        const WindowRef window = desktop.windowsOf(pid).first();
        desktop.setAttribute(window, Ax::position, QPointF(5, 6));
        desktop.setAttribute(window, Ax::size, QPoint(7, 8));
        desktop.setAttribute(window, Ax::subrole, QString(Ax::fullScreenSubrole));
        QCOMPARE(desktop.copyAttribute(window, Ax::position), QVariant(QPointF(5, 6)));
        QCOMPARE(desktop.copyAttribute(window, Ax::size), QVariant(QSizeF(100, 100)));
        QCOMPARE(desktop.copyAttribute(window, Ax::subrole), QVariant(QStringLiteral("AXFullScreenWindow")));
        QCOMPARE(desktop.requests(QStringLiteral("setAttribute")).size(), 3);
        QCOMPARE(desktop.requests().first().processIdentifier, pid);
    }

    void untrustedDesktopAnswersNoWindowsAndTakesNoWrites()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        SimApplication application;
        application.windows = { simWindow(QStringLiteral("w"), QRectF(0, 0, 100, 100)) };
        const qint64 pid = desktop.addRunningApplication(application);
        const WindowRef window = desktop.windowsOf(pid).first();
        desktop.setTrusted(false);
        QCOMPARE(desktop.copyWindowList(pid), std::nullopt);
        QVERIFY(!desktop.copyAttribute(window, Ax::title).isValid());
        desktop.setAttribute(window, Ax::position, QPointF(5, 6));
        desktop.setTrusted(true);
        QCOMPARE(desktop.copyAttribute(window, Ax::position), QVariant(QPointF(0, 0)));
    }

    void launchCompletesAndShowsWindowsOnVirtualTime()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        SimLaunchPlan plan;
        plan.completionDelay = 0.3;
        plan.windowDelay = 1.0;
        desktop.installApplication({ QStringLiteral("app"), QStringLiteral("/apps/app"), plan });
        QList<double> completions;
        std::optional<RunningApplication> reported;
        const auto completion = [&](std::optional<RunningApplication> application) {
            completions.append(clock.now());
            reported = application;
        };
        desktop.openApplication(QStringLiteral("/apps/app"), completion);
        clock.advance(0.1);
        // A second open while the first is starting joins it instead of starting a second process.
        desktop.openApplication(QStringLiteral("/apps/app"), completion);
        clock.advance(0.3);
        QCOMPARE(completions, (QList<double> { 0.3, 0.3 }));
        QVERIFY(reported);
        QCOMPARE(desktop.runningApplications().size(), 1);
        QCOMPARE(desktop.windowsOf(reported->processIdentifier).size(), 0);
        clock.advance(0.6);
        QCOMPARE(desktop.windowsOf(reported->processIdentifier).size(), 1);

        // Running now: brought forward and reported at once.
        desktop.openApplication(QStringLiteral("/apps/app"), completion);
        clock.advance(0);
        QCOMPARE(completions.size(), 3);
        QCOMPARE(reported->processIdentifier, desktop.runningApplications().first().processIdentifier);
    }

    void unknownLocationReportsFailure()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        bool called = false;
        desktop.openDocuments({ QUrl(QStringLiteral("file:///a")) }, QStringLiteral("/nowhere"),
            [&](std::optional<RunningApplication> application) { called = !application; });
        QVERIFY(!called);
        clock.advance(0);
        QVERIFY(called);
    }

    void terminateEndsApplicationUnlessItRefuses()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        SimApplication stubborn;
        stubborn.bundleIdentifier = QStringLiteral("stubborn");
        stubborn.quitsOnTerminate = false;
        desktop.addRunningApplication(stubborn);
        SimApplication polite;
        polite.bundleIdentifier = QStringLiteral("polite");
        desktop.addRunningApplication(polite);
        for (const RunningApplication &application : desktop.runningApplications())
            desktop.terminate(application);
        QCOMPARE(desktop.runningApplications().size(), 1);
        QCOMPARE(desktop.runningApplications().first().bundleIdentifier, QStringLiteral("stubborn"));
    }

    void requestLogDumpsAsJsonLines()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        desktop.openURL(QUrl(QStringLiteral("https://example.com")));
        clock.advance(1.5);
        desktop.setAttribute(7, Ax::size, QSizeF(640, 480));
        const QList<QByteArray> lines = desktop.requestLogJsonLines().split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.last().isEmpty());
        const QJsonObject first = QJsonDocument::fromJson(lines[0]).object();
        QCOMPARE(first.value(QStringLiteral("action")).toString(), QStringLiteral("openURL"));
        QCOMPARE(first.value(QStringLiteral("url")).toString(), QStringLiteral("https://example.com"));
        const QJsonObject second = QJsonDocument::fromJson(lines[1]).object();
        QCOMPARE(second.value(QStringLiteral("time")).toDouble(), 1.5);
        QCOMPARE(second.value(QStringLiteral("value")).toArray(), (QJsonArray { 640, 480 }));
    }

    void resetDropsEventsOfTheEarlierDesktop()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        desktop.installApplication({ QStringLiteral("app"), QStringLiteral("/apps/app"), SimLaunchPlan {} });
        bool called = false;
        desktop.openApplication(QStringLiteral("/apps/app"), [&](auto) { called = true; });
        desktop.reset();
        QVERIFY(clock.runUntilIdle(10));
        QVERIFY(!called);
        QCOMPARE(desktop.runningApplications().size(), 0);
    }

    void inlineScenarioObjectLoads()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        QString error;
        const QJsonObject inlineScenario
            = parse("{\"profile\": {\"browsers\": [\"firefox-esr\"], \"fileManager\": \"org.gnome.Nautilus\"},"
                    " \"screens\": [{\"displayNumber\": 4294967295, \"bounds\": [0, 0, 800, 600]}],"
                    " \"mainScreen\": null,"
                    " \"scripts\": {\"firefox-esr\": [\"https://a\", null, 3, \"https://b\"]}}");
        QVERIFY2(desktop.loadScenario(inlineScenario, &error), qPrintable(error));
        QCOMPARE(desktop.profile().browsers[0], QStringLiteral("firefox-esr"));
        QCOMPARE(desktop.profile().browsers[1], QString());
        QCOMPARE(desktop.profile().ide, QString());
        QCOMPARE(desktop.mainScreenIndex(), std::nullopt);
        QCOMPARE(desktop.screens().first().displayNumber, 4294967295u);
        QCOMPARE(DocumentCollector::stringsFromResult(desktop.runScript(DocumentRole::browser0, "firefox-esr")),
            (QStringList { "https://a", "https://b" }));
    }
};

QTEST_GUILESS_MAIN(TestSimulatedDesktop)
#include "tst_simulateddesktop.moc"
