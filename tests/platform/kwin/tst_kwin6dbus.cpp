// The KWin desktop against a stand-in for KWin 6 on a private session bus (corvalint-fake-kwin6, run under
// dbus-run-session): the D-Bus calls that changed in Plasma 6 (each script started through its own
// /Scripting/ScriptN object) and KWin 6's script API (windowList(), outputs and virtual desktops as objects,
// activeWindow), end to end through KWinDesktop: monitors named by the script, a snapshot, placing, activating and
// closing. A real KWin 6 is not in Debian 12; tst_kwindesktop runs the same desktop on a real KWin 5.27.
#include "platform/kwin/kwindesktop.h"
#include "platform/kwin/kwinscriptrunner.h"
#include "platform/kwin/kwinscripts.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

namespace {

const QString notes = QStringLiteral("org.example.Notes");
const QString terminal = QStringLiteral("org.example.Terminal");
const QString clockApp = QStringLiteral("org.example.Clock");

std::optional<DesktopWindow> windowOf(const DesktopSnapshot &snapshot, const QString &appId)
{
    for (const DesktopApplication &application : snapshot.applications) {
        if (application.appId == appId && !application.windows.isEmpty())
            return application.windows.front();
    }
    return std::nullopt;
}

QVariant inspect(const QString &method, const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.KWin"), QStringLiteral("/Fake"), QStringLiteral("org.corvalint.FakeKWin"), method);
    message.setArguments(arguments);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(message);
    return reply.arguments().value(0);
}

/// Text the stand-in's script engine gives for `code`.
QString evaluate(const QString &code)
{
    return inspect(QStringLiteral("evaluate"), { code }).toString();
}

int count(const QString &method)
{
    return inspect(QStringLiteral("count"), { method }).toInt();
}

} // namespace

class TestKWin6DBus : public QObject
{
    Q_OBJECT

private:
    QProcess m_fake;

