// The command program: runs one command and exits. It links no Qt GUI library;
// `corvalint` hands it every command that the running Corvalint does not carry
// out, and starts the window program itself.
#include "cli/commandline.h"
#include "cli/filesizeguard.h"

int main(int argc, char **argv)
{
    guardAgainstFileSizeSignal();
    return CommandLine::exec(argc, argv, Invocation::parse(argc, argv));
}
