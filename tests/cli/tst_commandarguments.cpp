// Reading the command line: global options anywhere, the command, and each
// command's own arguments and options.
#include "cli/commanddefinition.h"
#include "cli/invocation.h"

#include <QTest>

class TestCommandArguments : public QObject
{
    Q_OBJECT

private slots:
    void noArgumentsStartTheApplication()
    {
        const Invocation invocation = Invocation::parse({});
        QVERIFY(invocation.command.isEmpty());
        QCOMPARE(invocation.desktop, QStringLiteral("x11"));
        QVERIFY(invocation.error.isEmpty());
    }

    void globalOptionsMayStandAnywhere()
    {
        const Invocation before = Invocation::parse({ QStringLiteral("--desktop"), QStringLiteral("sim:a.json"),
            QStringLiteral("list"), QStringLiteral("--json") });
        QCOMPARE(before.command, QStringLiteral("list"));
        QCOMPARE(before.desktop, QStringLiteral("sim:a.json"));
        QCOMPARE(before.arguments, QStringList { QStringLiteral("--json") });

        const Invocation after = Invocation::parse({ QStringLiteral("launch"), QStringLiteral("Dev"),
            QStringLiteral("--log=out.jsonl"), QStringLiteral("--desktop=sim:b.json") });
        QCOMPARE(after.command, QStringLiteral("launch"));
        QCOMPARE(after.arguments, QStringList { QStringLiteral("Dev") });
        QCOMPARE(after.logFile, QStringLiteral("out.jsonl"));
        QCOMPARE(after.desktop, QStringLiteral("sim:b.json"));
    }

    void globalOptionWithoutValueIsAnError()
    {
        QCOMPARE(Invocation::parse({ QStringLiteral("list"), QStringLiteral("--desktop") }).error,
            QStringLiteral("--desktop needs a value"));
        QCOMPARE(Invocation::parse({ QStringLiteral("--log=") }).error, QStringLiteral("--log needs a value"));
    }

    void qtOptionsBelongToTheApplication()
    {
        const Invocation invocation = Invocation::parse(
            { QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("-reverse") });
        QVERIFY(invocation.command.isEmpty());
        QCOMPARE(invocation.arguments,
            (QStringList { QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("-reverse") }));
    }

    void helpWithoutACommandAsksForTheOverview()
    {
        QVERIFY(Invocation::parse({ QStringLiteral("--help") }).help);
        QVERIFY(Invocation::parse({ QStringLiteral("-h") }).help);
        const Invocation commandHelp = Invocation::parse({ QStringLiteral("list"), QStringLiteral("--help") });
        QVERIFY(!commandHelp.help);
        QCOMPARE(commandHelp.arguments, QStringList { QStringLiteral("--help") });
    }

    void doubleDashLetsANameStartWithADash()
    {
        const Invocation invocation
            = Invocation::parse({ QStringLiteral("delete"), QStringLiteral("--"), QStringLiteral("--desktop") });
        QCOMPARE(invocation.desktop, QStringLiteral("x11"));
        const CommandArguments args
            = CommandArguments::parse(*CommandDefinition::find(QStringLiteral("delete")), invocation.arguments);
        QVERIFY(args.error.isEmpty());
        QCOMPARE(args.positional, QStringList { QStringLiteral("--desktop") });
    }

