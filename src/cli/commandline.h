// `corvalint COMMAND ...`: runs one command and returns its exit code.
#pragma once

#include "commandcall.h"
#include "invocation.h"
#include "model/entrydata.h"

#include <QList>
#include <QTextStream>
#include <functional>

class DesktopSession;

class CommandLine
{
public:
    /// See CommandCall::ExitCode.
    enum ExitCode { ok = CommandCall::ok, failed = CommandCall::failed, usage = CommandCall::usage };

    /// Creates the Qt application object the command needs and runs it.
    static int exec(int &argc, char **argv, const Invocation &invocation);

    /// Shows the preview overlay of `entries` until the user closes it; an
    /// empty text, or why nothing was shown. Only the window program has one:
    /// the command hands `preview` over to it.
    using Preview = std::function<QString(const QList<EntryData> &entries, DesktopSession &desktop)>;

    /// Runs the command inside an existing application object, writing to
    /// `out` and `err`. Without `preview`, the preview command fails as on a
    /// machine without a display.
    static int run(const Invocation &invocation, QTextStream &out, QTextStream &err, const Preview &preview = {});
};
