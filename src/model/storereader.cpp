// Reads workspace and entry rows out of a store file, forgiving whatever
// another program may have written into its columns.
#include "storereader.h"

#include "entryjson.h"
#include "tabcolumn.h"

#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <limits>
#include <numeric>

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
    // SQLite turns a bound NaN into NULL, so the writer keeps NaN as text;
    // the infinities are accepted as text too, as the backup file spells them.
    if (value.typeId() == QMetaType::QString) {
        const QString word = value.toString();
        if (word == QLatin1String("NaN"))
            return std::numeric_limits<double>::quiet_NaN();
        if (word == QLatin1String("Infinity"))
            return std::numeric_limits<double>::infinity();
        if (word == QLatin1String("-Infinity"))
            return -std::numeric_limits<double>::infinity();
    }
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

// The entry columns to select, in the order entryAt reads them: the row's
// key, then the entry's members. A file of an older schema opened read-only
// lacks the members added since; they are selected as NULL there and read
// as their defaults. A failed look gives nothing rather than a guess:
// entries read without their tabs and saved again would lose them.
std::optional<QString> entryColumns(QSqlDatabase &database, QString *error)
{
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("PRAGMA table_info(entry)"))) {
        fail(error, query);
        return std::nullopt;
    }
    QSet<QString> present;
    while (query.next())
        present.insert(query.value(1).toString().toLower());
    if (query.lastError().isValid()) {
        fail(error, query);
        return std::nullopt;
    }
    QStringList columns { QStringLiteral("pk") };
    for (const char *key : EntryJson::firstMembers)
        columns.append(QLatin1String(key));
    for (const char *key : EntryJson::laterMembers) {
        const QString name = QLatin1String(key);
        columns.append(present.contains(name.toLower()) ? name : QStringLiteral("NULL"));
    }
    return columns.join(QLatin1String(", "));
}

// Reads the columns of entryColumns(), starting at `first`.
EntryData entryAt(const QSqlQuery &query, int first)
{
    // Copied rather than default-constructed: a fresh EntryData draws a
    // random id, which costs more than the rest of the row.
    static const EntryData blank;
    EntryData e = blank;
    const auto at = [&](int column) { return query.value(first + column); };
    e.id = uuid(at(1), "entry", optionalInteger(at(0)).value_or(0));
    e.typeRawValue = text(at(2), QStringLiteral("application"));
    e.appBundleIdentifier = optionalText(at(3));
    e.filePath = optionalText(at(4));
    e.websiteURL = optionalText(at(5));
    e.monitorID = optionalText(at(6));
    e.frameX = real(at(7), 0);
    e.frameY = real(at(8), 0);
    e.width = real(at(9), 0);
    e.height = real(at(10), 0);
    e.isFullscreen = boolean(at(11), false);
    e.delayAfterLaunch = real(at(12), 0.5);
    e.originalScreenX = optionalReal(at(13));
    e.originalScreenY = optionalReal(at(14));
    e.originalScreenWidth = optionalReal(at(15));
    e.originalScreenHeight = optionalReal(at(16));
    e.isMaximized = boolean(at(17), false);
    e.additionalTabURLs = TabColumn::fromValue(at(18));
    // A number no desktop has (damage, or a file edited by hand) reads as unknown.
    if (const auto desktopNumber = optionalInteger(at(19));
        desktopNumber && *desktopNumber >= -1 && *desktopNumber <= EntryLimits::largestVirtualDesktop)
        e.virtualDesktop = int(*desktopNumber);
    e.windowTitle = optionalText(at(20));
    return e;
}

bool readWorkspaceRows(QSqlDatabase &database, QList<StoredWorkspace> &rows, QString *error)
{
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT pk, id, name, icon, category, createdAt, modifiedAt, autoLaunch,"
                                   " restoreDocuments, isFavorite, launchCount, lastLaunchedAt, timeSavedInSeconds"
                                   " FROM workspace ORDER BY pk")))
        return fail(error, query);
    static const WorkspaceData blank;
    while (query.next()) {
        const std::optional<qint64> pk = optionalInteger(query.value(0));
        if (!pk)
            continue;
        StoredWorkspace row { *pk, blank };
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
        rows.append(std::move(row));
    }
    return !query.lastError().isValid() || fail(error, query);
}

bool readAllEntries(QSqlDatabase &database, QList<StoredWorkspace> &rows, QString *error)
{
    QHash<qint64, qsizetype> byPk;
    byPk.reserve(rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i)
        byPk.insert(rows.at(i).pk, i);
    // Read in table order and put each workspace's entries in order here:
    // letting SQLite sort every entry of the file costs several times more.
    QList<QList<qint64>> positions(rows.size());
    const std::optional<QString> columns = entryColumns(database, error);
    if (!columns)
        return false;
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT workspace, position, %1 FROM entry").arg(*columns)))
        return fail(error, query);
    while (query.next()) {
        const std::optional<qint64> owner = optionalInteger(query.value(0));
        const auto index = owner ? byPk.constFind(*owner) : byPk.constEnd();
        if (index == byPk.constEnd())
            continue;
        // A missing position sorts first, as it does in SQL.
        positions[*index].append(optionalInteger(query.value(1)).value_or(std::numeric_limits<qint64>::min()));
        rows[*index].data.entries.append(entryAt(query, 2));
    }
    if (query.lastError().isValid())
        return fail(error, query);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QList<qint64> &order = positions.at(i);
        if (std::is_sorted(order.cbegin(), order.cend()))
            continue;
        // Rows arrive by key, so a stable sort by position keeps key order among equals.
        QList<qsizetype> permutation(order.size());
        std::iota(permutation.begin(), permutation.end(), 0);
        std::stable_sort(permutation.begin(), permutation.end(),
            [&](qsizetype a, qsizetype b) { return order.at(a) < order.at(b); });
        QList<EntryData> sorted;
        sorted.reserve(order.size());
        for (qsizetype from : std::as_const(permutation))
            sorted.append(rows.at(i).data.entries.at(from));
        rows[i].data.entries = std::move(sorted);
    }
    return true;
}

