// Where Corvalint's programs lie, relative to each other, for Qt callers.
#include "programfiles.h"

#include "programlocation.h"

#include <QFile>

namespace ProgramFiles {

QString commandFor(const QString &windowProgramPath)
{
    const std::string command = ProgramLocation::commandFor(QFile::encodeName(windowProgramPath).toStdString());
    return command.empty() ? windowProgramPath : QFile::decodeName(command.c_str());
}

} // namespace ProgramFiles
