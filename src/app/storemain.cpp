// The store program: `corvalint` hands it list, delete, export and import,
// which need the store and no desktop. It loads no desktop library, so that
// these commands start at once.
#include "cli/filesizeguard.h"
#include "cli/storecommandline.h"
#include "platform/xdg/programlocation.h"

int main(int argc, char **argv)
{
    guardAgainstFileSizeSignal();
    const Invocation invocation = Invocation::parse(argc, argv);
    if (invocation.route != ProgramRoute::store)
        return ProgramLocation::handOver(ProgramLocation::commandProgramName, "command program", argv);
    return StoreCommandLine::exec(argc, argv, invocation);
}
