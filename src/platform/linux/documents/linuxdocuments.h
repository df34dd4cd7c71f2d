// The document collectors of the X11 desktop: which applications play the fixed roles, and what they show.
#pragma once

#include "automation/collecteddocuments.h"
#include "automation/platformprofile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class WindowDocuments;

class LinuxDocuments
{
public:
    /// The folders are injected so that tests can point them at temporary ones:
    /// `homeDir` (Firefox's profiles live in `<home>/.mozilla/firefox`, the
    /// config folder's `mozilla/firefox`, or a Flatpak or Snap folder),
    /// `configDir` (the XDG config folder holding Chromium's, Chrome's, Brave's and
    /// VS Code's folders) and `sessionBusAddress` (empty: no D-Bus). Which desktop
    /// entries are installed comes from GIO and thus from the XDG variables of the
    /// environment.
    /// `dataDir` is the XDG data folder with the recent-files lists.
    explicit LinuxDocuments(QString homeDir = defaultHomeDir(), QString configDir = defaultConfigDir(),
        QString sessionBusAddress = defaultSessionBusAddress(), QString dataDir = defaultDataDir());
    ~LinuxDocuments();
    LinuxDocuments(const LinuxDocuments &) = delete;
    LinuxDocuments &operator=(const LinuxDocuments &) = delete;

    /// The installed desktop entry IDs of the roles: browsers Firefox ("firefox-esr"
    /// or else "firefox"), Chromium ("chromium"), Google Chrome ("google-chrome") and
    /// Brave ("brave-browser"); the file manager (the default handler of
    /// "inode/directory"); the IDE ("code"); the default web browser and the default
    /// folder handler as fallbacks. Empty where nothing is installed.
    PlatformProfile profile() const;

    /// What the application with `applicationId` shows in the role's terms: tab
    /// addresses window after window for a browser role (which browser is told by
    /// the identifier), folder paths for the file manager (Nautilus over D-Bus;
    /// none for the ones whose windows carry their folder, see windowDocument();
    /// others from `windowTitles` that are folder paths), open folders for the IDE.
    /// `processIds` are the application's processes. Empty on any failure or for an
    /// application this platform cannot ask.
    QStringList collect(DocumentRole role, const QString &applicationId, const QList<qint64> &processIds,
        const QStringList &windowTitles) const;

    /// The document one window shows, as a `file://` URL (see WindowDocuments), for
    /// every application but those whose documents `collect()` gives in window
    /// order: browsers, Nautilus and the IDE. Cheap enough for every snapshot: the
    /// recent lists are read again only when they change, and nothing asks D-Bus.
    std::optional<QString> windowDocument(
        const QString &applicationId, std::optional<qint64> pid, const QString &title) const;

    /// The windows of the running browser `applicationId` with their tabs, from its
    /// session file; nothing for an application that is no browser we can read.
    std::optional<QList<BrowserWindowTabs>> collectBrowserWindows(
        const QString &applicationId, const QList<qint64> &processIds) const;

    static QString defaultHomeDir();
    /// `$XDG_CONFIG_HOME`, else `<home>/.config`.
    static QString defaultConfigDir();
    /// See FileManagerCollector::sessionBusFromEnvironment().
    static QString defaultSessionBusAddress();
    /// `$XDG_DATA_HOME`, else `<home>/.local/share`.
    static QString defaultDataDir();

private:
    QStringList collectBrowser(const QString &applicationId, const QList<qint64> &processIds) const;
    QStringList collectFileManager(const QString &applicationId, const QStringList &windowTitles) const;
    QStringList collectIde(const QString &applicationId) const;

    QString m_home;
    QString m_config;
    QString m_bus;
    std::unique_ptr<WindowDocuments> m_windows;
};
