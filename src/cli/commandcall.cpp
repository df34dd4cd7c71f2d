// Reading one command and its arguments.
#include "commandcall.h"

#include "terminaltext.h"

std::variant<CommandCall, int> CommandCall::read(const Invocation &invocation, QTextStream &out, QTextStream &err)
{
    // A help flag anywhere only ever prints help: it must not run the command
    // it stands beside.
    const CommandDefinition *spec = CommandDefinition::find(invocation.command);
    if (invocation.help) {
        out << (spec ? spec->helpText() : CommandDefinition::overviewText());
        return ok;
    }
    if (!invocation.error.isEmpty())
        return fail(err, invocation.error, usage);
    if (!spec)
        return fail(err, QStringLiteral("unknown command \"%1\"; see corvalint --help").arg(invocation.command), usage);
    CommandArguments args = CommandArguments::parse(*spec, invocation.arguments);
    if (args.help) {
        out << spec->helpText();
        return ok;
    }
    if (!args.error.isEmpty())
        return fail(err, args.error, usage);
    return CommandCall { spec, std::move(args) };
}

int CommandCall::fail(QTextStream &err, const QString &line, int code)
{
    err << "corvalint: " << TerminalText::block(line) << '\n';
    err.flush();
    return code;
}
