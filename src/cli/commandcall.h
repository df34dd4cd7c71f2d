// One command read from the command line and checked, before anything it needs
// is opened: the same in every program that carries out commands.
#pragma once

#include "commanddefinition.h"
#include "invocation.h"

#include <QTextStream>
#include <variant>

struct CommandCall {
    /// Exit codes: 0 done, 1 failed (nothing found, unreadable file, no
    /// display ...), 2 the command line itself was wrong.
    enum ExitCode { ok = 0, failed = 1, usage = 2 };

    const CommandDefinition *spec = nullptr;
    CommandArguments args;

    /// The command of `invocation` with its arguments; or, when there is
    /// nothing more to do (help printed, a mistake told on `err`), the exit code.
    static std::variant<CommandCall, int> read(const Invocation &invocation, QTextStream &out, QTextStream &err);

    /// Tells `line` on `err` as the program's complaint and gives `code`.
    static int fail(QTextStream &err, const QString &line, int code = failed);
};
