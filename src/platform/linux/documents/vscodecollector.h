// Collects the folders and workspace files a running VS Code has open, from its window state.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class VsCodeCollector
{
public:
    /// `userDir` is VS Code's "User" folder (e.g. ~/.config/Code/User).
    explicit VsCodeCollector(QString userDir);

    /// The local paths of the windows in `User/globalStorage/storage.json`; empty on
    /// any failure.
    QStringList collect() const;

    /// The paths of `windowsState`: every window of `openedWindows` in its order,
    /// then `lastActiveWindow` unless it was already listed. That is the order in
    /// which VS Code reopens them, the last active one last so that it ends on top.
    /// A window's folder (`folder`, `folderUri`, `folderPath`) or workspace file
    /// (`workspaceIdentifier.configURIPath`, `workspace.configPath`) counts when it
    /// is local; windows without one (empty or remote) are left out.
    static QStringList windowPaths(const QByteArray &storageJson);

private:
    QString m_dir;
};
