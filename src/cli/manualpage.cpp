// The manual page and the shell completions, from the command table.
#include "manualpage.h"

#include "commanddefinition.h"

#include <QStringList>

namespace ManualPage {

namespace {

/// Text safe in roff: backslashes doubled, a leading dot or quote kept literal.
QString escaped(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\\'), QStringLiteral("\\e"));
    out.replace(QLatin1Char('-'), QStringLiteral("\\-"));
    QStringList lines = out.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.startsWith(QLatin1Char('.')) || line.startsWith(QLatin1Char('\'')))
            line.prepend(QStringLiteral("\\&"));
    }
    return lines.join(QLatin1Char('\n'));
}

QStringList names()
{
    QStringList list;
    for (const CommandDefinition &command : CommandDefinition::all())
        list.append(command.name);
    return list;
}

QStringList optionsOf(const CommandDefinition &command)
{
    return command.flags + command.valueOptions + QStringList { QStringLiteral("--help") };
}

} // namespace

QString roff()
{
    QString page;
    page += QStringLiteral(".TH CORVALINT 1 \"\" \"Corvalint\" \"User Commands\"\n");
    page += QStringLiteral(".SH NAME\ncorvalint \\- capture and restore workspaces of windows\n");
    page += QStringLiteral(".SH SYNOPSIS\n.B corvalint\n[\\fB\\-\\-desktop\\fR %1] [\\fB\\-\\-log\\fR \\fIFILE\\fR] "
                           "[\\fICOMMAND\\fR ...]\n")
                .arg(escaped(CommandDefinition::desktopChoices()));
    page += QStringLiteral(
        ".SH DESCRIPTION\nWithout a command, starts Corvalint (or brings its window back). "
        "Corvalint captures the applications, documents, browser tabs and window places of the desktop "
        "as a named workspace and brings them back with one click, from its window, its tray menu or "
        "this command line.\nWhile Corvalint runs, commands that change workspaces are carried out by it.\n");
    page += QStringLiteral(".SH COMMANDS\n");
    for (const CommandDefinition &command : CommandDefinition::all()) {
        page += QStringLiteral(".TP\n\\fB%1\\fR %2\n%3.\n.nf\n%4.fi\n")
                    .arg(escaped(command.name), escaped(command.usage), escaped(command.summary),
                        escaped(command.details));
    }
    page += QStringLiteral(
        ".SH OPTIONS\n.TP\n\\fB\\-\\-desktop\\fR \\fIDESKTOP\\fR\nThe desktop to work on; chosen from the "
        "session when not given.\n.TP\n\\fB\\-\\-log\\fR \\fIFILE\\fR\nWith a simulated desktop: its requests "
        "as JSON lines.\n.TP\n\\fB\\-\\-help\\fR\nThis overview, or one command's help after its name.\n");
    page += QStringLiteral(".SH FILES\n.TP\n\\fI$XDG_DATA_HOME/Corvalint/\\fR\nThe workspace store.\n.TP\n"
                           "\\fI$XDG_CONFIG_HOME/Corvalint/Corvalint.conf\\fR\nThe settings.\n");
    page += QStringLiteral(".SH EXIT STATUS\n0 on success, 1 when the command failed or a launch left "
                           "something out, 2 for a usage error.\n");
    return page;
}

QString bashCompletion()
{
    QString script = QStringLiteral("# bash completion for corvalint\n_corvalint()\n{\n"
                                    "    local cur=\"${COMP_WORDS[COMP_CWORD]}\" command=\"\" i\n"
                                    "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
                                    "        case \"${COMP_WORDS[i]}\" in\n"
                                    "            --desktop|--log) ((i++)) ;;\n"
                                    "            -*) ;;\n"
                                    "            *) command=\"${COMP_WORDS[i]}\"; break ;;\n"
                                    "        esac\n    done\n    case \"$command\" in\n");
    for (const CommandDefinition &command : CommandDefinition::all()) {
        script += QStringLiteral("        %1) COMPREPLY=($(compgen -W \"%2\" -- \"$cur\")) ;;\n")
                      .arg(command.name, optionsOf(command).join(QLatin1Char(' ')));
    }
    script += QStringLiteral("        \"\") COMPREPLY=($(compgen -W \"%1 --desktop --log --help\" -- \"$cur\")) ;;\n"
                             "    esac\n}\ncomplete -o default -F _corvalint corvalint\n")
                  .arg(names().join(QLatin1Char(' ')));
    return script;
}

QString zshCompletion()
{
    QString script = QStringLiteral("#compdef corvalint\n# zsh completion for corvalint\n_corvalint() {\n"
                                    "    local -a commands\n    commands=(\n");
    for (const CommandDefinition &command : CommandDefinition::all()) {
        QString summary = command.summary;
        summary.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
        script += QStringLiteral("        '%1:%2'\n").arg(command.name, summary);
    }
    script += QStringLiteral("    )\n    if (( CURRENT == 2 )); then\n        _describe command commands\n"
                             "        return\n    fi\n    case \"${words[2]}\" in\n");
    for (const CommandDefinition &command : CommandDefinition::all()) {
        script += QStringLiteral("        %1) compadd -- %2 ;;\n")
                      .arg(command.name, optionsOf(command).join(QLatin1Char(' ')));
    }
    script += QStringLiteral("    esac\n}\n_corvalint \"$@\"\n");
    return script;
}

QString fishCompletion()
{
    QString script = QStringLiteral("# fish completion for corvalint\ncomplete -c corvalint -f\n");
    const QString commands = names().join(QLatin1Char(' '));
    for (const CommandDefinition &command : CommandDefinition::all()) {
        script
            += QStringLiteral("complete -c corvalint -n 'not __fish_seen_subcommand_from %1' -a %2 -d '%3'\n")
                   .arg(commands, command.name, QString(command.summary).replace(QLatin1Char('\''), QLatin1Char(' ')));
        for (const QString &option : optionsOf(command)) {
            script += QStringLiteral("complete -c corvalint -n '__fish_seen_subcommand_from %1' -l %2\n")
                          .arg(command.name, option.mid(2));
        }
    }
    return script;
}

} // namespace ManualPage
