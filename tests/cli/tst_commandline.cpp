// Every command of the `corvalint` program on the simulated desktop, with
// its output, its errors and its exit codes.
#include "clirunner.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

QJsonArray listJson(CliRunner &cli)
{
    const CliRun run = cli.run({ QStringLiteral("list"), QStringLiteral("--json") });
    return QJsonDocument::fromJson(run.out.toUtf8()).array();
}

QList<QJsonObject> logLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QJsonObject> lines;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (!line.isEmpty())
            lines << QJsonDocument::fromJson(line).object();
    }
    return lines;
}

QStringList actions(const QList<QJsonObject> &lines, const QString &action)
{
    QStringList applications;
    for (const QJsonObject &line : lines) {
        if (line.value(QLatin1String("action")).toString() == action)
            applications << line.value(QLatin1String("application")).toString();
    }
    return applications;
}

/// Writes a backup holding `copies` copies of `workspace`, each with a fresh
/// id and the name `name`.
QString backupWith(const QString &path, QJsonObject workspace, const QString &name, int copies)
{
    QJsonArray workspaces;
    for (int i = 0; i < copies; ++i) {
        workspace[QLatin1String("id")] = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
        workspace[QLatin1String("name")] = name;
        // Entry ids must be unique across the file too.
        QJsonArray entries = workspace.value(QLatin1String("entries")).toArray();
        for (qsizetype e = 0; e < entries.size(); ++e) {
            QJsonObject entry = entries.at(e).toObject();
            entry[QLatin1String("id")] = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
            entries[e] = entry;
        }
        workspace[QLatin1String("entries")] = entries;
        workspaces.append(workspace);
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(
        QJsonDocument(QJsonObject { { QStringLiteral("version"), 1 }, { QStringLiteral("workspaces"), workspaces } })
            .toJson(QJsonDocument::Compact));
    return path;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CliRunner> m_cli;
    const QString desk = CliRunner::scenario(QStringLiteral("desk.json"));

    CliRun capture(const QString &name, const QStringList &more = {})
    {
        return m_cli->run(QStringList { QStringLiteral("capture"), name, QStringLiteral("--desktop"), desk } + more);
    }

    // A name from a foreign backup may hold anything; two workspaces may share it.
    QString importNamed(CliRunner &into, const QString &name, int copies)
    {
        CliRunner source;
        if (source.run({ QStringLiteral("capture"), QStringLiteral("Seed"), QStringLiteral("--desktop"), desk })
                .exitCode
            != 0)
            return {};
        const QString exported = source.dataPath() + QStringLiteral("/seed.workspace");
        if (source.run({ QStringLiteral("export"), exported }).exitCode != 0)
            return {};
        QFile file(exported);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QJsonObject seed = QJsonDocument::fromJson(file.readAll())
                                     .object()
                                     .value(QLatin1String("workspaces"))
                                     .toArray()
                                     .at(0)
                                     .toObject();
        const QString path = backupWith(source.dataPath() + QStringLiteral("/named.workspace"), seed, name, copies);
        const CliRun run = into.run({ QStringLiteral("import"), path });
        return run.exitCode == 0 ? run.out : QString();
    }

private slots:
    void init() { m_cli = std::make_unique<CliRunner>(); }

    void overviewHelp()
    {
        const CliRun run = m_cli->run({ QStringLiteral("--help") });
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.startsWith(QStringLiteral("Usage: corvalint ")));
        for (const char *command : { "list", "capture", "update", "launch", "preview", "delete", "export", "import" })
            QVERIFY2(run.out.contains(QLatin1String(command)), command);
    }

    void helpOfEachCommand_data()
    {
        QTest::addColumn<QString>("command");
        for (const char *command : { "list", "capture", "update", "launch", "preview", "delete", "export", "import" })
            QTest::newRow(command) << QString::fromLatin1(command);
    }

    void helpOfEachCommand()
    {
        QFETCH(QString, command);
        const CliRun run = m_cli->run({ command, QStringLiteral("--help") });
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.startsWith(QStringLiteral("Usage: corvalint %1").arg(command)));
        QVERIFY(run.err.isEmpty());
    }

    void unknownCommandIsAUsageError()
    {
        const CliRun run = m_cli->run({ QStringLiteral("frobnicate") });
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.err, QStringLiteral("corvalint: unknown command \"frobnicate\"; see corvalint --help\n"));
    }

    void badArgumentsAreUsageErrors()
    {
        CliRun run = m_cli->run({ QStringLiteral("capture") });
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.err, QStringLiteral("corvalint: capture: missing NAME\n"));
        run = m_cli->run({ QStringLiteral("list"), QStringLiteral("--yaml") });
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.err, QStringLiteral("corvalint: list: unknown option --yaml\n"));
        run = m_cli->run({ QStringLiteral("list"), QStringLiteral("--log"), QStringLiteral("x.jsonl") });
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.err, QStringLiteral("corvalint: --log needs a simulated desktop (--desktop sim:SCENARIO.json)\n"));
        run = m_cli->run({ QStringLiteral("list"), QStringLiteral("--desktop"), QStringLiteral("wayland") });
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.err,
            QStringLiteral(
                "corvalint: list: unknown desktop \"wayland\"; use x11, i3ipc (sway, i3) or sim:SCENARIO.json\n"));
    }

    void storeCommandsNeedNoDisplay()
    {
        CliRun run = m_cli->run({ QStringLiteral("list") });
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.isEmpty());
        const QString file = m_cli->dataPath() + QStringLiteral("/out.workspace");
        run = m_cli->run({ QStringLiteral("export"), file });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("0 workspaces exported\n"));
        run = m_cli->run({ QStringLiteral("import"), file });
        QCOMPARE(run.exitCode, 0);
        run = m_cli->run({ QStringLiteral("delete"), QStringLiteral("Nothing") });
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, QStringLiteral("corvalint: no workspace is named or has the id \"Nothing\"\n"));
    }

    void desktopCommandsSayTheyNeedAnX11Session_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        QTest::newRow("capture") << QStringList { QStringLiteral("capture"), QStringLiteral("X") }
                                 << "corvalint: capture: needs an X11 session, and DISPLAY is not set\n";
        QTest::newRow("update") << QStringList { QStringLiteral("update"), QStringLiteral("X") }
                                << "corvalint: update: needs an X11 session, and DISPLAY is not set\n";
        QTest::newRow("launch") << QStringList { QStringLiteral("launch"), QStringLiteral("X") }
                                << "corvalint: launch: needs an X11 session, and DISPLAY is not set\n";
    }

    void desktopCommandsSayTheyNeedAnX11Session()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        const CliRun run = m_cli->run(arguments);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, error);
    }

    void previewWithoutAnyDisplaySaysSo()
    {
        m_cli->environment().remove(QStringLiteral("QT_QPA_PLATFORM"));
        const CliRun run = m_cli->run({ QStringLiteral("preview"), QStringLiteral("X") });
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, QStringLiteral("corvalint: preview: needs an X11 session, and DISPLAY is not set\n"));
    }

    void unusableScenarioIsNamed()
    {
        CliRun run = m_cli->run({ QStringLiteral("capture"), QStringLiteral("X"), QStringLiteral("--desktop"),
            QStringLiteral("sim:/no/such/scenario.json") });
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.startsWith(
            QStringLiteral("corvalint: capture: cannot use the scenario \"/no/such/scenario.json\": ")));
        run = m_cli->run({ QStringLiteral("capture"), QStringLiteral("X"), QStringLiteral("--desktop"),
            CliRunner::scenario(QStringLiteral("malformed.json")) });
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains(QStringLiteral("screens")));
        QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
        QCOMPARE(listJson(*m_cli).size(), 0);
    }

    void captureStoresTheDesktopAsANewWorkspace()
    {
        const CliRun run = capture(QStringLiteral("Dev Desk"));
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(
            run.out.startsWith(QStringLiteral("Saved workspace \"Dev Desk\" with 4 entries (")), qPrintable(run.out));
        const QJsonArray all = listJson(*m_cli);
        QCOMPARE(all.size(), 1);
        const QJsonObject w = all[0].toObject();
        QCOMPARE(w.value(QLatin1String("name")).toString(), QStringLiteral("Dev Desk"));
        QCOMPARE(w.value(QLatin1String("icon")).toString(), QStringLiteral("briefcase.fill"));
        QCOMPARE(w.value(QLatin1String("category")).toString(), QStringLiteral("Development"));
        QCOMPARE(w.value(QLatin1String("autoLaunch")).toBool(), false);
        QCOMPARE(w.value(QLatin1String("restoreDocuments")).toBool(), true);
        const QJsonArray entries = w.value(QLatin1String("entries")).toArray();
        QCOMPARE(entries.size(), 4);
        QCOMPARE(entries[0].toObject().value(QLatin1String("appBundleIdentifier")).toString(),
            QStringLiteral("org.example.Editor"));
        QCOMPARE(entries[0].toObject().value(QLatin1String("monitorID")).toString(),
            QStringLiteral("11111111-1111-4111-8111-111111111111"));

        const CliRun table = m_cli->run({ QStringLiteral("list") });
        QCOMPARE(table.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).value(1).simplified(),
            QStringLiteral("Dev Desk Development 4 2"));
    }

    void captureTakesIconAndCategory()
    {
        QCOMPARE(capture(QStringLiteral("Cut"),
                     { QStringLiteral("--icon"), QStringLiteral("film.fill"), QStringLiteral("--category"),
                         QStringLiteral("Video Editing") })
                     .exitCode,
            0);
        const QJsonObject w = listJson(*m_cli)[0].toObject();
        QCOMPARE(w.value(QLatin1String("icon")).toString(), QStringLiteral("film.fill"));
        QCOMPARE(w.value(QLatin1String("category")).toString(), QStringLiteral("Video Editing"));
        const CliRun wrong
            = capture(QStringLiteral("Bad"), { QStringLiteral("--category"), QStringLiteral("Cooking") });
        QCOMPARE(wrong.exitCode, 2);
        QVERIFY(wrong.err.startsWith(QStringLiteral("corvalint: unknown category \"Cooking\"")));
    }

    void updateRefreshesMatchingEntriesAndAppendsNewOnes()
    {
        QCOMPARE(capture(QStringLiteral("Desk")).exitCode, 0);
        const CliRun run = m_cli->run({ QStringLiteral("update"), QStringLiteral("Desk"), QStringLiteral("--desktop"),
            CliRunner::scenario(QStringLiteral("moved.json")) });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("Updated workspace \"Desk\": 2 windows captured, 1 new entries, 5 in all\n"));
        const QJsonArray entries = listJson(*m_cli)[0].toObject().value(QLatin1String("entries")).toArray();
        QCOMPARE(entries.size(), 5);
        QCOMPARE(entries[0].toObject().value(QLatin1String("frameX")).toDouble(), 2000.0);
        QCOMPARE(entries[0].toObject().value(QLatin1String("monitorID")).toString(),
            QStringLiteral("22222222-2222-4222-8222-222222222222"));
        QCOMPARE(entries[4].toObject().value(QLatin1String("appBundleIdentifier")).toString(),
            QStringLiteral("org.example.Viewer"));
    }

    void launchOpensEveryEntryCountsAndWritesTheLog()
    {
        QCOMPARE(capture(QStringLiteral("Desk")).exitCode, 0);
        const QString log = m_cli->dataPath() + QStringLiteral("/launch.jsonl");
        const CliRun run = m_cli->run({ QStringLiteral("launch"), QStringLiteral("Desk"), QStringLiteral("--desktop"),
            desk, QStringLiteral("--log"), log });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("Launched \"Desk\" (4 entries)\n"));
        const QList<QJsonObject> lines = logLines(log);
        // Every window the workspace holds is open already: each is placed, nothing opens twice.
        QVERIFY(actions(lines, QStringLiteral("openApplication")).isEmpty());
        QVERIFY(actions(lines, QStringLiteral("openWindow")).isEmpty());
        QVERIFY(actions(lines, QStringLiteral("terminate")).isEmpty());
        QCOMPARE(actions(lines, QStringLiteral("place")),
            (QStringList { QStringLiteral("org.example.Editor"), QStringLiteral("org.example.Terminal"),
                QStringLiteral("org.example.Terminal"), QStringLiteral("org.example.Chat") }));
        const QJsonObject w = listJson(*m_cli)[0].toObject();
        QCOMPARE(w.value(QLatin1String("launchCount")).toInt(), 1);
        QCOMPARE(w.value(QLatin1String("timeSavedInSeconds")).toDouble(), 80.0);
        QVERIFY(!w.value(QLatin1String("lastLaunchedAt")).isNull());
    }

    void launchWithoutCountLeavesTheStatisticsAlone()
    {
        QCOMPARE(capture(QStringLiteral("Desk")).exitCode, 0);
        const CliRun run = m_cli->run({ QStringLiteral("launch"), QStringLiteral("Desk"), QStringLiteral("--no-count"),
            QStringLiteral("--desktop"), desk });
        QCOMPARE(run.exitCode, 0);
        const QJsonObject w = listJson(*m_cli)[0].toObject();
        QCOMPARE(w.value(QLatin1String("launchCount")).toInt(), 0);
        QVERIFY(w.value(QLatin1String("lastLaunchedAt")).isNull());
    }

    void focusLaunchAsksTheOthersToQuit()
    {
        QCOMPARE(capture(QStringLiteral("Desk")).exitCode, 0);
        // A workspace without the chat tool: update it from a desktop without it.
        const QString id = listJson(*m_cli)[0].toObject().value(QLatin1String("id")).toString();
        QCOMPARE(m_cli->run({ QStringLiteral("delete"), id }).exitCode, 0);
        QCOMPARE(m_cli
                     ->run({ QStringLiteral("capture"), QStringLiteral("Moved"), QStringLiteral("--desktop"),
                         CliRunner::scenario(QStringLiteral("moved.json")) })
                     .exitCode,
            0);
        const QString log = m_cli->dataPath() + QStringLiteral("/focus.jsonl");
        const CliRun run = m_cli->run({ QStringLiteral("launch"), QStringLiteral("Moved"), QStringLiteral("--focus"),
            QStringLiteral("--desktop"), desk, QStringLiteral("--log=") + log });
        QCOMPARE(run.exitCode, 0);
        const QStringList terminated = actions(logLines(log), QStringLiteral("terminate"));
        QCOMPARE(
            terminated, (QStringList { QStringLiteral("org.example.Terminal"), QStringLiteral("org.example.Chat") }));
    }

    void launchOfAnUnknownWorkspaceFails()
    {
        const CliRun run
            = m_cli->run({ QStringLiteral("launch"), QStringLiteral("Ghost"), QStringLiteral("--desktop"), desk });
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, QStringLiteral("corvalint: no workspace is named or has the id \"Ghost\"\n"));
    }

    void launchThatLeavesSomethingOutSaysWhatAndFails()
    {
        QCOMPARE(capture(QStringLiteral("Desk")).exitCode, 0);
        // Later, on a desktop where the terminal and the chat tool are gone.
        const CliRun run = m_cli->run({ QStringLiteral("launch"), QStringLiteral("Desk"), QStringLiteral("--desktop"),
            CliRunner::scenario(QStringLiteral("moved.json")) });
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.startsWith(QStringLiteral("Launched \"Desk\"")));
        QCOMPARE(run.err,
            QStringLiteral("corvalint: launch: „org.example.Terminal“ ist nicht installiert.\n"
                           "corvalint: launch: „org.example.Terminal“ ist nicht installiert.\n"
                           "corvalint: launch: „org.example.Chat“ ist nicht installiert.\n"));
    }

    void launchWaitMustBeSecondsInRange()
    {
        QCOMPARE(capture(QStringLiteral("Desk")).exitCode, 0);
        for (const char *bad : { "0", "601", "soon", "-5", "nan" }) {
            const CliRun run = m_cli->run({ QStringLiteral("launch"), QStringLiteral("Desk"), QStringLiteral("--wait"),
                QString::fromLatin1(bad), QStringLiteral("--desktop"), desk });
            QCOMPARE(run.exitCode, 2);
            QVERIFY2(run.err.contains(QStringLiteral("--wait needs a number of seconds")), qPrintable(run.err));
        }
        const CliRun run = m_cli->run({ QStringLiteral("launch"), QStringLiteral("Desk"), QStringLiteral("--wait=12.5"),
            QStringLiteral("--desktop"), desk });
        QCOMPARE(run.exitCode, 0);
    }

    void deleteByIdInAnyCase()
    {
        QCOMPARE(capture(QStringLiteral("Desk")).exitCode, 0);
        const QString id = listJson(*m_cli)[0].toObject().value(QLatin1String("id")).toString();
        const CliRun run = m_cli->run({ QStringLiteral("delete"), id.toLower() });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("Deleted workspace \"Desk\" (%1)\n").arg(id));
        QCOMPARE(listJson(*m_cli).size(), 0);
        QCOMPARE(m_cli->run({ QStringLiteral("delete"), id }).exitCode, 1);
    }

    void ambiguousNameFails()
    {
        QVERIFY(!importNamed(*m_cli, QStringLiteral("Twin"), 2).isEmpty());
        const CliRun run = m_cli->run({ QStringLiteral("delete"), QStringLiteral("Twin") });
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.startsWith(QStringLiteral("corvalint: \"Twin\" names 2 workspaces; give one of their ids: ")));
        QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
    }

    void captureOfADesktopWithoutWindowsSavesNothing()
    {
        const CliRun run = m_cli->run({ QStringLiteral("capture"), QStringLiteral("Empty"), QStringLiteral("--desktop"),
            CliRunner::scenario(QStringLiteral("empty.json")) });
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("found no application window")), qPrintable(run.err));
        QCOMPARE(listJson(*m_cli).size(), 0);
    }

    void captureRefusesANameThatExists()
    {
        QCOMPARE(capture(QStringLiteral("Once")).exitCode, 0);
        const CliRun again = capture(QStringLiteral("Once"));
        QCOMPARE(again.exitCode, 1);
        QVERIFY2(again.err.contains(QStringLiteral("corvalint update NAME")), qPrintable(again.err));
        QCOMPARE(listJson(*m_cli).size(), 1);
    }

    void helpAnywhereRunsNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("--help first") << QStringList { QStringLiteral("--help"), QStringLiteral("delete"),
            QStringLiteral("Kept") };
        QTest::newRow("-h first") << QStringList { QStringLiteral("-h"), QStringLiteral("delete"),
            QStringLiteral("Kept") };
        QTest::newRow("--help last") << QStringList { QStringLiteral("delete"), QStringLiteral("Kept"),
            QStringLiteral("--help") };
        QTest::newRow("as a desktop") << QStringList { QStringLiteral("--desktop"), QStringLiteral("--help"),
            QStringLiteral("delete"), QStringLiteral("Kept") };
    }

    void helpAnywhereRunsNothing()
    {
        QFETCH(QStringList, arguments);
        QCOMPARE(capture(QStringLiteral("Kept")).exitCode, 0);
        const CliRun run = m_cli->run(arguments);
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.startsWith(QStringLiteral("Usage: corvalint")));
        QCOMPARE(listJson(*m_cli).size(), 1);
    }

    void namesCannotSteerTheTerminal()
    {
        const QString hostile = QStringLiteral("\x1b]0;owned\x07\x1b[2J\u009b31m\u202Eevil\nfake line");
        QVERIFY(!importNamed(*m_cli, hostile, 1).isEmpty());
        const CliRun listed = m_cli->run({ QStringLiteral("list") });
        QCOMPARE(listed.exitCode, 0);
        const CliRun deleted = m_cli->run({ QStringLiteral("delete"), hostile });
        QCOMPARE(deleted.exitCode, 0);
        for (const QString &text : { listed.out, deleted.out }) {
            QVERIFY2(!text.contains(QChar(0x1b)) && !text.contains(QChar(0x07)) && !text.contains(QChar(0x9b))
                    && !text.contains(QChar(0x202E)),
                qPrintable(text));
            QVERIFY(text.contains(QStringLiteral("\\x1B]0;owned\\x07")));
        }
        QCOMPARE(listed.out.count(QLatin1Char('\n')), 2); // header and one row: the name's newline is escaped
        // JSON output stays exact JSON and gives the name back unchanged.
        QVERIFY(!importNamed(*m_cli, hostile, 1).isEmpty());
        const CliRun json = m_cli->run({ QStringLiteral("list"), QStringLiteral("--json") });
        QVERIFY(!json.out.contains(QChar(0x9b)));
        QCOMPARE(
            QJsonDocument::fromJson(json.out.toUtf8()).array().at(0).toObject().value(QLatin1String("name")).toString(),
            hostile);
    }

    void aHugeNameDoesNotWidenTheTable()
    {
        QVERIFY(!importNamed(*m_cli, QString(1024 * 1024, QLatin1Char('n')), 1).isEmpty());
        QCOMPARE(capture(QStringLiteral("Short")).exitCode, 0);
        const CliRun run = m_cli->run({ QStringLiteral("list") });
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.size() < 400, qPrintable(QString::number(run.out.size())));
        QVERIFY(run.out.contains(QStringLiteral("…")));
    }

    void anUnreachableInstanceIsNeverWrittenBehind()
    {
        QCOMPARE(capture(QStringLiteral("Before")).exitCode, 0);
        // A running Corvalint holds this lock; here it cannot be reached (no socket).
        const QByteArray lockPath = (m_cli->dataPath() + QStringLiteral("/corvalint.lock")).toLocal8Bit();
        const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);
        const CliRun captured = capture(QStringLiteral("Behind"));
        const CliRun deleted = m_cli->run({ QStringLiteral("delete"), QStringLiteral("Before") });
        ::close(fd);
        QCOMPARE(captured.exitCode, 1);
        QVERIFY2(captured.err.contains(QStringLiteral("cannot be reached")), qPrintable(captured.err));
        QCOMPARE(deleted.exitCode, 1);
        const QJsonArray after = listJson(*m_cli);
        QCOMPARE(after.size(), 1);
        QCOMPARE(after.at(0).toObject().value(QLatin1String("name")).toString(), QStringLiteral("Before"));
    }

    void exportAndImportRoundTrip()
    {
        QCOMPARE(capture(QStringLiteral("One")).exitCode, 0);
        QCOMPARE(capture(QStringLiteral("Two")).exitCode, 0);
        const QString file = QStringLiteral("backup.workspace");
        const CliRun exported = m_cli->run({ QStringLiteral("export"), m_cli->dataPath() + QLatin1Char('/') + file });
        QCOMPARE(exported.exitCode, 0);
        QCOMPARE(exported.out, QStringLiteral("2 workspaces exported\n"));

        CliRunner other;
        const CliRun imported = other.run({ QStringLiteral("import"), m_cli->dataPath() + QLatin1Char('/') + file });
        QCOMPARE(imported.exitCode, 0);
        QCOMPARE(imported.out, QStringLiteral("2 workspaces imported\n"));
        QCOMPARE(listJson(other), listJson(*m_cli));
    }

    void importOfADamagedFileChangesNothing()
    {
        QCOMPARE(capture(QStringLiteral("Kept")).exitCode, 0);
        const QString file = m_cli->dataPath() + QStringLiteral("/bad.workspace");
        QFile bad(file);
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("\xff\xfe not json");
        bad.close();
        const CliRun run = m_cli->run({ QStringLiteral("import"), file });
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.startsWith(QStringLiteral("corvalint: import refused: ")));
        QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
        QCOMPARE(listJson(*m_cli).size(), 1);
    }

    void unusableStoreIsTheFatalMessage()
    {
        QFile garbage(m_cli->dataPath() + QStringLiteral("/corvalint.sqlite"));
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(8192, 'z'));
        garbage.close();
        const CliRun run = m_cli->run({ QStringLiteral("list") });
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.startsWith(QStringLiteral("Could not create ModelContainer: ")));
        QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
