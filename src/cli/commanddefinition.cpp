// The table of commands and the reading of their arguments.
#include "commanddefinition.h"

#include <algorithm>

const QList<CommandDefinition> &CommandDefinition::all()
{
    static const QList<CommandDefinition> commands {
        {
            .name = QStringLiteral("list"),
            .usage = QStringLiteral("[--json]"),
            .summary = QStringLiteral("List the workspaces, newest first"),
            .details = QStringLiteral("Prints name, category, entry count and required monitors of each workspace.\n"
                                      "  --json    every field of every workspace and entry, absent values as null\n"),
            .flags = { QStringLiteral("--json") },
        },
        {
            .name = QStringLiteral("capture"),
            .usage = QStringLiteral("NAME [--icon SYMBOL] [--category TEXT]"),
            .summary = QStringLiteral("Capture the desktop as a new workspace"),
            .details = QStringLiteral("Captures every window of the current desktop into a new workspace named NAME\n"
                                      "(focus mode off, documents restored).\n"
                                      "  --icon SYMBOL      symbol name (default \"briefcase.fill\")\n"
                                      "  --category TEXT    Development (default), Design, Office, Personal, Gaming,\n"
                                      "                     \"Video Editing\", Photography or Custom\n"),
            .positionalCount = 1,
            .valueOptions = { QStringLiteral("--icon"), QStringLiteral("--category") },
            .needsDesktop = true,
        },
        {
            .name = QStringLiteral("update"),
            .usage = QStringLiteral("NAME|ID"),
            .summary = QStringLiteral("Refresh a workspace from the desktop"),
            .details = QStringLiteral("Captures the desktop again: entries for the same application, website or path\n"
                                      "take the new window frames and monitors; new windows are appended.\n"),
            .positionalCount = 1,
            .needsDesktop = true,
        },
        {
            .name = QStringLiteral("launch"),
            .usage = QStringLiteral("NAME|ID [--focus] [--no-count] [--wait SECONDS]"),
            .summary = QStringLiteral("Launch a workspace and place its windows"),
            .details = QStringLiteral("Opens every entry in order and waits until the windows are placed.\n"
                                      "  --focus         first ask the other applications with windows to quit\n"
                                      "  --no-count      leave the launch count and time saved unchanged\n"
                                      "  --wait SECONDS  how long to wait for each application's window (1 to 600;\n"
                                      "                  default: the app's setting, else 30)\n"),
            .positionalCount = 1,
            .flags = { QStringLiteral("--focus"), QStringLiteral("--no-count") },
            .valueOptions = { QStringLiteral("--wait") },
            .needsDesktop = true,
        },
        {
            .name = QStringLiteral("preview"),
            .usage = QStringLiteral("NAME|ID"),
            .summary = QStringLiteral("Show where the windows of a workspace will go"),
            .details = QStringLiteral("Opens the preview overlay on every screen; Escape or SCHLIESSEN closes it.\n"),
            .positionalCount = 1,
            .needsDesktop = true,
        },
        {
            .name = QStringLiteral("delete"),
            .usage = QStringLiteral("NAME|ID"),
            .summary = QStringLiteral("Delete a workspace"),
            .details = QStringLiteral("Deletes the workspace with all its entries.\n"),
            .positionalCount = 1,
        },
        {
            .name = QStringLiteral("export"),
            .usage = QStringLiteral("FILE"),
            .summary = QStringLiteral("Write every workspace to a backup file"),
            .details = QStringLiteral("An existing FILE is replaced as a whole, or left as it was on failure.\n"),
            .positionalCount = 1,
        },
        {
            .name = QStringLiteral("import"),
            .usage = QStringLiteral("FILE"),
            .summary = QStringLiteral("Add the workspaces of a backup file"),
            .details = QStringLiteral(
                "Workspaces already in the store (same id) are skipped; a damaged file changes nothing.\n"),
            .positionalCount = 1,
        },
        {
            .name = QStringLiteral("launcher"),
            .usage = QString(),
            .summary = QStringLiteral("Open the quick launcher of the running Corvalint"),
            .details
            = QStringLiteral("What the global hotkey does; for desktops where a shortcut of their own runs it.\n"),
        },
        {
            .name = QStringLiteral("gnome-extension"),
            .usage = QStringLiteral("install"),
            .summary = QStringLiteral("Install Corvalint's GNOME Shell extension for this user"),
            .details
            = QStringLiteral("Copies the form that fits the GNOME Shell here (43 and 44, or 45 and later) into\n"
                             "~/.local/share/gnome-shell/extensions and switches it on. GNOME Shell loads a new\n"
                             "extension only at login: log out and back in once.\n"),
            .positionalCount = 1,
        },
    };
    return commands;
}

