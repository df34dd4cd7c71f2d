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
