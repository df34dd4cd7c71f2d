// The program file a process runs, as the desktop backends name applications
// by it when nothing better is known.
#pragma once

#include <QString>

/// The path of the executable of process `pid` (from /proc), without the
/// " (deleted)" mark of a program replaced by an update; empty when unknown.
QString processExecutable(qint64 pid);
