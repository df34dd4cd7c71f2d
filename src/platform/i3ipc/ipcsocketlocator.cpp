// Where the window manager's IPC socket is: SWAYSOCK or I3SOCK as it sets them for its children, else what
// the window manager itself says (`sway --get-socketpath`, `i3 --get-socketpath`).
#include "ipcsocketlocator.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

bool desktopNamed(const char *variable)
{
    const QString names = qEnvironmentVariable(variable).toLower();
    for (const QString &name : names.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (name == QLatin1String("sway") || name == QLatin1String("i3"))
            return true;
    }
    return false;
}

std::optional<QString> askWindowManager(const QString &program, int timeoutMs)
{
    const QString executable = QStandardPaths::findExecutable(program);
    if (executable.isEmpty())
        return std::nullopt;
    QProcess process;
    process.setProgram(executable);
    process.setArguments({ QStringLiteral("--get-socketpath") });
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    const QString path = QString::fromLocal8Bit(process.readAllStandardOutput().left(4096)).trimmed();
    if (path.isEmpty() || !QFileInfo(path).exists())
        return std::nullopt;
    return path;
}

} // namespace

bool IpcSocketLocator::sessionSpeaksIpc()
{
    return !qEnvironmentVariableIsEmpty("SWAYSOCK") || !qEnvironmentVariableIsEmpty("I3SOCK")
        || desktopNamed("XDG_CURRENT_DESKTOP") || desktopNamed("XDG_SESSION_DESKTOP");
}

std::optional<QString> IpcSocketLocator::find(QString *error, int timeoutMs)
{
    for (const char *variable : { "SWAYSOCK", "I3SOCK" }) {
        if (const QString path = qEnvironmentVariable(variable); !path.isEmpty())
            return path;
    }
    // sway answers from its own variable, i3 from a property of the X root window.
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        if (auto path = askWindowManager(QStringLiteral("sway"), timeoutMs))
            return path;
    }
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
        if (auto path = askWindowManager(QStringLiteral("i3"), timeoutMs))
            return path;
    }
    *error = QStringLiteral("neither SWAYSOCK nor I3SOCK is set, and neither sway nor i3 names its IPC socket");
    return std::nullopt;
}
