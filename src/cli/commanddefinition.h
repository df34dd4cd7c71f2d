// The commands of the command line: their names, arguments, options and help
// texts, and the reading of one command's arguments.
#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

// Written with designated initialisers in the table: every member has a
// default, so a command names only what it sets.
struct CommandDefinition {
    QString name {};
    /// The arguments as the usage line shows them ("NAME|ID").
    QString usage {};
    QString summary {};
    /// More lines for --help.
    QString details {};
    int positionalCount = 0;
    QStringList flags {};
    /// Options followed by a value.
    QStringList valueOptions {};
    /// Whether the command works on a desktop (X11 or simulated).
    bool needsDesktop = false;

    /// Every command, in the order help lists them.
    static const QList<CommandDefinition> &all();
    /// The command with this name, or nothing.
    static const CommandDefinition *find(const QString &name);

    /// The --help text of this command.
    QString helpText() const;
    /// The text of `corvalint --help`.
    static QString overviewText();
    /// What --desktop takes, as the usage line shows it.
    static QString desktopChoices();
};

/// One command's arguments after reading.
struct CommandArguments {
    QStringList positional;
    QSet<QString> flags;
    QHash<QString, QString> values;
    bool help = false;
    /// What was wrong; one line without the program name.
    QString error;

    bool has(const QString &flag) const { return flags.contains(flag); }
    QString value(const QString &option, const QString &fallback) const { return values.value(option, fallback); }

    /// Reads `arguments` against `spec`: --help anywhere asks for help; "--"
    /// ends the options; option values as "--icon X" or "--icon=X".
    static CommandArguments parse(const CommandDefinition &spec, const QStringList &arguments);
};