bool readFigures(QSqlDatabase &database, QHash<qint64, EntryFigures> &figures, QString *error)
{
    QSqlQuery query(database);
    query.setForwardOnly(true);
    // count(DISTINCT) skips NULL and counts the empty string: the monitor rule exactly.
    if (!query.exec(
            QStringLiteral("SELECT workspace, count(*), count(DISTINCT monitorID) FROM entry GROUP BY workspace")))
        return fail(error, query);
    while (query.next()) {
        const std::optional<qint64> owner = optionalInteger(query.value(0));
        if (!owner)
            continue;
        const int monitors = int(optionalInteger(query.value(2)).value_or(0));
        figures.insert(*owner, { int(optionalInteger(query.value(1)).value_or(0)), monitors > 0 ? monitors : 1 });
    }
    return !query.lastError().isValid() || fail(error, query);
}

// One read transaction, so that rows read one after the other match even
// while another process writes.
class ReadTransaction
{
public:
    explicit ReadTransaction(QSqlDatabase &database)
        : m_query(database)
    {
        m_open = m_query.exec(QStringLiteral("BEGIN"));
    }
    ~ReadTransaction()
    {
        if (m_open)
            m_query.exec(QStringLiteral("COMMIT"));
    }
    bool isOpen() const { return m_open; }
    const QSqlQuery &query() const { return m_query; }

private:
    QSqlQuery m_query;
    bool m_open = false;
};
} // namespace

std::optional<QList<StoredWorkspace>> StoreReader::readAll(QSqlDatabase &database, QString *error)
{
    QList<StoredWorkspace> rows;
    {
        const ReadTransaction transaction(database);
        if (!transaction.isOpen()) {
            fail(error, transaction.query());
            return std::nullopt;
        }
        if (!readWorkspaceRows(database, rows, error) || !readAllEntries(database, rows, error))
            return std::nullopt;
    }
    return rows;
}

std::optional<QList<StoredWorkspace>> StoreReader::readWorkspaces(
    QSqlDatabase &database, QHash<qint64, EntryFigures> *figures, QString *error)
{
    QList<StoredWorkspace> rows;
    const ReadTransaction transaction(database);
    if (!transaction.isOpen()) {
        fail(error, transaction.query());
        return std::nullopt;
    }
    if (!readWorkspaceRows(database, rows, error) || !readFigures(database, *figures, error))
        return std::nullopt;
    return rows;
}

namespace {
bool prepareEntryQuery(QSqlDatabase &database, QSqlQuery &query, QString *error)
{
    const std::optional<QString> columns = entryColumns(database, error);
    if (!columns)
        return false;
    query.setForwardOnly(true);
    return query.prepare(QStringLiteral("SELECT %1 FROM entry WHERE workspace = ? ORDER BY position, pk").arg(*columns))
        || fail(error, query);
}

// A damaged page shows up only while stepping through the rows, so the
// error after the last row counts as much as the one of exec().
std::optional<QList<EntryData>> runEntryQuery(QSqlQuery &query, qint64 pk, QString *error)
{
    query.bindValue(0, pk);
    if (!query.exec()) {
        fail(error, query);
        return std::nullopt;
    }
    QList<EntryData> entries;
    while (query.next())
        entries.append(entryAt(query, 0));
    if (query.lastError().isValid()) {
        fail(error, query);
        return std::nullopt;
    }
    query.finish();
    return entries;
}
} // namespace

std::optional<QList<EntryData>> StoreReader::readEntries(QSqlDatabase &database, qint64 pk, QString *error)
{
    QSqlQuery query(database);
    if (!prepareEntryQuery(database, query, error))
        return std::nullopt;
    return runEntryQuery(query, pk, error);
}

std::optional<QHash<qint64, QList<EntryData>>> StoreReader::readEntries(
    QSqlDatabase &database, const QList<qint64> &pks, QString *error, qint64 *failedPk)
{
    QHash<qint64, QList<EntryData>> result;
    result.reserve(pks.size());
    const ReadTransaction transaction(database);
    if (!transaction.isOpen()) {
        fail(error, transaction.query());
        return std::nullopt;
    }
    QSqlQuery query(database);
    if (!prepareEntryQuery(database, query, error))
        return std::nullopt;
    for (const qint64 pk : pks) {
        std::optional<QList<EntryData>> entries = runEntryQuery(query, pk, error);
        if (!entries) {
            if (failedPk)
                *failedPk = pk;
            return std::nullopt;
        }
        result.insert(pk, std::move(*entries));
    }
    return result;
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
