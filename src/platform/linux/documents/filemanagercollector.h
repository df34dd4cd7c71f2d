// Collects the folders file manager windows show: Nautilus over D-Bus, other file managers by their titles.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class FileManagerCollector
{
public:
    /// `sessionBusAddress` is the D-Bus address to ask (empty: there is no session bus).
    explicit FileManagerCollector(QString sessionBusAddress);

    /// The first location of every window that `org.freedesktop.FileManager1`
    /// reports in `OpenWindowsWithLocations`, as local paths, windows in the order
    /// of their object paths (Nautilus numbers them as it opens them). A window
    /// showing something that is not a local folder (trash, search, network) ends
    /// the list there, so that the folders before it still pair with their windows.
    /// Empty when the bus or the service does not answer within `timeoutMs`; a
    /// file manager that is not running is never started.
    QStringList openLocations(int timeoutMs = 1000) const;

    /// The titles that name an existing directory by its absolute path, cleaned, in
    /// their order (file managers that show the path in the title).
    static QStringList titledFolders(const QStringList &windowTitles);

    /// Whether the application is Nautilus, whose windows' folders come over D-Bus
    /// in their order (see openLocations()).
    static bool isNautilus(const QString &applicationId);

    /// Whether the application is a file manager whose windows tell their folder by
    /// their title only: Thunar, Nemo, Caja, Dolphin, PCManFM. None of them lists
    /// its windows' locations over D-Bus (Nemo's `OpenLocations` stays empty).
    static bool titlesFolders(const QString &applicationId);

    /// The existing folder a file manager window's title names: a full or `~` path
    /// (Thunar, Nemo and Dolphin can be set to show one), else the folder's name,
    /// the title's first part ("dir one - Thunar", "dir one — Dolphin", "dir one"),
    /// when exactly one existing folder of `candidates` (absolute paths) has that
    /// name. "Home" (Nemo) is `home`, and "File System" (Thunar, Nemo, Caja) the
    /// root, unless a candidate has that name.
    static std::optional<QString> folderOfTitle(
        const QString &title, const QStringList &candidates, const QString &home);

    /// The session bus address from the environment: `DBUS_SESSION_BUS_ADDRESS`,
    /// else `$XDG_RUNTIME_DIR/bus` when that socket exists, else empty. Never starts
    /// a bus.
    static QString sessionBusFromEnvironment();

private:
    QString m_address;
};
