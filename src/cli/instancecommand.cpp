// A capture or an update carried out by the running Corvalint of this session.
#include "instancecommand.h"

#include "commanddefinition.h"
#include "commandrequest.h"

bool InstanceCommand::handles(const Invocation &invocation)
{
    return invocation.route == ProgramRoute::instance;
}

std::optional<int> InstanceCommand::run(const Invocation &invocation, const QString &storeDirectory,
    const QString &display, QTextStream &out, QTextStream &err, const InstanceChannel::Bounds &bounds)
{
    const CommandDefinition *spec = CommandDefinition::find(invocation.command);
    if (!spec || !handles(invocation))
        return std::nullopt;
    const CommandArguments args = CommandArguments::parse(*spec, invocation.arguments);
    // Help and mistakes are the command's own to tell.
    if (args.help || !args.error.isEmpty())
        return std::nullopt;
    // Only the instance on this display sees the desktop the user means.
    const InstanceChannel::Reply reply = InstanceChannel::request(InstanceChannel::socketPath(storeDirectory, display),
        InstanceChannel::captureMessage(CommandRequest::forStore(*spec, args)), bounds);
    switch (reply.status) {
    case InstanceChannel::Reply::Status::noInstance:
        return std::nullopt;
    case InstanceChannel::Reply::Status::notTaken:
    case InstanceChannel::Reply::Status::noResult:
        return CommandRequest::print(
            CommandResult::failure(InstanceChannel::unansweredText(reply.status, bounds)), out, err);
    case InstanceChannel::Reply::Status::answered:
        break;
    }
    const CommandResult result = CommandResult::fromJson(reply.result);
    // A Corvalint started before an upgrade still runs the older program, which only knows store requests.
    if (result.exitCode != 0 && result.err.contains(QLatin1String("unknown request \"capture\"")))
        return std::nullopt;
    return CommandRequest::print(result, out, err);
}
