// The `corvalint` command. A capture or an update goes to the running Corvalint
// of this session when there is one, which has the desktop and the store open
// already; every other command, and a capture with nobody to ask, goes to the
// command program, and the tray, the window and the preview overlay go to the
// window program. This program links Qt Core only, so that a
// command from a key binding or a script starts at once.
#include "cli/filesizeguard.h"
#include "cli/instancecommand.h"
#include "cli/invocation.h"
#include "model/storelocation.h"
#include "platform/xdg/programfiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int failed = 1;

/// Replaces this process with our program `name`, keeping the process id (the
/// desktop backends recognise our own windows by it) and every argument.
int handOver(const char *name, const char *what, char **argv)
{
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    const QString program = ProgramFiles::programFor(self, name);
    QTextStream err(stderr);
    if (program.isEmpty()) {
        err << "corvalint: the " << what << " " << name << " is not installed beside " << self << '\n';
        return failed;
    }
    const QByteArray path = QFile::encodeName(program);
    execv(path.constData(), argv);
    err << "corvalint: could not start " << program << ": " << std::strerror(errno) << '\n';
    return failed;
}

} // namespace

int main(int argc, char **argv)
{
    guardAgainstFileSizeSignal();
    const Invocation invocation = Invocation::parse(argc, argv);
    const bool startsApplication = invocation.command.isEmpty() && !invocation.help;
    const bool showsPreview = invocation.command == QLatin1String("preview") && !invocation.help;
    if (startsApplication || showsPreview)
        return handOver(ProgramFiles::windowProgramName, "window program", argv);
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
    return handOver(ProgramFiles::commandProgramName, "command program", argv);
}
