// Starts a desktop entry through GIO: Exec parsed by the Desktop Entry rules, no shell, its own session.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class DesktopLauncher
{
public:
    /// A start that went through.
    struct Started {
        /// The process we started; nothing when the desktop started it for us (an entry with
        /// DBusActivatable=true is activated over D-Bus, and its windows must be found by id).
        std::optional<qint64> pid;
    };

    /// `display` is handed to the started program as DISPLAY (empty: ours).
    explicit DesktopLauncher(QString display);

    /// Runs the entry stored in `desktopFilePath` with `uris` (none for a plain start). GIO expands the field
    /// codes (%f %F %u %U ...), honours Terminal= and Path=, and passes each URI or path as one argument.
    /// The program reads from and writes to /dev/null, never to Corvalint's standard streams.
    /// Nothing when the entry cannot be loaded or started.
    std::optional<Started> launch(const QString &desktopFilePath, const QStringList &uris) const;

    /// The entry's program and its own arguments (Exec without field codes), as GLib splits them.
    /// Nothing when the entry cannot be loaded or its Exec does not parse.
    static std::optional<QStringList> command(const QString &desktopFilePath);
    /// Runs `command` followed by `arguments` as one process, with the same streams, session and DISPLAY as
    /// `launch` (for words an entry cannot express, such as a browser's `--new-window`).
    std::optional<Started> run(const QStringList &command, const QStringList &arguments) const;

private:
    QString m_display;
};
