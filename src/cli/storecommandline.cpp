// Running a command on the store alone.
#include "storecommandline.h"

#include "commandcall.h"
#include "commandrequest.h"
#include "model/storelocation.h"
#include "storeaccess.h"

#include <QCoreApplication>

namespace StoreCommandLine {

int exec(int &argc, char **argv, const Invocation &invocation)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Corvalint"));
    QCoreApplication::setApplicationName(QStringLiteral("Corvalint"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    auto call = CommandCall::read(invocation, out, err);
    if (const int *code = std::get_if<int>(&call))
        return *code;
    const CommandDefinition *spec = std::get<CommandCall>(call).spec;
    const CommandArguments &args = std::get<CommandCall>(call).args;
    return execute(CommandRequest::forStore(*spec, args), out, err,
        spec->name == QLatin1String("list") && args.has(QStringLiteral("--json")));
}

int execute(const QJsonObject &request, QTextStream &out, QTextStream &err, bool jsonOutput)
{
    StoreAccess store(StoreLocation::defaultDirectory(), qEnvironmentVariable("DISPLAY"));
    return CommandRequest::print(store.execute(request), out, err, jsonOutput);
}

} // namespace StoreCommandLine
