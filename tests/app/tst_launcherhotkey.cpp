// The quick launcher on the test desktop, driven as a user would: the hotkey pressed with xdotool opens it on
// the monitor under the pointer, typing filters, Return launches the chosen workspace (counted), Escape
// closes, and `corvalint launcher` opens it too.
#include "../cli/clirunner.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

QString tool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(2000);
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString visibleWindow(qint64 pid, const QString &title)
{
    return tool({ QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                    QStringLiteral("--pid"), QString::number(pid), QStringLiteral("--name"), title })
        .section(QLatin1Char('\n'), 0, 0);
}

} // namespace

class TestLauncherHotkey : public QObject
{
    Q_OBJECT

    std::unique_ptr<CliRunner> m_cli;

    qint64 launchCount(const QString &name)
    {
        const CliRun run = m_cli->run({ QStringLiteral("list"), QStringLiteral("--json") });
        for (const QJsonValue &value : QJsonDocument::fromJson(run.out.toUtf8()).array()) {
            if (value.toObject().value(QLatin1String("name")).toString() == name)
                return value.toObject().value(QLatin1String("launchCount")).toInteger(-1);
        }
        return -1;
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs the test desktop");
        m_cli = std::make_unique<CliRunner>();
        m_cli->environment().insert(QStringLiteral("DISPLAY"), qEnvironmentVariable("DISPLAY"));
        m_cli->environment().remove(QStringLiteral("QT_QPA_PLATFORM"));
    }

    void theHotkeyOpensTheLauncherAndTheKeyboardDrivesIt()
    {
        const QString desk = CliRunner::scenario(QStringLiteral("desk.json"));
        for (const QString &name : { QStringLiteral("Code"), QStringLiteral("Schnitt") })
            QCOMPARE(m_cli
                         ->run({ QStringLiteral("--desktop"), desk, QStringLiteral("capture"), name,
                             QStringLiteral("--category"), QStringLiteral("Development") })
                         .exitCode,
                0);

        QProcess app;
        app.setProcessEnvironment(m_cli->environment());
        app.setProcessChannelMode(QProcess::ForwardedChannels);
        app.start(CliRunner::program(), { QStringLiteral("--desktop"), desk });
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindow(app.processId(), QStringLiteral("^Corvalint$")).isEmpty(), 20000);

        // The pointer on the second monitor: the launcher opens there.
        tool({ QStringLiteral("mousemove"), QStringLiteral("2500"), QStringLiteral("400") });
        QElapsedTimer shown;
        shown.start();
        tool({ QStringLiteral("key"), QStringLiteral("super+alt+d") });
        QString launcher;
        QTRY_VERIFY_WITH_TIMEOUT(
            !(launcher = visibleWindow(app.processId(), QStringLiteral("^Corvalint Launcher$"))).isEmpty(), 5000);
        qInfo("launcher visible %lld ms after the key (xdotool polling included)", shown.elapsed());
        const QString geometry = tool({ QStringLiteral("getwindowgeometry"), launcher });
        const int x = geometry.section(QStringLiteral("Position: "), 1).section(QLatin1Char(','), 0, 0).toInt();
        QVERIFY2(x >= 1920, qPrintable(geometry));

        // Typing filters, Return launches the one chosen, and the launcher closes.
        QTRY_COMPARE_WITH_TIMEOUT(tool({ QStringLiteral("getactivewindow") }), launcher, 5000);
        tool({ QStringLiteral("type"), QStringLiteral("schn") });
        tool({ QStringLiteral("key"), QStringLiteral("Return") });
        QTRY_VERIFY_WITH_TIMEOUT(
            visibleWindow(app.processId(), QStringLiteral("^Corvalint Launcher$")).isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(launchCount(QStringLiteral("Schnitt")), 1, 10000);
        QCOMPARE(launchCount(QStringLiteral("Code")), 0);

        // The command opens it as well; arrows choose, Escape closes without launching.
        QCOMPARE(m_cli->run({ QStringLiteral("launcher") }).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(
            !(launcher = visibleWindow(app.processId(), QStringLiteral("^Corvalint Launcher$"))).isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(tool({ QStringLiteral("getactivewindow") }), launcher, 5000);
        tool({ QStringLiteral("key"), QStringLiteral("Down") });
        tool({ QStringLiteral("key"), QStringLiteral("Escape") });
        QTRY_VERIFY_WITH_TIMEOUT(
            visibleWindow(app.processId(), QStringLiteral("^Corvalint Launcher$")).isEmpty(), 5000);
        QCOMPARE(launchCount(QStringLiteral("Schnitt")), 1);
        QCOMPARE(launchCount(QStringLiteral("Code")), 0);

        app.terminate();
        if (!app.waitForFinished(5000)) {
            app.kill();
            app.waitForFinished(5000);
        }
    }
};

QTEST_GUILESS_MAIN(TestLauncherHotkey)
#include "tst_launcherhotkey.moc"
