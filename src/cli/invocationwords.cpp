// Splitting the program's arguments into the global options and the command.
#include "invocationwords.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

/// Reads "--name VALUE" or "--name=VALUE" at `i`; true when it was this option.
bool takeValue(const std::vector<std::string> &words, std::size_t &i, std::string_view name, std::string *value,
    std::string *error)
{
    const std::string &word = words[i];
    if (word.size() > name.size() && word.starts_with(name) && word[name.size()] == '=') {
        *value = word.substr(name.size() + 1);
    } else if (word == name) {
        if (i + 1 >= words.size()) {
            *error = std::string(name) + " needs a value";
            return true;
        }
        *value = words[++i];
    } else {
        return false;
    }
    if (value->empty())
        *error = std::string(name) + " needs a value";
    return true;
}

/// Qt's own options that take a value (QGuiApplication reads them from argv).
bool isQtOptionWithValue(std::string_view word)
{
    static constexpr std::array<std::string_view, 15> names { "-platform", "-platformpluginpath", "-platformtheme",
        "-plugin", "-display", "-style", "-stylesheet", "-geometry", "-qwindowgeometry", "-title", "-qwindowtitle",
        "-qwindowicon", "-name", "-session", "-qmljsdebugger" };
    return std::find(names.begin(), names.end(), word) != names.end();
}

bool isHelp(std::string_view word)
{
    return word == "--help" || word == "-h";
}

} // namespace

InvocationWords InvocationWords::parse(const std::vector<std::string> &words)
{
    InvocationWords invocation;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size() && invocation.error.empty(); ++i) {
        const std::string &word = words[i];
        if (!optionsEnded) {
            std::string *value = nullptr;
            if (takeValue(words, i, "--desktop", &invocation.desktop, &invocation.error)) {
                value = &invocation.desktop;
                invocation.desktopChosen = true;
            } else if (takeValue(words, i, "--log", &invocation.logFile, &invocation.error)) {
                value = &invocation.logFile;
            }
            if (value) {
                // "--desktop --help" asks for help, not for a desktop named so.
                if (isHelp(*value))
                    invocation.help = true;
                continue;
            }
        }
        if (invocation.command.empty()) {
            if (isHelp(word)) {
                invocation.help = true;
            } else if (word == "--" && !optionsEnded) {
                optionsEnded = true;
            } else if (word.starts_with('-') && !optionsEnded) {
                // Qt's own options (-platform xcb, -style ...) belong to the application.
                invocation.arguments.push_back(word);
                if (isQtOptionWithValue(word) && i + 1 < words.size())
                    invocation.arguments.push_back(words[++i]);
            } else {
                invocation.command = word;
            }
            continue;
        }
        if (word == "--")
            optionsEnded = true;
        invocation.arguments.push_back(word);
    }
    return invocation;
}

InvocationWords InvocationWords::parse(int argc, char **argv)
{
    return parse(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
}

ProgramRoute programRoute(const InvocationWords &invocation)
{
    if (invocation.help)
        return ProgramRoute::command;
    if (invocation.command.empty() || invocation.command == "preview")
        return ProgramRoute::window;
    // A chosen desktop, a simulated one's log or a mistake: the command program knows them all.
    if (invocation.desktopChosen || !invocation.logFile.empty() || !invocation.error.empty())
        return ProgramRoute::command;
    const std::string_view command = invocation.command;
    if (command == "capture" || command == "update")
        return ProgramRoute::instance;
    if (command == "list" || command == "delete" || command == "export" || command == "import")
        return ProgramRoute::store;
    return ProgramRoute::command;
}
