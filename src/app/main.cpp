// The `corvalint` command: runs one command and exits, or hands the tray, the
// window and the preview overlay to the window program. It links no Qt GUI
// library, so that commands from key bindings and scripts start at once.
#include "cli/commandline.h"
#include "cli/filesizeguard.h"
#include "platform/xdg/programfiles.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

/// Replaces this process with the window program, keeping the process id (the
/// desktop backends recognise our own windows by it) and every argument.
int handOverToWindowProgram(char **argv)
{
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    const QString windowProgram = ProgramFiles::windowProgramFor(self);
    QTextStream err(stderr);
    if (windowProgram.isEmpty()) {
        err << "corvalint: the window program " << ProgramFiles::windowProgramName << " is not installed beside "
            << self << "; commands work without it, the window does not\n";
        return CommandLine::failed;
    }
    const QByteArray path = QFile::encodeName(windowProgram);
    execv(path.constData(), argv);
    err << "corvalint: could not start " << windowProgram << ": " << std::strerror(errno) << '\n';
    return CommandLine::failed;
}

} // namespace

int main(int argc, char **argv)
{
    guardAgainstFileSizeSignal();
    const Invocation invocation = Invocation::parse(argc, argv);
    const bool startsApplication = invocation.command.isEmpty() && !invocation.help;
    const bool showsPreview = invocation.command == QLatin1String("preview") && !invocation.help;
    if (startsApplication || showsPreview)
        return handOverToWindowProgram(argv);
    return CommandLine::exec(argc, argv, invocation);
}
