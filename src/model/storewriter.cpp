// Writes workspace and entry rows into a store file inside one transaction.
#include "storewriter.h"

#include "entryjson.h"
#include "tabcolumn.h"

#include <QSqlError>
#include <cmath>

namespace {
QVariant dateValue(const QDateTime &value)
{
    return value.isValid() ? QVariant(value.toMSecsSinceEpoch()) : QVariant();
}

QVariant optionalDateValue(const std::optional<QDateTime> &value)
{
    return value ? dateValue(*value) : QVariant();
}

// A present but null QString would be bound as SQL NULL and come back absent.
QVariant optionalTextValue(const std::optional<QString> &value)
{
    if (!value)
        return {};
    return value->isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(*value);
}

// SQLite binds a NaN as NULL, which would read back as the field's default
// or as absent; the word keeps it, and the reader knows it. The infinities
// survive as REAL values of their own.
QVariant realValue(double value)
{
    return std::isnan(value) ? QVariant(QStringLiteral("NaN")) : QVariant(value);
}

QVariant optionalRealValue(const std::optional<double> &value)
{
    return value ? realValue(*value) : QVariant();
}

QVariant idValue(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces);
}
} // namespace

StoreWriter::StoreWriter(QSqlDatabase &database)
    : m_database(database)
    , m_insertWorkspace { QSqlQuery(database) }
    , m_updateWorkspace { QSqlQuery(database) }
    , m_deleteEntries { QSqlQuery(database) }
    , m_deleteWorkspace { QSqlQuery(database) }
    , m_insertEntry { QSqlQuery(database) }
{
}

StoreWriter::~StoreWriter()
{
    if (m_inTransaction)
        rollback();
}

bool StoreWriter::begin()
{
    QSqlQuery query(m_database);
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        m_errorText = query.lastError().text();
        return false;
    }
    m_inTransaction = true;
    return true;
}

bool StoreWriter::commit()
{
    QSqlQuery query(m_database);
    if (!query.exec(QStringLiteral("COMMIT"))) {
        m_errorText = query.lastError().text();
        return false;
    }
    m_inTransaction = false;
    return true;
}

void StoreWriter::rollback()
{
    QSqlQuery(m_database).exec(QStringLiteral("ROLLBACK"));
    m_inTransaction = false;
}

bool StoreWriter::run(QSqlQuery &query)
{
    if (query.exec())
        return true;
    m_errorText = query.lastError().text();
    return false;
}

bool StoreWriter::prepare(Statement &statement, const char *sql)
{
    if (statement.prepared)
        return true;
    statement.prepared = statement.query.prepare(QString::fromLatin1(sql));
    if (!statement.prepared)
        m_errorText = statement.query.lastError().text();
    return statement.prepared;
}

void StoreWriter::bindWorkspace(QSqlQuery &query, const WorkspaceData &data)
{
    query.bindValue(0, idValue(data.id));
    query.bindValue(1, data.name);
    query.bindValue(2, data.icon);
    query.bindValue(3, data.category);
    query.bindValue(4, dateValue(data.createdAt));
    query.bindValue(5, dateValue(data.modifiedAt));
    query.bindValue(6, int(data.autoLaunch));
    query.bindValue(7, int(data.restoreDocuments));
    query.bindValue(8, int(data.isFavorite));
    query.bindValue(9, data.launchCount);
    query.bindValue(10, optionalDateValue(data.lastLaunchedAt));
    query.bindValue(11, realValue(data.timeSavedInSeconds));
}