    bool kwinOnBus()
    {
        const auto reply
            = QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("org.kde.KWin"));
        return reply.isValid() && reply.value();
    }

    void startFake(const QStringList &arguments = {})
    {
        if (m_fake.state() != QProcess::NotRunning) {
            m_fake.terminate();
            QVERIFY(m_fake.waitForFinished(5000));
            QTRY_VERIFY(!kwinOnBus());
        }
        m_fake.setProcessChannelMode(QProcess::ForwardedChannels);
        m_fake.start(QStringLiteral(CORVALINT_FAKE_KWIN6), arguments);
        QVERIFY(m_fake.waitForStarted());
        QTRY_VERIFY(kwinOnBus());
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus: run under dbus-run-session");
        // A Wayland session whose bus has KWin: the desktop is KWin's.
        qputenv("XDG_SESSION_TYPE", "wayland");
        startFake();
        QVERIFY(KWinDesktop::sessionIsKWinWayland());
    }

    void cleanupTestCase()
    {
        m_fake.terminate();
        m_fake.waitForFinished(5000);
    }

    void scriptsStartThroughTheirOwnObject()
    {
        QString error;
        auto runner = KWinScriptRunner::open(&error);
        QVERIFY2(runner, qPrintable(error));
        const auto answer = runner->run(KWinScripts::listBody(), &error);
        QVERIFY2(answer, qPrintable(error));
        QCOMPARE(runner->starter(), KWinScriptRunner::Starter::scriptObject);
        QCOMPARE(count(QStringLiteral("start")), 0);
        QCOMPARE(count(QStringLiteral("run")), 1);
        // Loaded, started, answered, unloaded.
        QCOMPARE(runner->dbusCalls(), quint64(4));
        QCOMPARE(evaluate(QStringLiteral("String(calls.length)")), QStringLiteral("0"));
    }

    void monitorsAreNamedByTheScript()
    {
        QString error;
        auto desktop = KWinDesktop::connect(&error);
        QVERIFY2(desktop, qPrintable(error));
        const int asked = count(QStringLiteral("supportInformation"));
        const QList<DesktopMonitor> monitors = desktop->monitors();
        QCOMPARE(monitors.size(), 2);
        QCOMPARE(monitors[0].bounds, QRectF(0, 0, 1920, 1080));
        QCOMPARE(monitors[1].bounds, QRectF(1920, 0, 1280, 720));
        QCOMPARE(monitors[0].connector, QStringLiteral("DP-1"));
        QCOMPARE(monitors[1].connector, QStringLiteral("HDMI-A-1"));
        QVERIFY(monitors[0].primary && !monitors[1].primary);
        // Two monitors of the same make and model, told apart by their serial numbers.
        QVERIFY(monitors[0].identifier && monitors[1].identifier);
        QVERIFY(*monitors[0].identifier != *monitors[1].identifier);
        // KWin 6 names its outputs to the script: the support information is not needed.
        QCOMPARE(count(QStringLiteral("supportInformation")), asked);
    }

    void aSnapshotReadsKWin6Windows()
    {
        QString error;
        auto desktop = KWinDesktop::connect(&error);
        QVERIFY2(desktop, qPrintable(error));
        const DesktopSnapshot snapshot = desktop->snapshot();
        QCOMPARE(snapshot.monitors.size(), 2);
        const auto n = windowOf(snapshot, notes);
        const auto t = windowOf(snapshot, terminal);
        const auto c = windowOf(snapshot, clockApp);
        QVERIFY(n && t && c);
        QCOMPARE(n->title, QStringLiteral("Notes"));
        QCOMPARE(n->pid, std::optional<qint64>(4242));
        QVERIFY(n->state.maximizedHorizontally && n->state.maximizedVertically);
        QCOMPARE(n->desktop, std::optional<int>(0));
        QCOMPARE(t->frame, QRectF(2000, 50, 600, 400));
        QVERIFY(!t->state.isMaximized());
        QCOMPARE(t->desktop, std::optional<int>(1));
        QCOMPARE(c->desktop, std::optional<int>(allDesktops));
        // The active window is on the second output.
        QCOMPARE(snapshot.focusedMonitor, std::optional<int>(1));
        QVERIFY(count(QStringLiteral("getWindowInfo")) >= 3);
    }

    void placingActivatingAndClosingUseKWin6sTerms()
    {
        QString error;
        auto desktop = KWinDesktop::connect(&error);
        QVERIFY2(desktop, qPrintable(error));
        const DesktopSnapshot snapshot = desktop->snapshot();

        // Notes out of its maximised state onto the second output and the second desktop.
        desktop->place(windowOf(snapshot, notes)->id, { QRectF(1950, 20, 700, 500), {}, 1 });
        QCOMPARE(evaluate(QStringLiteral("JSON.stringify(windows[0].frameGeometry)")),
            QStringLiteral(R"({"x":1950,"y":20,"width":700,"height":500})"));
        QCOMPARE(evaluate(QStringLiteral("windows[0].desktops.map(function (d) { return d.id; }).join()")),
            QStringLiteral("6a1f-2"));
        QCOMPARE(evaluate(QStringLiteral("String(windows[0].maximized)")), QStringLiteral("false,false"));

        // The clock from every desktop onto the first, maximised.
        desktop->place(
            windowOf(snapshot, clockApp)->id, { QRectF(100, 100, 400, 300), { true, true, false, false }, 0 });
        QCOMPARE(evaluate(QStringLiteral("String(windows[2].onAllDesktops)")), QStringLiteral("false"));
        QCOMPARE(evaluate(QStringLiteral("windows[2].desktops[0] === desktops[0]")), QStringLiteral("true"));
        QCOMPARE(evaluate(QStringLiteral("String(windows[2].maximized)")), QStringLiteral("true,true"));

        desktop->activate(windowOf(snapshot, notes)->id);
        QCOMPARE(evaluate(QStringLiteral("workspace.activeWindow.caption")), QStringLiteral("Notes"));
        QCOMPARE(evaluate(QStringLiteral("typeof workspace.activeClient")), QStringLiteral("undefined"));

        desktop->closeApplication(*[&] {
            for (const DesktopApplication &application : snapshot.applications) {
                if (application.appId == terminal)
                    return &application;
            }
            return &snapshot.applications.front();
        }());
        QCOMPARE(evaluate(QStringLiteral("calls.filter(function (c) { return c.indexOf('close') === 0; }).join()")),
            QStringLiteral("close Terminal"));
        QTRY_COMPARE(desktop->placementsInFlight(), 0);
    }

    void aScriptWhoseNumberARunningScriptHoldsStillRuns()
    {
        // KWin numbers scripts by their count: after one of the user's scripts was unloaded, the next number's
        // object belongs to a script that runs already, and its run() does nothing. start() runs ours then.
        startFake({ QStringLiteral("--hole") });
        QString error;
        auto runner = KWinScriptRunner::open(&error);
        QVERIFY2(runner, qPrintable(error));
        QElapsedTimer timer;
        timer.start();
        QVERIFY2(runner->run(KWinScripts::listBody(), &error), qPrintable(error));
        QVERIFY(timer.elapsed() < KWinScriptRunner::defaultTimeoutMs);
        QCOMPARE(count(QStringLiteral("start")), 1);
        // The next script would get the same number: the runner keeps to start() and waits no more.
        QCOMPARE(runner->starter(), KWinScriptRunner::Starter::startAll);
        timer.restart();
        QVERIFY2(runner->run(KWinScripts::listBody(), &error), qPrintable(error));
        QVERIFY(timer.elapsed() < 250);
        QCOMPARE(count(QStringLiteral("start")), 2);
    }

    void aKWinWithoutScriptObjectsStartsEveryScript()
    {
        startFake({ QStringLiteral("--start-only") });
        QString error;
        auto runner = KWinScriptRunner::open(&error);
        QVERIFY2(runner, qPrintable(error));
        QVERIFY2(runner->run(KWinScripts::listBody(), &error), qPrintable(error));
        QCOMPARE(runner->starter(), KWinScriptRunner::Starter::startAll);
        QVERIFY2(runner->run(KWinScripts::listBody(), &error), qPrintable(error));
        QCOMPARE(count(QStringLiteral("start")), 2);
        startFake();
    }
};

QTEST_GUILESS_MAIN(TestKWin6DBus)
#include "tst_kwin6dbus.moc"
