// The installed desktop entries (through GIO) and the rules that tie a client window to one of them.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <optional>

class DesktopEntryIndex
{
public:
    /// One installed, not hidden desktop entry.
    struct Entry {
        /// The desktop entry ID without ".desktop" (subfolders joined with "-").
        QString id;
        QString path;
        QString startupWMClass;
        /// The canonical path of the program its Exec line runs; empty when not found.
        QString executable;
    };

    /// What a client window tells about its application.
    struct WindowClues {
        QString instance;
        QString className;
        QString gtkApplicationId;
        QString kdeDesktopFile;
        /// The canonical path of the window's process executable (/proc/PID/exe).
        QString executable;
        /// Instance and class come lower-cased (KWin lower-cases WM_CLASS): they are compared with StartupWMClass
        /// regardless of case.
        bool lowerCased = false;
    };

    DesktopEntryIndex() = default;
    /// An index over these entries (the first of equal IDs wins).
    explicit DesktopEntryIndex(const QList<Entry> &entries);
    /// Every installed entry GIO knows (`$XDG_DATA_HOME/applications`, then `$XDG_DATA_DIRS`).
    static QList<Entry> installedEntries();
    static DesktopEntryIndex loadInstalled() { return DesktopEntryIndex(installedEntries()); }

    /// The entries, the first of equal IDs only.
    const QList<Entry> &entries() const { return m_entries; }

    bool contains(const QString &id) const { return m_byId.contains(id); }
    /// The entry's file, or nothing when no such entry is installed.
    std::optional<QString> path(const QString &id) const;
    /// The ID of the entry stored in `path`, or nothing.
    std::optional<QString> idForPath(const QString &path) const;

    /// The application identifier of a window, in this order: WM_CLASS instance, then class, against
    /// StartupWMClass; instance, then class, as an entry ID (exact, then lower case with spaces as "-");
    /// `_GTK_APPLICATION_ID`, then `_KDE_NET_WM_DESKTOP_FILE`, when such an entry exists (toolkits invent
    /// them); the process executable against the entries' Exec when exactly one entry runs it, or when of
    /// those that do exactly one is named as the window's class ends. Failing all
    /// these: the WM_CLASS class (the window can be placed, not launched), else nothing.
    std::optional<QString> resolve(const WindowClues &clues) const;

private:
    std::optional<QString> asEntryId(const QString &name) const;
    std::optional<QString> byExecutable(const WindowClues &clues) const;

    QList<Entry> m_entries;
    QHash<QString, qsizetype> m_byId;
    QHash<QString, QString> m_byStartupWMClass;
    /// The same, by StartupWMClass in lower case (the first entry wins).
    QHash<QString, QString> m_byLowerStartupWMClass;
    QHash<QString, QString> m_byPath;
    /// The entries that run each executable.
    QHash<QString, QStringList> m_byExecutable;
};
