// Writes workspace and entry rows into a store file inside one transaction.
#pragma once

#include "workspacedata.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <optional>

/// One write transaction on a store connection. Begin, write, then commit;
/// a writer that goes away without a commit rolls back, so a failed save
/// leaves the file exactly as it was.
class StoreWriter
{
public:
    explicit StoreWriter(QSqlDatabase &database);
    ~StoreWriter();

    StoreWriter(const StoreWriter &) = delete;
    StoreWriter &operator=(const StoreWriter &) = delete;

    /// Takes the write lock at once (waiting at most the busy timeout), so
    /// two writers never deadlock halfway through.
    bool begin();
    bool commit();
    void rollback();

    /// Adds a workspace row with its entries; its new key, or nothing.
    std::optional<qint64> insertWorkspace(const WorkspaceData &data);
    /// Rewrites the row `pk`, and its entries when `withEntries`. False on
    /// an error; `found` tells whether the row still existed (another
    /// process may have deleted it).
    bool updateWorkspace(qint64 pk, const WorkspaceData &data, bool withEntries, bool *found);
    /// Deletes the row `pk` and every entry row of it.
    bool deleteWorkspace(qint64 pk);

    /// The last error, for the save's failure message.
    QString errorText() const { return m_errorText; }

private:
    // A statement is prepared on first use and then reused for every row.
    struct Statement {
        QSqlQuery query;
        bool prepared = false;
    };

    bool run(QSqlQuery &query);
    bool prepare(Statement &statement, const char *sql);
    void bindWorkspace(QSqlQuery &query, const WorkspaceData &data);
    bool insertEntries(qint64 pk, const QList<EntryData> &entries);

    QSqlDatabase m_database;
    Statement m_insertWorkspace;
    Statement m_updateWorkspace;
    Statement m_deleteEntries;
    Statement m_deleteWorkspace;
    Statement m_insertEntry;
    bool m_inTransaction = false;
    QString m_errorText;
};
