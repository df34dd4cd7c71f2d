// The capture program: `corvalint` hands it a capture or an update of the
// session's own desktop. It asks the running Corvalint of this session, which
// has the desktop and the store open already, and hands over to the command
// program when there is nobody to ask. It links Qt Core only.
#include "cli/filesizeguard.h"
#include "cli/instancecommand.h"
#include "cli/invocation.h"
#include "model/storelocation.h"
#include "platform/xdg/programlocation.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    guardAgainstFileSizeSignal();
    const Invocation invocation = Invocation::parse(argc, argv);
    if (InstanceCommand::handles(invocation)) {
        std::optional<int> code;
        {
            QCoreApplication app(argc, argv);
            QTextStream out(stdout);
            QTextStream err(stderr);
            code = InstanceCommand::run(
                invocation, StoreLocation::defaultDirectory(), qEnvironmentVariable("DISPLAY"), out, err);
        }
        if (code)
            return *code;
    }
    return ProgramLocation::handOver(ProgramLocation::commandProgramName, "command program", argv);
}
