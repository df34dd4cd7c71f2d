// Splitting the program's arguments into the global options and the command.
#include "invocation.h"

namespace {

/// Reads "--name VALUE" or "--name=VALUE" at `i`; true when it was this option.
bool takeValue(const QStringList &arguments, qsizetype &i, const QString &name, QString *value, QString *error)
{
    const QString &word = arguments[i];
    if (word.startsWith(name + QLatin1Char('='))) {
        *value = word.mid(name.size() + 1);
    } else if (word == name) {
        if (i + 1 >= arguments.size()) {
            *error = QStringLiteral("%1 needs a value").arg(name);
            return true;
        }
        *value = arguments[++i];
    } else {
        return false;
    }
    if (value->isEmpty())
        *error = QStringLiteral("%1 needs a value").arg(name);
    return true;
}

/// Qt's own options that take a value (QGuiApplication reads them from argv).
bool isQtOptionWithValue(const QString &word)
{
    static const QStringList names { QStringLiteral("-platform"), QStringLiteral("-platformpluginpath"),
        QStringLiteral("-platformtheme"), QStringLiteral("-plugin"), QStringLiteral("-display"),
        QStringLiteral("-style"), QStringLiteral("-stylesheet"), QStringLiteral("-geometry"),
        QStringLiteral("-qwindowgeometry"), QStringLiteral("-title"), QStringLiteral("-qwindowtitle"),
        QStringLiteral("-qwindowicon"), QStringLiteral("-name"), QStringLiteral("-session"),
        QStringLiteral("-qmljsdebugger") };
    return names.contains(word);
}

} // namespace

Invocation Invocation::parse(const QStringList &arguments)
{
    Invocation invocation;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size() && invocation.error.isEmpty(); ++i) {
        const QString &word = arguments[i];
        if (!optionsEnded) {
            QString *value = nullptr;
            if (takeValue(arguments, i, QStringLiteral("--desktop"), &invocation.desktop, &invocation.error)) {
                value = &invocation.desktop;
                invocation.desktopChosen = true;
            } else if (takeValue(arguments, i, QStringLiteral("--log"), &invocation.logFile, &invocation.error))
                value = &invocation.logFile;
            if (value) {
                // "--desktop --help" asks for help, not for a desktop named so.
                if (*value == QLatin1String("--help") || *value == QLatin1String("-h"))
                    invocation.help = true;
                continue;
            }
        }
        if (invocation.command.isEmpty()) {
            if (word == QLatin1String("--help") || word == QLatin1String("-h")) {
                invocation.help = true;
            } else if (word == QLatin1String("--") && !optionsEnded) {
                optionsEnded = true;
            } else if (word.startsWith(QLatin1Char('-')) && !optionsEnded) {
                // Qt's own options (-platform xcb, -style ...) belong to the application.
                invocation.arguments << word;
                if (isQtOptionWithValue(word) && i + 1 < arguments.size())
                    invocation.arguments << arguments[++i];
            } else {
                invocation.command = word;
            }
            continue;
        }
        if (word == QLatin1String("--"))
            optionsEnded = true;
        invocation.arguments << word;
    }
    return invocation;
}

Invocation Invocation::parse(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return parse(arguments);
}