    void eachCallGoesToTheProgramThatCarriesItOut_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<ProgramRoute>("route");
        const auto row = [](const char *name, QStringList arguments, ProgramRoute route) {
            QTest::newRow(name) << arguments << route;
        };
        row("no command", {}, ProgramRoute::window);
        row("Qt options", { QStringLiteral("-platform"), QStringLiteral("list") }, ProgramRoute::window);
        row("preview", { QStringLiteral("preview"), QStringLiteral("Dev") }, ProgramRoute::window);
        // The window program tells the mistake in its own way.
        row("bad option, no command", { QStringLiteral("--log=") }, ProgramRoute::window);
        row("help", { QStringLiteral("--help") }, ProgramRoute::command);
        row("help as a desktop", { QStringLiteral("--desktop"), QStringLiteral("-h") }, ProgramRoute::command);
        row("capture", { QStringLiteral("capture"), QStringLiteral("Dev") }, ProgramRoute::instance);
        row("update", { QStringLiteral("update"), QStringLiteral("Dev") }, ProgramRoute::instance);
        row("capture on a chosen desktop",
            { QStringLiteral("capture"), QStringLiteral("Dev"), QStringLiteral("--desktop=x11") },
            ProgramRoute::command);
        row("update with a log", { QStringLiteral("--log"), QStringLiteral("l.jsonl"), QStringLiteral("update") },
            ProgramRoute::command);
        row("list", { QStringLiteral("list"), QStringLiteral("--json") }, ProgramRoute::store);
        row("delete a dashed name", { QStringLiteral("delete"), QStringLiteral("--"), QStringLiteral("--desktop") },
            ProgramRoute::store);
        row("export", { QStringLiteral("export"), QStringLiteral("a b.json") }, ProgramRoute::store);
        row("import", { QStringLiteral("import"), QStringLiteral("a.json") }, ProgramRoute::store);
        row("list with a mistake", { QStringLiteral("list"), QStringLiteral("--desktop") }, ProgramRoute::command);
        row("list on a simulated desktop",
            { QStringLiteral("--desktop"), QStringLiteral("sim:a.json"), QStringLiteral("list") },
            ProgramRoute::command);
        row("launch", { QStringLiteral("launch"), QStringLiteral("Dev") }, ProgramRoute::command);
        row("unknown command", { QStringLiteral("lsit") }, ProgramRoute::command);
        row("command named like a store command later", { QStringLiteral("launch"), QStringLiteral("list") },
            ProgramRoute::command);
    }

    void eachCallGoesToTheProgramThatCarriesItOut()
    {
        QFETCH(QStringList, arguments);
        QFETCH(ProgramRoute, route);
        QCOMPARE(Invocation::parse(arguments).route, route);
    }

    void theStoreProgramGetsNoCommandThatNeedsADesktop()
    {
        int storeCommands = 0;
        for (const CommandDefinition &spec : CommandDefinition::all()) {
            if (Invocation::parse({ spec.name }).route != ProgramRoute::store)
                continue;
            ++storeCommands;
            QVERIFY2(!spec.needsDesktop, qPrintable(spec.name));
        }
        QCOMPARE(storeCommands, 4);
    }

    void everyCommandIsKnown()
    {
        for (const char *name : { "list", "capture", "update", "launch", "preview", "delete", "export", "import" })
            QVERIFY2(CommandDefinition::find(QLatin1String(name)), name);
        QVERIFY(!CommandDefinition::find(QStringLiteral("start")));
    }

    void captureReadsItsOptions()
    {
        const CommandArguments args = CommandArguments::parse(*CommandDefinition::find(QStringLiteral("capture")),
            { QStringLiteral("My Desk"), QStringLiteral("--icon"), QStringLiteral("gamecontroller.fill"),
                QStringLiteral("--category=Video Editing") });
        QVERIFY2(args.error.isEmpty(), qPrintable(args.error));
        QCOMPARE(args.positional, QStringList { QStringLiteral("My Desk") });
        QCOMPARE(args.value(QStringLiteral("--icon"), {}), QStringLiteral("gamecontroller.fill"));
        QCOMPARE(args.value(QStringLiteral("--category"), {}), QStringLiteral("Video Editing"));
    }

    void launchFlags()
    {
        const CommandArguments args = CommandArguments::parse(*CommandDefinition::find(QStringLiteral("launch")),
            { QStringLiteral("--focus"), QStringLiteral("Dev"), QStringLiteral("--no-count") });
        QVERIFY(args.error.isEmpty());
        QVERIFY(args.has(QStringLiteral("--focus")));
        QVERIFY(args.has(QStringLiteral("--no-count")));
    }

    void mistakesAreNamed_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing name") << "capture" << QStringList {} << "capture: missing NAME";
        QTest::newRow("missing target") << "launch" << QStringList { QStringLiteral("--focus") }
                                        << "launch: missing NAME|ID";
        QTest::newRow("missing file") << "export" << QStringList {} << "export: missing FILE";
        QTest::newRow("extra word") << "list" << QStringList { QStringLiteral("extra") }
                                    << "list: unexpected argument \"extra\"";
        QTest::newRow("unknown option") << "list" << QStringList { QStringLiteral("--yaml") }
                                        << "list: unknown option --yaml";
        QTest::newRow("flag of another command")
            << "delete" << QStringList { QStringLiteral("X"), QStringLiteral("--focus") }
            << "delete: unknown option --focus";
        QTest::newRow("option without value")
            << "capture" << QStringList { QStringLiteral("X"), QStringLiteral("--icon") }
            << "capture: --icon needs a value";
    }

    void mistakesAreNamed()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        QCOMPARE(CommandArguments::parse(*CommandDefinition::find(command), arguments).error, error);
    }

    void helpIsRecognisedAmongOtherArguments()
    {
        const CommandArguments args
            = CommandArguments::parse(*CommandDefinition::find(QStringLiteral("update")), { QStringLiteral("--help") });
        QVERIFY(args.help);
        QVERIFY(CommandDefinition::find(QStringLiteral("update"))
                    ->helpText()
                    .startsWith(QStringLiteral("Usage: corvalint update NAME|ID\n")));
        QVERIFY(CommandDefinition::overviewText().contains(QStringLiteral("  capture   ")));
    }
};

QTEST_GUILESS_MAIN(TestCommandArguments)
#include "tst_commandarguments.moc"
