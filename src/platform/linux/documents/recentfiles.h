// The files the desktop remembers as recently opened, and by which application: freedesktop's shared list and KDE's.
#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

/// One application that opened a recent file: `name` as the list records it
/// ("Mousepad", or a KDE desktop entry name such as "org.kde.kate"), `program` the
/// file name of its command's program ("mousepad").
struct RecentUse {
    QString name;
    QString program;
    QDateTime modified;
};

struct RecentFile {
    /// Absolute, cleaned; whether it still exists is the reader's question.
    QString path;
    QDateTime modified;
    QList<RecentUse> uses;
};

class RecentFiles
{
public:
    /// `dataDir` is the XDG data folder holding `recently-used.xbel` and
    /// `RecentDocuments/`; `homeDir` stands for `$HOME` in KDE's entries.
    RecentFiles(QString dataDir, QString homeDir);

    /// The recent local files that an application called one of `names` opened,
    /// newest first by that application's last use. A name matches a use's name or
    /// program, ignoring case. Files are read again only when they changed.
    QStringList openedBy(const QStringList &names);

    /// Every recent local file, newest first.
    QStringList all();

    /// The `file://` bookmarks of an XBEL document with the applications that
    /// opened them; other URLs and a malformed document's rest are left out.
    static QList<RecentFile> parseXbel(const QByteArray &xml);

    /// A KDE recent document (`[Desktop Entry]` with `URL[$e]` or `URL`, and
    /// `X-KDE-LastOpenedWith`), or nothing when it names no local file. `$HOME`
    /// in a `URL[$e]` stands for `home`.
    static std::optional<RecentFile> parseKdeEntry(
        const QByteArray &content, const QDateTime &modified, const QString &home);

    /// The largest list read, and the most KDE entries read, so that a runaway
    /// file cannot cost memory or time on every look.
    static constexpr qint64 maxXbelBytes = 8 * 1024 * 1024;
    static constexpr int maxKdeEntries = 500;
    static constexpr qint64 maxKdeEntryBytes = 64 * 1024;

private:
    struct Stamp {
        QDateTime modified;
        qint64 size = -1;
        bool operator==(const Stamp &) const = default;
    };
    struct Cached {
        Stamp stamp;
        QList<RecentFile> files;
    };

    const QList<RecentFile> &xbel();
    QList<RecentFile> kde();
    QList<RecentFile> merged();

    QString m_dataDir;
    QString m_home;
    Cached m_xbel;
    Cached m_kdeFolder;
    QHash<QString, Cached> m_kde;
};
