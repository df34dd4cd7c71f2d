// The `corvalint` command. It reads only which program carries out the call and
// replaces itself with that one: the tray, the window and the preview go to the
// window program; a capture or an update of this session's desktop to the
// capture program, which asks the running Corvalint (when a socket of one
// exists); list, delete, export and import to the store program; every other
// command to the command program. It loads no Qt library, so that a command
// from a key binding or a script starts at once.
#include "cli/instancehint.h"
#include "cli/invocationwords.h"
#include "platform/xdg/programlocation.h"

int main(int argc, char **argv)
{
    using namespace ProgramLocation;
    switch (programRoute(InvocationWords::parse(argc, argv))) {
    case ProgramRoute::window:
        return handOver(windowProgramName, "window program", argv);
    case ProgramRoute::instance:
        // With nobody to ask, the command program captures by itself.
        if (!InstanceHint::mayBeListening())
            break;
        return handOver(captureProgramName, "capture program", argv);
    case ProgramRoute::store:
        return handOver(storeProgramName, "store program", argv);
    case ProgramRoute::command:
        break;
    }
    return handOver(commandProgramName, "command program", argv);
}
