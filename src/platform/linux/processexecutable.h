// The program file a process runs, as the desktop backends name applications
// by it when nothing better is known.
#pragma once

#include <QHash>
#include <QString>
#include <optional>

/// The path of the executable of process `pid` (from /proc), without the
/// " (deleted)" mark of a program replaced by an update; empty when unknown.
QString processExecutable(qint64 pid);

/// The programs of the processes seen in one reading of the desktop. An
/// application's windows share a process, whose program is looked up once.
class ProcessExecutables
{
public:
    /// processExecutable(pid); empty without a process.
    QString of(std::optional<qint64> pid);

private:
    QHash<qint64, QString> m_known;
};
