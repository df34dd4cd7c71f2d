// The command line: reads one command, asks the store's writer, works the desktop.
#include "commandline.h"

#include "automation/automationservice.h"
#include "automation/desktopplatform.h"
#include "capturerequest.h"
#include "commandcall.h"
#include "commanddefinition.h"
#include "commandrequest.h"
#include "gnomeextensioncommand.h"
#include "launchercommand.h"
#include "launchnotifier.h"
#include "model/workspacestore.h"
#include "platform/desktopsession.h"
#include "storeaccess.h"
#include "terminaltext.h"
#include "workspacejson.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QSettings>

namespace {

int fail(QTextStream &err, const QString &line, int code = CommandLine::failed)
{
    return CommandCall::fail(err, line, code);
}

} // namespace

int CommandLine::exec(int &argc, char **argv, const Invocation &invocation)
{
    // No GUI application object: list, delete, export and import work
    // without any display.
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Corvalint"));
    QCoreApplication::setApplicationName(QStringLiteral("Corvalint"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return run(invocation, out, err);
}

int CommandLine::run(const Invocation &invocation, QTextStream &out, QTextStream &err, const Preview &preview)
{
    auto call = CommandCall::read(invocation, out, err);
    if (const int *code = std::get_if<int>(&call))
        return *code;
    const CommandDefinition *spec = std::get<CommandCall>(call).spec;
    const CommandArguments &args = std::get<CommandCall>(call).args;
    if (spec->name == QLatin1String("launcher"))
        return LauncherCommand::run(out, err);
    if (spec->name == QLatin1String("gnome-extension"))
        return GnomeExtensionCommand::run(args.positional.first(), out, err);
    const QString desktopChoice = DesktopSession::choiceFor(invocation.desktop, invocation.desktopChosen);
    const bool simulated = desktopChoice.startsWith(QLatin1String(DesktopSession::simPrefix));
    if (!DesktopSession::knows(desktopChoice))
        return fail(err,
            QStringLiteral("%1: unknown desktop \"%2\"; use x11, i3ipc (sway, i3) or sim:SCENARIO.json")
                .arg(spec->name, desktopChoice),
            usage);
    if (!invocation.logFile.isEmpty() && !simulated)
        return fail(err, QStringLiteral("--log needs a simulated desktop (--desktop sim:SCENARIO.json)"), usage);
    // How long a launch waits for each window: --wait, else the app's setting.
    double windowWait = QSettings().value(QStringLiteral("windowWaitSeconds"), 30).toDouble();
    if (!(windowWait >= 5 && windowWait <= 600))
        windowWait = AutomationService::defaultWindowWaitSeconds;
    if (args.values.contains(QStringLiteral("--wait"))) {
        bool number = false;
        windowWait = args.value(QStringLiteral("--wait"), {}).toDouble(&number);
        if (!number || !(windowWait >= 1 && windowWait <= 600))
            return fail(err, QStringLiteral("launch: --wait needs a number of seconds from 1 to 600"), usage);
    }
    if (spec->name == QLatin1String("preview") && !preview)
        return fail(err, QStringLiteral("preview: needs an X11 session, and DISPLAY is not set"));

    std::unique_ptr<DesktopSession> desktop;
    if (spec->needsDesktop || simulated) {
        QString error;
        desktop = DesktopSession::open(desktopChoice, spec->needsDesktop, &error);
        if (!desktop)
            return fail(err, spec->name + QStringLiteral(": ") + error);
    }
    auto finish = [&](int code) {
        QString error;
        if (desktop && !invocation.logFile.isEmpty() && !desktop->writeRequestLog(invocation.logFile, &error))
            return fail(err, error);
        return code;
    };

    QJsonObject request = CommandRequest::forStore(*spec, args);
    if (spec->name == QLatin1String("capture") || spec->name == QLatin1String("update")) {
        auto completed
            = CaptureRequest::withDesktop(request, desktop->automation(), desktop->platform().canControlWindows());
        if (const QString *problem = std::get_if<QString>(&completed))
            return finish(fail(err, *problem));
        request = std::get<QJsonObject>(completed);
    }

    StoreAccess store(WorkspaceStore::defaultDirectory(), qEnvironmentVariable("DISPLAY"));
    const CommandResult result = store.execute(request);
    const int code = CommandRequest::print(
        result, out, err, spec->name == QLatin1String("list") && args.has(QStringLiteral("--json")));
    if (code != ok)
        return finish(code);

    if (spec->name == QLatin1String("launch")) {
        const QList<EntryData> entries = entriesFromJson(result.data.value(QLatin1String("entries")).toArray());
        desktop->automation().setWindowWaitSeconds(windowWait);
        // Each window within its bound; browser windows open one after another, so the whole may take longer.
        desktop->runLaunch(entries, result.data.value(QLatin1String("restoreDocuments")).toBool(true),
            args.has(QStringLiteral("--focus")), int((2 * windowWait + 15) * 1000));
        out << QStringLiteral("Launched \"%1\" (%2 entries)\n")
                   .arg(TerminalText::field(result.data.value(QLatin1String("name")).toString()))
                   .arg(entries.size());
        out.flush();
        // A launch that left something out is no success: each gap is named, and the status says so.
        const QStringList problems = desktop->automation().launchProblems();
        // Whoever started it from a key binding or a script sees no terminal: the desktop says how it went.
        if (!desktop->isSimulated())
            LaunchNotifier::notifyNow(problems);
        for (const QString &problem : problems)
            err << QStringLiteral("corvalint: launch: %1\n").arg(TerminalText::field(problem));
        if (!problems.isEmpty()) {
            err.flush();
            return finish(1);
        }
    } else if (spec->name == QLatin1String("preview")) {
        const QString problem
            = preview(entriesFromJson(result.data.value(QLatin1String("entries")).toArray()), *desktop);
        return finish(problem.isEmpty() ? ok : fail(err, QStringLiteral("preview: ") + problem));
    }
    return finish(ok);
}
