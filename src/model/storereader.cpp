// Reads workspace and entry rows out of a store file, forgiving whatever
// another program may have written into its columns.
#include "storereader.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

namespace {
QString text(const QVariant &value, const QString &fallback = {})
{
    return value.isNull() ? fallback : value.toString();
}

std::optional<QString> optionalText(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    return value.toString();
}

std::optional<double> optionalReal(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? std::optional<double>(number) : std::nullopt;
}

double real(const QVariant &value, double fallback)
{
    return optionalReal(value).value_or(fallback);
}

std::optional<qint64> optionalInteger(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    return ok ? std::optional<qint64>(number) : std::nullopt;
}

bool boolean(const QVariant &value, bool fallback)
{
    const std::optional<qint64> number = optionalInteger(value);
    return number ? *number != 0 : fallback;
}

// Dates are stored as milliseconds since the epoch; ISO text is accepted too
// because that is what a person editing the file by hand would write.
QDateTime date(const QVariant &value)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QString) {
        const QDateTime parsed = QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
        if (parsed.isValid())
            return parsed;
    }
    const std::optional<qint64> ms = optionalInteger(value);
    if (!ms)
        return {};
    const QDateTime result = QDateTime::fromMSecsSinceEpoch(*ms, Qt::UTC);
    return result.isValid() ? result : QDateTime();
}

std::optional<QDateTime> optionalDate(const QVariant &value)
{
    const QDateTime result = date(value);
    return result.isValid() ? std::optional<QDateTime>(result) : std::nullopt;
}

// A row whose id is not a UUID still needs one that stays the same across
// loads, or the tray menu could not find it again.
QUuid uuid(const QVariant &value, const char *table, qint64 pk)
{
    const QUuid parsed = QUuid::fromString(text(value));
    if (!parsed.isNull() || text(value).trimmed() == QLatin1String("00000000-0000-0000-0000-000000000000"))
        return parsed;
    static const QUuid space = QUuid::fromString(QLatin1String("6b1f8c2e-3f3a-4d0c-9a57-2f1b5d0e7c41"));
    return QUuid::createUuidV5(space, QStringLiteral("%1/%2").arg(QLatin1String(table)).arg(pk));
}

bool fail(QString *error, const QSqlQuery &query)
{
    if (error)
        *error = query.lastError().text();
    return false;
}

bool readWorkspaces(QSqlDatabase &database, QList<StoredWorkspace> &rows, QHash<qint64, qsizetype> &byPk,
                    QString *error)
{
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT pk, id, name, icon, category, createdAt, modifiedAt, autoLaunch,"
                                   " restoreDocuments, isFavorite, launchCount, lastLaunchedAt, timeSavedInSeconds"
                                   " FROM workspace ORDER BY pk")))
        return fail(error, query);
    while (query.next()) {
        const std::optional<qint64> pk = optionalInteger(query.value(0));
        if (!pk)
            continue;
        StoredWorkspace row;
        row.pk = *pk;
        WorkspaceData &d = row.data;
        d.id = uuid(query.value(1), "workspace", *pk);
        d.name = text(query.value(2));
        d.icon = text(query.value(3));
        d.category = text(query.value(4));
        d.createdAt = date(query.value(5));
        d.modifiedAt = date(query.value(6));
        d.autoLaunch = boolean(query.value(7), false);
        d.restoreDocuments = boolean(query.value(8), true);
        d.isFavorite = boolean(query.value(9), false);
        d.launchCount = optionalInteger(query.value(10)).value_or(0);
        d.lastLaunchedAt = optionalDate(query.value(11));
        d.timeSavedInSeconds = real(query.value(12), 0);
        byPk.insert(row.pk, rows.size());
        rows.append(std::move(row));
    }
    return !query.lastError().isValid() || fail(error, query);
}

bool readEntries(QSqlDatabase &database, QList<StoredWorkspace> &rows, const QHash<qint64, qsizetype> &byPk,
                 QString *error)
{
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT workspace, pk, id, typeRawValue, appBundleIdentifier, filePath, websiteURL,"
                                   " monitorID, frameX, frameY, width, height, isFullscreen, delayAfterLaunch,"
                                   " originalScreenX, originalScreenY, originalScreenWidth, originalScreenHeight"
                                   " FROM entry ORDER BY workspace, position, pk")))
        return fail(error, query);
    while (query.next()) {
        const std::optional<qint64> owner = optionalInteger(query.value(0));
        const auto index = owner ? byPk.constFind(*owner) : byPk.constEnd();
        if (index == byPk.constEnd())
            continue;
        EntryData e;
        e.id = uuid(query.value(2), "entry", optionalInteger(query.value(1)).value_or(0));
        e.typeRawValue = text(query.value(3), QStringLiteral("application"));
        e.appBundleIdentifier = optionalText(query.value(4));
        e.filePath = optionalText(query.value(5));
        e.websiteURL = optionalText(query.value(6));
        e.monitorID = optionalText(query.value(7));
        e.frameX = real(query.value(8), 0);
        e.frameY = real(query.value(9), 0);
        e.width = real(query.value(10), 0);
        e.height = real(query.value(11), 0);
        e.isFullscreen = boolean(query.value(12), false);
        e.delayAfterLaunch = real(query.value(13), 0.5);
        e.originalScreenX = optionalReal(query.value(14));
        e.originalScreenY = optionalReal(query.value(15));
        e.originalScreenWidth = optionalReal(query.value(16));
        e.originalScreenHeight = optionalReal(query.value(17));
        rows[*index].data.entries.append(std::move(e));
    }
    return !query.lastError().isValid() || fail(error, query);
}
} // namespace

std::optional<QList<StoredWorkspace>> StoreReader::readAll(QSqlDatabase &database, QString *error)
{
    QList<StoredWorkspace> rows;
    QHash<qint64, qsizetype> byPk;
    // One read transaction, so the entries match the workspaces even while
    // another process writes.
    QSqlQuery transaction(database);
    if (!transaction.exec(QStringLiteral("BEGIN"))) {
        fail(error, transaction);
        return std::nullopt;
    }
    const bool ok = readWorkspaces(database, rows, byPk, error) && readEntries(database, rows, byPk, error);
    transaction.exec(QStringLiteral("COMMIT"));
    if (!ok)
        return std::nullopt;
    return rows;
}

std::optional<QSet<QUuid>> StoreReader::readIds(QSqlDatabase &database, QString *error)
{
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT pk, id FROM workspace"))) {
        fail(error, query);
        return std::nullopt;
    }
    QSet<QUuid> ids;
    while (query.next())
        ids.insert(uuid(query.value(1), "workspace", optionalInteger(query.value(0)).value_or(0)));
    if (query.lastError().isValid()) {
        fail(error, query);
        return std::nullopt;
    }
    return ids;
}
