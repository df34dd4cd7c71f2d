// Asks GIO which desktop entries are installed and which ones handle a content type by default.
#pragma once

#include <QString>
#include <QStringList>

class DesktopEntries
{
public:
    /// Whether a desktop entry with this ID (without ".desktop") is installed and
    /// not hidden, in the XDG data directories of the environment.
    static bool isInstalled(const QString &id);

    /// The first of `ids` that is installed, or empty.
    static QString firstInstalled(const QStringList &ids);

    /// The desktop entry ID (without ".desktop") of the default handler of a
    /// content type such as "inode/directory" or "x-scheme-handler/https", or empty.
    static QString defaultFor(const QString &contentType);
};
