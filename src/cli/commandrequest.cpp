// What a command asks of the store, and how its result reaches the terminal.
#include "commandrequest.h"

#include "terminaltext.h"

#include <QFileInfo>

QJsonObject CommandRequest::forStore(const CommandDefinition &spec, const CommandArguments &args)
{
    QJsonObject request { { QStringLiteral("command"), spec.name } };
    if (spec.name == QLatin1String("list"))
        request[QLatin1String("json")] = args.has(QStringLiteral("--json"));
    else if (spec.name == QLatin1String("export") || spec.name == QLatin1String("import"))
        // The running application has another working directory.
        request[QLatin1String("file")] = QFileInfo(args.positional.first()).absoluteFilePath();
    else if (spec.name == QLatin1String("launch"))
        request[QLatin1String("count")] = !args.has(QStringLiteral("--no-count"));
    else if (spec.name == QLatin1String("preview"))
        request[QLatin1String("command")] = QStringLiteral("show");

    if (spec.name == QLatin1String("capture")) {
        request[QLatin1String("command")] = QStringLiteral("create");
        request[QLatin1String("name")] = args.positional.first();
        request[QLatin1String("icon")] = args.value(QStringLiteral("--icon"), QStringLiteral("briefcase.fill"));
        request[QLatin1String("category")] = args.value(QStringLiteral("--category"), QStringLiteral("Development"));
    } else if (spec.positionalCount == 1 && !request.contains(QLatin1String("file"))) {
        request[QLatin1String("target")] = args.positional.first();
    }
    return request;
}

int CommandRequest::print(const CommandResult &result, QTextStream &out, QTextStream &err, bool jsonOutput)
{
    // Names and paths come from the store, and so from any backup file ever
    // imported: nothing in them may steer the user's terminal.
    out << (jsonOutput ? TerminalText::json(result.out) : TerminalText::block(result.out));
    err << TerminalText::block(result.err);
    out.flush();
    err.flush();
    return result.exitCode;
}
