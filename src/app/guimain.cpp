// The window program: the tray, the main window and the preview overlay. The
// `corvalint` command hands those over to it; any other command runs here as
// there, so that the program is whole on its own.
#include "cli/commandline.h"
#include "cli/filesizeguard.h"
#include "corvalintapp.h"
#include "previewcommand.h"

int main(int argc, char **argv)
{
    guardAgainstFileSizeSignal();
    const Invocation invocation = Invocation::parse(argc, argv);
    if (invocation.command.isEmpty() && !invocation.help)
        return CorvalintApp::exec(argc, argv, invocation);
    return PreviewCommand::exec(argc, argv, invocation);
}
