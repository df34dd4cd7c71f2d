// `corvalint launcher`: asks the running Corvalint to open its quick launcher (what a desktop's own shortcut runs).
#include "launchercommand.h"

#include "instancechannel.h"
#include "model/workspacestore.h"

QJsonObject LauncherCommand::message()
{
    return { { QStringLiteral("type"), QStringLiteral("launcher") } };
}

int LauncherCommand::run(QTextStream &out, QTextStream &err)
{
    Q_UNUSED(out)
    const QString socket
        = InstanceChannel::socketPath(WorkspaceStore::defaultDirectory(), qEnvironmentVariable("DISPLAY"));
    // A shortcut is pressed to see the launcher now: short bounds, and a clear line when it cannot be.
    InstanceChannel::Bounds bounds;
    bounds.connectMs = 1000;
    bounds.acceptMs = 3000;
    bounds.resultMs = 3000;
    const InstanceChannel::Reply reply = InstanceChannel::request(socket, message(), bounds);
    if (reply.status == InstanceChannel::Reply::Status::answered) {
        if (reply.result.value(QLatin1String("ok")).toBool(true))
            return 0;
        err << "corvalint: launcher: " << reply.result.value(QLatin1String("message")).toString() << '\n';
        return 1;
    }
    if (reply.status == InstanceChannel::Reply::Status::noInstance) {
        err << "corvalint: launcher: Corvalint is not running; start it first (corvalint)\n";
        return 1;
    }
    err << "corvalint: launcher: Corvalint runs but did not answer in time\n";
    return 1;
}
