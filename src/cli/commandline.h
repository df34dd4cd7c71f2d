// `corvalint COMMAND ...`: runs one command and returns its exit code.
#pragma once

#include "invocation.h"

#include <QTextStream>

class CommandLine
{
public:
    /// Exit codes: 0 done, 1 failed (nothing found, unreadable file, no
    /// display ...), 2 the command line itself was wrong.
    enum ExitCode { ok = 0, failed = 1, usage = 2 };

    /// Creates the Qt application object the command needs and runs it.
    static int exec(int &argc, char **argv, const Invocation &invocation);

    /// Runs the command inside an existing application object, writing to
    /// `out` and `err`.
    static int run(const Invocation &invocation, QTextStream &out, QTextStream &err);
};
