// Reads what a process of our own user was started with: its command line and working folder, from /proc.
#include "processlookup.h"

#include "automation/localfileurl.h"
#include "boundedfile.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <unistd.h>

ProcessLookup::ProcessLookup(QString procRoot, uint uid)
    : m_root(std::move(procRoot))
    , m_uid(uid)
{
}

uint ProcessLookup::currentUid()
{
    return uint(::getuid());
}

std::optional<ProcessView> ProcessLookup::view(qint64 pid) const
{
    if (pid <= 0)
        return std::nullopt;
    const QDir process(QDir(m_root).filePath(QString::number(pid)));
    // /proc/PID belongs to the process's user: another user's process could show us any path it likes.
    const QFileInfo owner(process.path());
    if (!owner.isDir() || owner.ownerId() != m_uid)
        return std::nullopt;
    const auto commandLine = BoundedFile::read(process.filePath(QStringLiteral("cmdline")), maxCommandLineBytes);
    if (!commandLine)
        return std::nullopt;
    ProcessView view;
    for (const QByteArray &argument : commandLine->split('\0'))
        view.arguments.append(QString::fromLocal8Bit(argument));
    // The command line ends with a NUL, which leaves one empty piece.
    if (!view.arguments.isEmpty() && view.arguments.back().isEmpty())
        view.arguments.removeLast();
    const QString cwd = QFileInfo(process.filePath(QStringLiteral("cwd"))).symLinkTarget();
    if (QDir::isAbsolutePath(cwd))
        view.cwd = cwd;
    return view;
}

QStringList ProcessLookup::existingArguments(const ProcessView &process, bool folders)
{
    QStringList paths;
    bool options = true;
    const QStringList arguments = process.arguments.mid(1, maxArguments);
    for (const QString &argument : arguments) {
        if (argument.isEmpty())
            continue;
        if (options && argument == QLatin1String("--")) {
            options = false;
            continue;
        }
        if (options && argument.startsWith(QLatin1Char('-')))
            continue;
        QString path;
        if (argument.startsWith(QLatin1String("file:"))) {
            path = localPathOfFileUrl(QUrl(argument, QUrl::StrictMode)).value_or(QString());
        } else if (argument.contains(QLatin1String("://"))) {
            continue;
        } else if (QDir::isAbsolutePath(argument)) {
            path = argument;
        } else if (!process.cwd.isEmpty()) {
            path = QDir(process.cwd).filePath(argument);
        }
        if (path.isEmpty())
            continue;
        path = QDir::cleanPath(path);
        const QFileInfo info(path);
        if ((folders ? info.isDir() : info.isFile()) && !paths.contains(path))
            paths.append(path);
    }
    return paths;
}
