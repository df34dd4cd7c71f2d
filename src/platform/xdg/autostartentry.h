// The XDG autostart entry that starts Corvalint in the tray when the user logs in.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class AutostartEntry
{
public:
    /// The option the entry starts Corvalint with: no window, only the tray,
    /// and the workspaces marked for it launched once the desktop is ready.
    static constexpr QLatin1String loginOption { "--login" };

    /// `$XDG_CONFIG_HOME/autostart/corvalint.desktop` (the user's own autostart folder).
    static QString path();
    /// Whether the user's autostart folder holds our entry and it is not hidden.
    static bool isInstalled();
    /// The entry's text for starting `program` (an absolute path).
    static QByteArray content(const QString &program);
    /// Writes the entry (atomically) for `program`; false with a German reason.
    static bool install(const QString &program, QString *error);
    /// Removes the entry; false with a German reason. No entry is no error.
    static bool uninstall(QString *error);
    /// One argument of an Exec line, quoted as the Desktop Entry Specification asks.
    static QString quoteExecArgument(const QString &argument);
};
