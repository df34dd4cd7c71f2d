// The corvalint program as the end-to-end tests run it: on a store of the test's own, without a screen of its
// own, choosing the desktop the test runs on by itself.
#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct CommandResult {
    /// -1 when the program did not end by itself.
    int exitCode = -1;
    /// Standard output, then standard error.
    QString output;
};

QString corvalintProgram();

/// The test's environment with the store and no screen for the program's own windows.
QProcessEnvironment corvalintEnvironment(const QString &store);

/// Runs the command to its end (at most 30 s).
CommandResult runCorvalint(const QStringList &arguments, const QString &store);
