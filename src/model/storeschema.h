// The tables of the store file, their version, and the checks a file must
// pass before the store trusts it.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <optional>

class StoreSchema
{
public:
    /// The version written into every store file, as text.
    static QString versionText();
    /// The same version as the file header's user_version (major*10000 + minor*100 + patch).
    static int userVersion();

    /// What a readable SQLite file holds.
    enum class Contents {
        empty, ///< no tables at all: safe to set up
        current, ///< a store of this version
        /// A store of version 1.0.0 or 1.1.0: readable as it is (its entries
        /// lack the columns added since, which read as their defaults);
        /// `upgrade` brings it to this version.
        older,
    };

    /// Checks the raw bytes of an existing file without any SQLite code
    /// touching it: a SQLite header, a sane page size and, when no write-ahead
    /// log is pending, no pages missing at the end. False with a reason.
    static bool checkFileBytes(const QString &path, QString *error);

    /// Looks through a (read-only) connection at the tables, the recorded
    /// version and the file's integrity. Nothing when the store must not use
    /// the file, with the reason in `error`.
    static std::optional<Contents> inspect(QSqlDatabase &database, QString *error);

    /// Creates the tables and records the version, in one transaction.
    static bool create(QSqlDatabase &database, QString *error);

    /// Brings a store of an older known version to this one in place: the
    /// new columns and the recorded version (meta and user_version) in one
    /// transaction under the write lock, so the file is either upgraded
    /// whole or left exactly as it was. True when it is current afterwards
    /// (also when another writer upgraded it first). Only for the writing
    /// connection of the process that holds the store's writer lock.
    static bool upgrade(QSqlDatabase &database, QString *error);

    /// Connection settings of a writing connection: write-ahead log, commits
    /// that survive a killed process, cascading deletes, and how long to wait
    /// for another process's write lock.
    static bool configure(QSqlDatabase &database, int busyTimeoutMs, QString *error);
    /// Only the lock wait of `configure`.
    static bool setBusyTimeout(QSqlDatabase &database, int busyTimeoutMs);
};
