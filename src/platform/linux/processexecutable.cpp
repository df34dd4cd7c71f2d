// The program file a process runs.
#include "processexecutable.h"

#include <QFile>

QString processExecutable(qint64 pid)
{
    QString target = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
    if (target.endsWith(QLatin1String(" (deleted)")))
        target.chop(10);
    return target;
}

QString ProcessExecutables::of(std::optional<qint64> pid)
{
    if (!pid)
        return {};
    auto found = m_known.constFind(*pid);
    if (found == m_known.constEnd())
        found = m_known.insert(*pid, processExecutable(*pid));
    return *found;
}
