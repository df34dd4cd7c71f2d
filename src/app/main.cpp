// Corvalint's entry: no command starts the application, a command runs and exits.
#include "app/corvalintapp.h"
#include "cli/commandline.h"

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const Invocation invocation = Invocation::parse(arguments);
    if (invocation.command.isEmpty() && !invocation.help)
        return CorvalintApp::exec(argc, argv, invocation);
    return CommandLine::exec(argc, argv, invocation);
}
