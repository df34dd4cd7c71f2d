// One named SQLite connection of the store, removed again when it goes away.
#pragma once

#include <QSqlDatabase>
#include <QString>

/// Owns a QSqlDatabase connection under a name no other connection uses.
/// Qt keeps connections in a process-wide registry; forgetting
/// removeDatabase() leaks them and reusing a name silently closes the other
/// user's connection, so every context of the store goes through this class.
class StoreConnection
{
public:
    enum class Mode {
        readOnly,
        readWrite,
        /// Reads the file as it lies on disk, without locks or a write-ahead
        /// log: for a file in a folder nobody may write, where SQLite could
        /// not create the log's companion files that reading normally needs.
        immutable,
    };

    /// Opens `path` as a new connection; check isOpen() and errorText().
    /// `purpose` only makes the connection name readable in diagnostics.
    StoreConnection(const QString &path, Mode mode, const QString &purpose);
    ~StoreConnection();

    StoreConnection(const StoreConnection &) = delete;
    StoreConnection &operator=(const StoreConnection &) = delete;

    bool isOpen() const { return m_database.isOpen(); }
    /// Why opening failed; empty when it did not.
    QString errorText() const { return m_errorText; }
    QSqlDatabase &database() { return m_database; }
    QString name() const { return m_name; }

private:
    QString m_name;
    QSqlDatabase m_database;
    QString m_errorText;
};