const CommandDefinition *CommandDefinition::find(const QString &name)
{
    for (const CommandDefinition &command : all()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

QString CommandDefinition::helpText() const
{
    QString text = QStringLiteral("Usage: corvalint %1 %2\n%3.\n\n%4").arg(name, usage, summary, details);
    text += QStringLiteral("\nNAME matches a workspace name exactly; ID is its UUID (any letter case).\n");
    if (needsDesktop) {
        text += QStringLiteral("Needs a desktop: X11 with an EWMH window manager, sway or i3, KDE Plasma (KWin) or\n"
                               "GNOME (with Corvalint's shell extension), found from the session or named with\n"
                               "--desktop; or --desktop sim:SCENARIO.json (then --log FILE writes the simulated\n"
                               "desktop's requests as JSON lines).\n");
    }
    return text;
}

QString CommandDefinition::desktopChoices()
{
    return QStringLiteral("x11|i3ipc|kwin|gnome|sim:SCENARIO.json");
}

QString CommandDefinition::overviewText()
{
    QString text = QStringLiteral("Usage: corvalint [--desktop %1] [--log FILE] [COMMAND ...]\n"
                                  "Without a command, starts Corvalint (or brings its window back).\n\n"
                                  "Commands:\n")
                       .arg(desktopChoices());
    qsizetype width = 0;
    for (const CommandDefinition &command : all())
        width = std::max(width, command.name.size());
    for (const CommandDefinition &command : all())
        text += QStringLiteral("  %1%2\n").arg(command.name.leftJustified(width + 2), command.summary);
    text += QStringLiteral("\n`corvalint COMMAND --help` describes one command.\n"
                           "While Corvalint runs, commands that change workspaces are carried out by it.\n");
    return text;
}

CommandArguments CommandArguments::parse(const CommandDefinition &spec, const QStringList &arguments)
{
    CommandArguments parsed;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &word = arguments[i];
        if (optionsEnded || !word.startsWith(QLatin1Char('-')) || word == QLatin1String("-")) {
            parsed.positional << word;
            continue;
        }
        if (word == QLatin1String("--")) {
            optionsEnded = true;
        } else if (word == QLatin1String("--help") || word == QLatin1String("-h")) {
            parsed.help = true;
        } else if (spec.flags.contains(word)) {
            parsed.flags.insert(word);
        } else {
            const QString name = word.section(QLatin1Char('='), 0, 0);
            if (!spec.valueOptions.contains(name)) {
                if (parsed.error.isEmpty())
                    parsed.error = QStringLiteral("%1: unknown option %2").arg(spec.name, name);
                continue;
            }
            if (word.contains(QLatin1Char('='))) {
                parsed.values.insert(name, word.section(QLatin1Char('='), 1));
            } else if (i + 1 < arguments.size()) {
                parsed.values.insert(name, arguments[++i]);
            } else if (parsed.error.isEmpty()) {
                parsed.error = QStringLiteral("%1: %2 needs a value").arg(spec.name, name);
            }
        }
    }
    if (parsed.error.isEmpty() && parsed.positional.size() != spec.positionalCount) {
        parsed.error = parsed.positional.size() < spec.positionalCount
            ? QStringLiteral("%1: missing %2").arg(spec.name, spec.usage.section(QLatin1Char(' '), 0, 0))
            : QStringLiteral("%1: unexpected argument \"%2\"")
                  .arg(spec.name, parsed.positional.value(spec.positionalCount));
    }
    return parsed;
}