std::optional<qint64> StoreWriter::insertWorkspace(const WorkspaceData &data)
{
    if (!prepare(m_insertWorkspace,
            "INSERT INTO workspace (id, name, icon, category, createdAt, modifiedAt, autoLaunch, restoreDocuments,"
            " isFavorite, launchCount, lastLaunchedAt, timeSavedInSeconds)"
            " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))
        return std::nullopt;
    bindWorkspace(m_insertWorkspace.query, data);
    if (!run(m_insertWorkspace.query))
        return std::nullopt;
    const QVariant key = m_insertWorkspace.query.lastInsertId();
    bool ok = false;
    const qint64 pk = key.toLongLong(&ok);
    if (!ok) {
        m_errorText = QStringLiteral("SQLite gave the new workspace row no key");
        return std::nullopt;
    }
    if (!insertEntries(pk, data.entries))
        return std::nullopt;
    return pk;
}

bool StoreWriter::updateWorkspace(qint64 pk, const WorkspaceData &data, bool withEntries, bool *found)
{
    *found = false;
    if (!prepare(m_updateWorkspace,
            "UPDATE workspace SET id = ?, name = ?, icon = ?, category = ?, createdAt = ?, modifiedAt = ?,"
            " autoLaunch = ?, restoreDocuments = ?, isFavorite = ?, launchCount = ?, lastLaunchedAt = ?,"
            " timeSavedInSeconds = ? WHERE pk = ?")
        || !prepare(m_deleteEntries, "DELETE FROM entry WHERE workspace = ?"))
        return false;
    bindWorkspace(m_updateWorkspace.query, data);
    m_updateWorkspace.query.bindValue(12, pk);
    if (!run(m_updateWorkspace.query))
        return false;
    *found = m_updateWorkspace.query.numRowsAffected() > 0;
    if (!*found || !withEntries)
        return true;
    // The entries are rewritten as a whole: a workspace is the unit that
    // changes, and this keeps their stored order equal to the list order.
    m_deleteEntries.query.bindValue(0, pk);
    return run(m_deleteEntries.query) && insertEntries(pk, data.entries);
}

bool StoreWriter::deleteWorkspace(qint64 pk)
{
    // Explicit as well as by the foreign key: a file written by a connection
    // without foreign keys switched on must not keep orphans either.
    if (!prepare(m_deleteEntries, "DELETE FROM entry WHERE workspace = ?")
        || !prepare(m_deleteWorkspace, "DELETE FROM workspace WHERE pk = ?"))
        return false;
    m_deleteEntries.query.bindValue(0, pk);
    m_deleteWorkspace.query.bindValue(0, pk);
    return run(m_deleteEntries.query) && run(m_deleteWorkspace.query);
}

namespace {
// Binds an entry's members to the insert's placeholders in member order,
// after the row's workspace and position, in the forms the store keeps.
class EntryBinding final : public EntryJson::MemberWriter
{
public:
    EntryBinding(QSqlQuery &query, int first)
        : m_query(query)
        , m_next(first)
    {
    }

    void uuid(const char *, const QUuid &value) override { bind(idValue(value)); }
    void text(const char *, const QString &value) override { bind(value); }
    void optionalText(const char *, const std::optional<QString> &value) override { bind(optionalTextValue(value)); }
    void number(const char *, double value) override { bind(realValue(value)); }
    void optionalNumber(const char *, std::optional<double> value) override { bind(optionalRealValue(value)); }
    void boolean(const char *, bool value) override { bind(int(value)); }
    void texts(const char *, const QStringList &value) override { bind(TabColumn::toValue(value)); }
    void optionalWholeNumber(const char *, std::optional<int> value) override
    {
        bind(value ? QVariant(*value) : QVariant(QMetaType(QMetaType::Int)));
    }

private:
    void bind(const QVariant &value) { m_query.bindValue(m_next++, value); }

    QSqlQuery &m_query;
    int m_next;
};

QString insertEntrySql()
{
    QStringList columns { QStringLiteral("workspace"), QStringLiteral("position") };
    for (const char *key : EntryJson::firstMembers)
        columns.append(QLatin1String(key));
    for (const char *key : EntryJson::laterMembers)
        columns.append(QLatin1String(key));
    const QStringList placeholders(columns.size(), QStringLiteral("?"));
    return QStringLiteral("INSERT INTO entry (%1) VALUES (%2)")
        .arg(columns.join(QLatin1String(", ")), placeholders.join(QLatin1String(", ")));
}
} // namespace

bool StoreWriter::insertEntries(qint64 pk, const QList<EntryData> &entries)
{
    if (entries.isEmpty())
        return true;
    static const QByteArray sql = insertEntrySql().toLatin1();
    if (!prepare(m_insertEntry, sql.constData()))
        return false;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        QSqlQuery &q = m_insertEntry.query;
        q.bindValue(0, pk);
        q.bindValue(1, qint64(i));
        EntryBinding binding(q, 2);
        EntryJson::write(entries.at(i), binding);
        if (!run(q))
            return false;
    }
    return true;
}
