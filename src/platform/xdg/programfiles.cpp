// Where Corvalint's programs lie, relative to each other.
#include "programfiles.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool isProgram(const QString &path)
{
    const QFileInfo file(path);
    return file.isFile() && file.isExecutable();
}

} // namespace

namespace ProgramFiles {

QString programFor(const QString &commandPath, const char *name)
{
    const QDir folder = QFileInfo(commandPath).absoluteDir();
    // Relative, so that an installation moved as a whole (a package unpacked
    // into a folder, a prefix of the user's own) still finds its other parts.
    for (const QString &candidate : { folder.filePath(QLatin1String(name)),
             folder.filePath(QStringLiteral(CORVALINT_WINDOW_PROGRAM_FROM_BIN "/") + QLatin1String(name)) }) {
        if (isProgram(candidate))
            return QDir::cleanPath(candidate);
    }
    return {};
}

QString commandFor(const QString &windowProgramPath)
{
    const QDir folder = QFileInfo(windowProgramPath).absoluteDir();
    for (const QString &candidate : { folder.filePath(QStringLiteral("corvalint")),
             folder.filePath(QStringLiteral(CORVALINT_BIN_FROM_WINDOW_PROGRAM "/corvalint")) }) {
        if (isProgram(candidate))
            return QDir::cleanPath(candidate);
    }
    return windowProgramPath;
}

} // namespace ProgramFiles
