// Corvalint's entry: no command starts the application, a command runs and exits.
#include "app/corvalintapp.h"
#include "cli/commandline.h"

#include <csignal>

namespace {

void ignoreFileSizeSignal(int) { }

} // namespace

int main(int argc, char **argv)
{
    // Past a file size limit (ulimit -f) the kernel would kill us without a
    // word in the middle of a write; caught, the write fails with EFBIG and
    // says why. A handler rather than SIG_IGN: programs we start get the
    // default back when they exec.
    struct sigaction action {
    };
    action.sa_handler = &ignoreFileSizeSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGXFSZ, &action, nullptr);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const Invocation invocation = Invocation::parse(arguments);
    if (invocation.command.isEmpty() && !invocation.help)
        return CorvalintApp::exec(argc, argv, invocation);
    return CommandLine::exec(argc, argv, invocation);
}
