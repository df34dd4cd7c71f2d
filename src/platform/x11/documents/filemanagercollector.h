// Collects the folders file manager windows show: Nautilus over D-Bus, other file managers by their titles.
#pragma once

#include <QString>
#include <QStringList>

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

    /// The session bus address from the environment: `DBUS_SESSION_BUS_ADDRESS`,
    /// else `$XDG_RUNTIME_DIR/bus` when that socket exists, else empty. Never starts
    /// a bus.
    static QString sessionBusFromEnvironment();

private:
    QString m_address;
};
