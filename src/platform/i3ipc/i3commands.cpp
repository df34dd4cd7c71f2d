// The text of the RUN_COMMAND requests Corvalint sends: one container picked by its id, then what to do.
#include "i3commands.h"

QString I3Commands::criteria(quint64 conId)
{
    return QStringLiteral("[con_id=%1]").arg(conId);
}

QString I3Commands::quoted(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size() + 2);
    escaped.append(QLatin1Char('"'));
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            escaped.append(QLatin1Char('\\'));
        // A line break would end the command; no output or workspace name has one.
        escaped.append(c == QLatin1Char('\n') || c == QLatin1Char('\r') ? QLatin1Char(' ') : c);
    }
    escaped.append(QLatin1Char('"'));
    return escaped;
}

QString I3Commands::floatingFrame(quint64 conId, const QRect &frame, bool leaveFullScreen)
{
    QString command = criteria(conId) + QLatin1Char(' ');
    if (leaveFullScreen)
        command += QStringLiteral("fullscreen disable, ");
    command += QStringLiteral("floating enable, resize set %1 px %2 px, move absolute position %3 px %4 px")
                   .arg(frame.width())
                   .arg(frame.height())
                   .arg(frame.x())
                   .arg(frame.y());
    return command;
}

QString I3Commands::tiled(
    quint64 conId, const QString &output, std::optional<int> workspaceNumber, bool leaveFullScreen)
{
    QString command = criteria(conId) + QLatin1Char(' ');
    if (leaveFullScreen)
        command += QStringLiteral("fullscreen disable, ");
    command += QStringLiteral("floating disable");
    // A workspace lives on one output: moving there afterwards would only pull the window off it again.
    if (workspaceNumber)
        command += QStringLiteral(", move container to workspace number %1").arg(*workspaceNumber);
    else if (!output.isEmpty())
        command += QStringLiteral(", move container to output %1").arg(quoted(output));
    // A tiled window moved onto a workspace with a full-screen window arrives floating (sway and i3 both):
    // tiled once more where it landed.
    if (workspaceNumber || !output.isEmpty())
        command += QStringLiteral(", floating disable");
    return command;
}

QString I3Commands::fullScreen(quint64 conId, const QString &output)
{
    QString command = criteria(conId) + QLatin1Char(' ');
    if (!output.isEmpty())
        command += QStringLiteral("move container to output %1, ").arg(quoted(output));
    return command + QStringLiteral("fullscreen enable");
}

QString I3Commands::focus(quint64 conId)
{
    return criteria(conId) + QStringLiteral(" focus");
}

QString I3Commands::close(quint64 conId)
{
    return criteria(conId) + QStringLiteral(" kill");
}
