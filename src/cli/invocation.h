// How Corvalint was called: the application, or one command, and the options
// every form accepts (--desktop, --log).
#pragma once

#include "invocationwords.h"

#include <QString>
#include <QStringList>

struct Invocation {
    /// Empty: start the application.
    QString command;
    /// What follows the command (its own arguments and options).
    QStringList arguments;
    /// "x11", "i3ipc" (also "sway", "i3") or "sim:SCENARIO.json".
    QString desktop = QStringLiteral("x11");
    /// --desktop was given; otherwise the session decides (see DesktopSession::automaticChoice).
    bool desktopChosen = false;
    /// Where the simulated desktop's request log goes; empty: nowhere.
    QString logFile;
    /// --help or -h without a command.
    bool help = false;
    /// A malformed global option; one line without the program name.
    QString error;
    /// Which of our programs carries out this call.
    ProgramRoute route = ProgramRoute::window;

    /// Reads the arguments after the program name. --desktop and --log (also
    /// as --desktop=VALUE) may stand anywhere; the first other word that does
    /// not start with '-' is the command; "--" ends the options.
    static Invocation parse(const QStringList &arguments);
    /// The same for main()'s arguments.
    static Invocation parse(int argc, char **argv);
};
