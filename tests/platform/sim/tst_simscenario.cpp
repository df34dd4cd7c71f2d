// Scenario files: every shipped and documented one loads, typed keys and the old keys describe the same desktop, and
// malformed parts are refused with the key that is wrong.
#include "platform/sim/simulateddesktop.h"
#include "platform/sim/virtualclock.h"
#include "snapshottext.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTest>

namespace {

QJsonObject parse(const char *json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        qFatal("test scenario is not JSON: %s", qPrintable(error.errorString()));
    return document.object();
}

QString scenario(const char *name)
{
    return QStringLiteral(CORVALINT_SOURCE_DIR "/tests/platform/sim/scenarios/") + QLatin1String(name);
}

QStringList scenarioFiles(const QString &directory)
{
    QStringList paths;
    const QDir dir(directory);
    for (const QString &name : dir.entryList({ QStringLiteral("*.json") }, QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

} // namespace

class TestSimScenario : public QObject
{
    Q_OBJECT

private slots:
    void everyShippedScenarioLoads_data()
    {
        QTest::addColumn<QString>("path");
        const QString root = QStringLiteral(CORVALINT_SOURCE_DIR);
        QStringList paths = scenarioFiles(root + QStringLiteral("/tests/platform/sim/scenarios"))
            + scenarioFiles(root + QStringLiteral("/tests/cli/scenarios"));
        QVERIFY(paths.size() >= 6);
        for (const QString &path : std::as_const(paths)) {
            // The command line's tests keep one file broken on purpose.
            if (!path.endsWith(QLatin1String("/malformed.json")))
                QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
        }
    }

    void everyShippedScenarioLoads()
    {
        QFETCH(QString, path);
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        QString error;
        QVERIFY2(desktop.loadScenario(path, &error), qPrintable(error));
    }

    void everyDocumentedScenarioLoads()
    {
        QFile file(QStringLiteral(CORVALINT_SOURCE_DIR "/docs/scenario-format.md"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        static const QRegularExpression block(
            QStringLiteral("```json\\n(.*?)```"), QRegularExpression::DotMatchesEverythingOption);
        int scenarios = 0;
        for (const QRegularExpressionMatch &match : block.globalMatch(text)) {
            const QJsonDocument document = QJsonDocument::fromJson(match.captured(1).toUtf8());
            // Request log lines are not one object, and single log lines name an action.
            if (!document.isObject() || document.object().contains(QLatin1String("action")))
                continue;
            VirtualClock clock;
            SimulatedDesktop desktop(clock);
            QString error;
            QVERIFY2(desktop.loadScenario(document.object(), &error), qPrintable(error));
            ++scenarios;
        }
        QVERIFY(scenarios >= 2);
    }

    void typedKeysDescribeTheSameDesktopAsTheOldKeys()
    {
        VirtualClock clock;
        SimulatedDesktop old(clock);
        SimulatedDesktop typed(clock);
        QString error;
        QVERIFY2(old.loadScenario(scenario("same-desktop-attributes.json"), &error), qPrintable(error));
        QVERIFY2(typed.loadScenario(scenario("same-desktop-typed.json"), &error), qPrintable(error));
        QCOMPARE(snapshottext::lines(typed.snapshot()), snapshottext::lines(old.snapshot()));
        QCOMPARE(typed.ownAppId(), old.ownAppId());
        QCOMPARE(typed.canControlWindows(), old.canControlWindows());
        QCOMPARE(typed.canLaunch(QStringLiteral("org.example.Viewer")), true);
        const qint64 editor = typed.processIdentifierOf(QStringLiteral("org.example.Editor"));
        QVERIFY(typed.window(typed.windowsOf(editor).at(3))->refusesWrites);
        QVERIFY(old.window(old.windowsOf(editor).at(3))->refusesWrites);
    }

    void typedKeysReachWhatTheOldKeysCouldNot()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        QString error;
        QVERIFY2(desktop.loadScenario(scenario("typed-only.json"), &error), qPrintable(error));
        QVERIFY(!desktop.canControlWindows());
        const QList<DesktopMonitor> monitors = desktop.monitors();
        QCOMPARE(monitors.size(), 2);
        QCOMPARE(monitors[0].identifier, QStringLiteral("LEFT"));
        QCOMPARE(monitors[0].connector, QStringLiteral("DP-1"));
        QVERIFY(!monitors[0].primary);
        QVERIFY(monitors[1].primary);
        QCOMPARE(monitors[1].identifier, std::nullopt);
        QCOMPARE(desktop.snapshot().focusedMonitor, std::nullopt);

        const QList<WindowId> windows
            = desktop.windowsOf(desktop.processIdentifierOf(QStringLiteral("org.example.Paint")));
        const SimWindow tools = *desktop.window(windows[0]);
        QCOMPARE(tools.kind, WindowKind::utility);
        QCOMPARE(tools.desktop, allDesktops);
        const SimWindow canvas = *desktop.window(windows[1]);
        QVERIFY(canvas.state.isMaximized());
        QVERIFY(canvas.state.minimized);
        QVERIFY(!canvas.state.fullScreen);
        QCOMPARE(canvas.desktop, 2);
        QCOMPARE(canvas.kind, WindowKind::normal);
    }

    void oddButValidValuesLoad()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        QString error;
        QVERIFY2(desktop.loadScenario(scenario("own-profile.json"), &error), qPrintable(error));
        QCOMPARE(desktop.profile().browsers[0], QStringLiteral("firefox-esr"));
        QCOMPARE(desktop.profile().browsers[1], QString());
        QCOMPARE(desktop.profile().ide, QString());
        QCOMPARE(desktop.mainScreenIndex(), std::nullopt);
        QCOMPARE(desktop.screens().first().displayNumber, 4294967295u);
        QCOMPARE(desktop.monitors().first().identifier, QStringLiteral("U"));
        QVERIFY(!desktop.runningApplication(QStringLiteral("firefox-esr"))->regular);
        QCOMPARE(desktop.collectDocuments(DocumentRole::browser0, QStringLiteral("firefox-esr")),
            (QStringList { "https://a", "https://b" }));
    }

    void malformedScenarioIsRefusedWithReason_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("where");
        const auto row = [](const char *name, const char *json, const char *where) {
            QTest::newRow(name) << QByteArray(json) << QString::fromLatin1(where);
        };
        row("unknown key", R"({"screen": []})", "scenario");
        row("short bounds", R"({"screens": [{"bounds": [0, 0, 10]}]})", "screens[0].bounds");
        row("short monitor bounds", R"({"monitors": [{"bounds": [0, 0, 10]}]})", "monitors[0].bounds");
        row("negative display", R"({"screens": [{"displayNumber": -1, "bounds": [0,0,1,1]}]})",
            "screens[0].displayNumber");
        row("main out of range", R"({"mainScreen": 0})", "mainScreen");
        row("focused out of range", R"({"monitors": [{"bounds": [0,0,1,1]}], "focusedMonitor": 1})", "focusedMonitor");
        row("both screen lists", R"({"screens": [], "monitors": []})", "scenario");
        row("both trust keys", R"({"trusted": true, "canControlWindows": true})", "scenario");
        row("identifier beside uuid", R"({"monitors": [{"identifier": "A", "uuid": "A", "bounds": [0,0,1,1]}]})",
            "monitors[0]");
        row("empty identifier", R"({"monitors": [{"identifier": "", "bounds": [0,0,1,1]}]})", "monitors[0].identifier");
        row("primary not a bool", R"({"monitors": [{"primary": 1, "bounds": [0,0,1,1]}]})", "monitors[0].primary");
        row("bad policy", R"({"running": [{"policy": "sometimes"}]})", "running[0].policy");
        row("regular not a bool", R"({"running": [{"regular": "yes"}]})", "running[0].regular");
        row("policy beside regular", R"({"running": [{"policy": 0, "regular": true}]})", "running[0]");
        row("both identifiers", R"({"running": [{"appId": "a", "bundleIdentifier": "a"}]})", "running[0]");
        row("window key", R"({"running": [{"windows": [{"name": "x"}]}]})", "running[0].windows[0]");
        row("mixed window forms", R"({"running": [{"windows": [{"title": "x", "AXRole": "AXWindow"}]}]})",
            "running[0].windows[0]");
        row("bad kind", R"({"running": [{"windows": [{"kind": "panel"}]}]})", "running[0].windows[0].kind");
        row("bad frame", R"({"running": [{"windows": [{"frame": [0, 0, "wide", 1]}]}]})",
            "running[0].windows[0].frame");
        row("state key", R"({"running": [{"windows": [{"state": {"maximised": true}}]}]})",
            "running[0].windows[0].state");
        row("state flag", R"({"running": [{"windows": [{"state": {"minimized": 1}}]}]})",
            "running[0].windows[0].state.minimized");
        row("desktop below all", R"({"running": [{"windows": [{"desktop": -2}]}]})", "running[0].windows[0].desktop");
        row("desktop fraction", R"({"running": [{"windows": [{"desktop": 1.5}]}]})", "running[0].windows[0].desktop");
        row("refusesWrites not a bool", R"({"running": [{"windows": [{"refusesWrites": "no"}]}]})",
            "running[0].windows[0].refusesWrites");
        row("no identifier", R"({"installed": [{"location": "/x"}]})", "installed[0].bundleIdentifier");
        row("empty app id", R"({"installed": [{"appId": ""}]})", "installed[0].appId");
        row("negative delay", R"({"installed": [{"bundleIdentifier": "a", "launch": {"windowAfter": -1}}]})",
            "installed[0].launch.windowAfter");
        row("plan window", R"({"installed": [{"appId": "a", "launch": {"windows": [{"kind": 1}]}}]})",
            "installed[0].launch.windows[0].kind");
        row("file kind", R"({"files": {"/a": "link"}})", "files./a");
    }

    void malformedScenarioIsRefusedWithReason()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, where);
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        QVERIFY(desktop.loadScenario(parse(R"({"running": [{"appId": "before"}]})")));
        QString error;
        const QJsonDocument document = QJsonDocument::fromJson(json);
        QVERIFY(document.isObject());
        QVERIFY(!desktop.loadScenario(document.object(), &error));
        QVERIFY2(error.startsWith(where + QStringLiteral(": ")), qPrintable(error));
        QCOMPARE(desktop.runningApplications().size(), 0);
    }

    void unreadableFileIsNamed()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        QString error;
        QVERIFY(!desktop.loadScenario(QStringLiteral("/nonexistent/scenario.json"), &error));
        QVERIFY(error.contains(QStringLiteral("/nonexistent/scenario.json")));
    }
};

QTEST_GUILESS_MAIN(TestSimScenario)
#include "tst_simscenario.moc"
