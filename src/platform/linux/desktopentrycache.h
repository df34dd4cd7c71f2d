// The installed desktop entries kept between runs: reading every entry through GIO costs a command more than
// all its other work, and the entries rarely change between two commands.
#pragma once

#include "desktopentryindex.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

class DesktopEntryCache
{
public:
    /// What the installed entries depend on, as one hash: every folder entries are read from with each
    /// desktop file's identity, size and modification time (an entry edited in place changes no folder), the
    /// program search path and its folders (an entry whose TryExec program appears or goes, or whose program
    /// is now another file), and the files met on the way.
    struct Fingerprint {
        QByteArray hash;
        /// Every desktop file seen, by absolute path: the only files a cached entry may name.
        QSet<QString> files;
    };

    /// Kept in `file`; its folder must be private to this user, or nothing is read or written there.
    explicit DesktopEntryCache(QString file = defaultFile());

    /// `$XDG_CACHE_HOME/corvalint/desktop-entries.json`.
    static QString defaultFile();

    /// The installed entries: from the file when nothing they depend on changed since it was written,
    /// else read through GIO and written to the file for the next run. A file that is damaged, foreign
    /// or stale is read past, never trusted.
    DesktopEntryIndex load() const;

    /// The fingerprint of the entries in `folders` (in precedence order) for the search path `path`;
    /// nothing when there are too many files to be worth it.
    static std::optional<Fingerprint> fingerprint(const QStringList &folders, const QString &path);
    /// The entries stored in `data` under `expected`, or nothing when the data is not such a file, was made
    /// for other installed entries, or names a file outside them.
    static std::optional<QList<DesktopEntryIndex::Entry>> parse(const QByteArray &data, const Fingerprint &expected);
    static QByteArray serialize(const QList<DesktopEntryIndex::Entry> &entries, const Fingerprint &fingerprint);

private:
    std::optional<QList<DesktopEntryIndex::Entry>> read(const Fingerprint &expected) const;
    void write(const QList<DesktopEntryIndex::Entry> &entries, const Fingerprint &fingerprint) const;

    QString m_file;
};
