// How Corvalint was called, read without Qt: the `corvalint` command picks the
// program that carries out a command before it loads any library, and every
// program reads its arguments the same way (Invocation builds on this).
#pragma once

#include <string>
#include <vector>

struct InvocationWords {
    /// Empty: start the application.
    std::string command;
    /// What follows the command (its own arguments and options).
    std::vector<std::string> arguments;
    std::string desktop = "x11";
    bool desktopChosen = false;
    std::string logFile;
    /// --help or -h without a command.
    bool help = false;
    /// A malformed global option; one line without the program name.
    std::string error;

    /// Reads the arguments after the program name. --desktop and --log (also
    /// as --desktop=VALUE) may stand anywhere; the first other word that does
    /// not start with '-' is the command; "--" ends the options.
    static InvocationWords parse(const std::vector<std::string> &words);
    static InvocationWords parse(int argc, char **argv);
};

/// Which of our programs carries out a call.
enum class ProgramRoute {
    /// The tray, the main window and the preview overlay.
    window,
    /// A capture or an update of the session's own desktop, which the running
    /// Corvalint can carry out: asked first by a program that loads Qt Core only.
    instance,
    /// A command on the store alone (list, delete, export, import): a program
    /// that loads no desktop library.
    store,
    /// Everything else, and help and mistakes.
    command,
};

ProgramRoute programRoute(const InvocationWords &invocation);
