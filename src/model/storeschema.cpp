// The tables of the store file, their version, and the checks a file must
// pass before the store trusts it.
#include "storeschema.h"

#include "entryjson.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVersionNumber>
#include <QtEndian>
#include <algorithm>

namespace {
constexpr int kMajor = 1;
constexpr int kMinor = 2;
constexpr int kPatch = 0;
// The earlier released schemas; `upgrade` brings their files to the current one.
bool isOlderKnownVersion(const QVersionNumber &version)
{
    return version == QVersionNumber(1, 0, 0) || version == QVersionNumber(1, 1, 0);
}
constexpr qint64 kQuickCheckLimit = 16 * 1024 * 1024;

// Column lists double as the check that a file really is one of ours: a
// table missing one of them would make every read fail later anyway.
const QStringList &workspaceColumns()
{
    static const QStringList columns { QStringLiteral("pk"), QStringLiteral("id"), QStringLiteral("name"),
        QStringLiteral("icon"), QStringLiteral("category"), QStringLiteral("createdAt"), QStringLiteral("modifiedAt"),
        QStringLiteral("autoLaunch"), QStringLiteral("restoreDocuments"), QStringLiteral("isFavorite"),
        QStringLiteral("launchCount"), QStringLiteral("lastLaunchedAt"), QStringLiteral("timeSavedInSeconds") };
    return columns;
}

const QStringList &entryColumns()
{
    static const QStringList columns = [] {
        QStringList names { QStringLiteral("pk"), QStringLiteral("workspace"), QStringLiteral("position") };
        for (const char *key : EntryJson::firstMembers)
            names.append(QLatin1String(key));
        return names;
    }();
    return columns;
}

// Added to `entry` by versions 1.1.0 (the first three) and 1.2.0 (the window
// title). Rows of older files read as the defaults: not maximised, no further
// tabs, no virtual desktop, no title (NULL).
struct AddedColumn {
    const char *name;
    const char *definition;
};
constexpr AddedColumn kAddedEntryColumns[] = {
    { "isMaximized", "isMaximized INTEGER DEFAULT 0" },
    { "additionalTabURLs", "additionalTabURLs TEXT" },
    { "virtualDesktop", "virtualDesktop INTEGER" },
    { "windowTitle", "windowTitle TEXT" },
};

constexpr bool sameName(const char *a, const char *b)
{
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// The columns added are the entry's later members, in their order: the
// store and the files name an entry's members alike.
constexpr bool addedColumnsAreLaterMembers()
{
    if (std::size(kAddedEntryColumns) != EntryJson::laterMembers.size())
        return false;
    for (std::size_t i = 0; i < EntryJson::laterMembers.size(); ++i) {
        if (!sameName(kAddedEntryColumns[i].name, EntryJson::laterMembers[i]))
            return false;
    }
    return true;
}
static_assert(addedColumnsAreLaterMembers());

QStringList currentEntryColumns()
{
    QStringList columns = entryColumns();
    for (const AddedColumn &added : kAddedEntryColumns)
        columns.append(QString::fromLatin1(added.name));
    return columns;
}

const char *const kCreateStatements[] = {
    "CREATE TABLE meta (key TEXT PRIMARY KEY NOT NULL, value TEXT)",
    // AUTOINCREMENT: a key is never handed out twice, so a row another
    // process added can never be taken for a loaded record of the same key,
    // and key order stays the order in which rows were added.
    "CREATE TABLE workspace ("
    " pk INTEGER PRIMARY KEY AUTOINCREMENT,"
    " id TEXT, name TEXT, icon TEXT, category TEXT,"
    " createdAt INTEGER, modifiedAt INTEGER,"
    " autoLaunch INTEGER, restoreDocuments INTEGER DEFAULT 1, isFavorite INTEGER,"
    " launchCount INTEGER, lastLaunchedAt INTEGER, timeSavedInSeconds REAL)",
    "CREATE TABLE entry ("
    " pk INTEGER PRIMARY KEY,"
    " workspace INTEGER REFERENCES workspace(pk) ON DELETE CASCADE,"
    " position INTEGER,"
    " id TEXT, typeRawValue TEXT, appBundleIdentifier TEXT, filePath TEXT, websiteURL TEXT, monitorID TEXT,"
    " frameX REAL, frameY REAL, width REAL, height REAL, isFullscreen INTEGER, delayAfterLaunch REAL,"
    " originalScreenX REAL, originalScreenY REAL, originalScreenWidth REAL, originalScreenHeight REAL,"
    // JSON array of strings; NULL for none.
    " isMaximized INTEGER DEFAULT 0, additionalTabURLs TEXT, virtualDesktop INTEGER, windowTitle TEXT)",
    // Serves the cascade and loading one workspace's entries, and covers the
    // entry count and monitor count that opening the store reads for all.
    "CREATE INDEX entry_by_workspace ON entry(workspace, monitorID)",
};

QString queryError(const QSqlQuery &query)
{
    const QString text = query.lastError().text();
    return text.isEmpty() ? QStringLiteral("unknown SQLite error") : text;
}

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

std::optional<QSet<QString>> columnsOf(QSqlDatabase &database, const QString &table, QString *error)
{
    QSqlQuery query(database);
    if (!query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table))) {
        fail(error, queryError(query));
        return std::nullopt;
    }
    QSet<QString> names;
    while (query.next())
        names.insert(query.value(1).toString());
    if (query.lastError().isValid()) {
        fail(error, queryError(query));
        return std::nullopt;
    }
    return names;
}

// SQLite matches column names without regard to case.
bool containsColumn(const QSet<QString> &present, const QString &column)
{
    return std::any_of(present.cbegin(), present.cend(),
        [&column](const QString &name) { return name.compare(column, Qt::CaseInsensitive) == 0; });
}

bool hasColumns(QSqlDatabase &database, const QString &table, const QStringList &required, QString *error)
{
    const std::optional<QSet<QString>> present = columnsOf(database, table, error);
    if (!present)
        return false;
    for (const QString &column : required) {
        if (!containsColumn(*present, column))
            return fail(error, QStringLiteral("the store file's table %1 lacks the column %2").arg(table, column));
    }
    return true;
}

bool execAll(QSqlDatabase &database, const QStringList &statements, QString *error)
{
    QSqlQuery query(database);
    for (const QString &statement : statements) {
        if (!query.exec(statement))
            return fail(error, queryError(query));
    }
    return true;
}
} // namespace

QString StoreSchema::versionText()
{
    return QStringLiteral("%1.%2.%3").arg(kMajor).arg(kMinor).arg(kPatch);
}

int StoreSchema::userVersion()
{
    return kMajor * 10000 + kMinor * 100 + kPatch;
}

bool StoreSchema::checkFileBytes(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("the store file cannot be read: %1").arg(file.errorString()));
    const qint64 size = file.size();
    if (size == 0)
        return fail(error, QStringLiteral("the store file is empty"));
    const QByteArray header = file.read(100);
    if (header.size() < 100)
        return fail(error, QStringLiteral("the store file is too short to be a database (%1 bytes)").arg(size));
    if (!header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return fail(error, QStringLiteral("the store file is not a SQLite database"));

    const auto *bytes = reinterpret_cast<const uchar *>(header.constData());
    qint64 pageSize = qFromBigEndian<quint16>(bytes + 16);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0)
        return fail(error, QStringLiteral("the store file's header is damaged (page size %1)").arg(pageSize));

    // With a write-ahead log pending, the newest pages may live in the log
    // and the main file legitimately lags; SQLite checks that case itself.
    const QFileInfo log(path + QStringLiteral("-wal"));
    if (log.exists() && log.size() > 0)
        return true;
    if (size % pageSize != 0)
        return fail(error,
            QStringLiteral("the store file is truncated (%1 bytes is not a whole number of %2-byte pages)")
                .arg(size)
                .arg(pageSize));
    // The page count in the header is only trustworthy when the change
    // counter matches the "version valid for" number.
    const quint32 changeCounter = qFromBigEndian<quint32>(bytes + 24);
    const quint32 validFor = qFromBigEndian<quint32>(bytes + 92);
    const qint64 pageCount = qFromBigEndian<quint32>(bytes + 28);
    if (changeCounter == validFor && pageCount > 0 && size < pageCount * pageSize)
        return fail(
            error, QStringLiteral("the store file is truncated (%1 of %2 bytes)").arg(size).arg(pageCount * pageSize));
    return true;
}

std::optional<StoreSchema::Contents> StoreSchema::inspect(QSqlDatabase &database, QString *error)
{
    QSqlQuery query(database);
    // The first read is where SQLite notices a file that is no database.
    if (!query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"))) {
        fail(error, QStringLiteral("the store file cannot be read: %1").arg(queryError(query)));
        return std::nullopt;
    }
    QSet<QString> tables;
    while (query.next())
        tables.insert(query.value(0).toString());
    if (query.lastError().isValid()) {
        fail(error, QStringLiteral("the store file cannot be read: %1").arg(queryError(query)));
        return std::nullopt;
    }

    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        fail(error, QStringLiteral("the store file cannot be read: %1").arg(queryError(query)));
        return std::nullopt;
    }
    const int fileUserVersion = query.value(0).toInt();
    query.finish();

    if (tables.isEmpty() && fileUserVersion == 0)
        return Contents::empty;

    if (!tables.contains(QStringLiteral("meta"))) {
        fail(error, QStringLiteral("the file is a SQLite database but not a Corvalint store"));
        return std::nullopt;
    }
    if (!query.exec(QStringLiteral("SELECT value FROM meta WHERE key = 'schemaVersion'"))) {
        fail(error, QStringLiteral("the store file cannot be read: %1").arg(queryError(query)));
        return std::nullopt;
    }
    const QString versionInFile = query.next() ? query.value(0).toString() : QString();
    query.finish();
    const QVersionNumber fileVersion = QVersionNumber::fromString(versionInFile);
    const QVersionNumber ownVersion(kMajor, kMinor, kPatch);
    if (fileVersion.isNull()) {
        fail(error, QStringLiteral("the store file records no schema version"));
        return std::nullopt;
    }
    const QVersionNumber headerVersion(fileUserVersion / 10000, fileUserVersion / 100 % 100, fileUserVersion % 100);
    if (fileVersion > ownVersion || headerVersion > ownVersion) {
        fail(error,
            QStringLiteral("the store file was written by a newer version of Corvalint "
                           "(schema %1; this version reads %2)")
                .arg(qMax(fileVersion, headerVersion).toString(), versionText()));
        return std::nullopt;
    }
    const bool older = isOlderKnownVersion(fileVersion);
    if (fileVersion != ownVersion && !older) {
        fail(error, QStringLiteral("the store file has the unknown schema version %1").arg(versionInFile));
        return std::nullopt;
    }
    const Contents known = older ? Contents::older : Contents::current;

    if (!hasColumns(database, QStringLiteral("workspace"), workspaceColumns(), error)
        || !hasColumns(database, QStringLiteral("entry"), older ? entryColumns() : currentEntryColumns(), error))
        return std::nullopt;

    // Opening reads every workspace row and every entry's monitor column, so
    // SQLite already notices a damaged table there; the full page check is
    // only worth its time (about 2 ms per MiB) while the file is small.
    if (QFileInfo(database.databaseName()).size() > kQuickCheckLimit)
        return known;
    if (!query.exec(QStringLiteral("PRAGMA quick_check(1)")) || !query.next()) {
        fail(error, QStringLiteral("the store file cannot be checked: %1").arg(queryError(query)));
        return std::nullopt;
    }
    const QString verdict = query.value(0).toString();
    if (verdict != QLatin1String("ok")) {
        fail(error, QStringLiteral("the store file is damaged: %1").arg(verdict));
        return std::nullopt;
    }
    return known;
}

bool StoreSchema::upgrade(QSqlDatabase &database, QString *error)
{
    QSqlQuery query(database);
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return fail(error, queryError(query));
    // Any failure from here on rolls everything back: the file stays exactly
    // the older file it was, which this and earlier versions still read.
    auto abandon = [&database, error](const QString &why) {
        QSqlQuery(database).exec(QStringLiteral("ROLLBACK"));
        return fail(error, why);
    };
    // Read again under the write lock: another writer may have upgraded the
    // file since it was inspected.
    if (!query.exec(QStringLiteral("SELECT value FROM meta WHERE key = 'schemaVersion'")))
        return abandon(queryError(query));
    const QVersionNumber fileVersion = QVersionNumber::fromString(query.next() ? query.value(0).toString() : QString());
    query.finish();
    if (fileVersion == QVersionNumber(kMajor, kMinor, kPatch)) {
        QSqlQuery(database).exec(QStringLiteral("ROLLBACK"));
        return true;
    }
    if (!isOlderKnownVersion(fileVersion))
        return abandon(
            QStringLiteral("the store file has the schema version %1, not 1.0.0 or 1.1.0").arg(fileVersion.toString()));

    const std::optional<QSet<QString>> present = columnsOf(database, QStringLiteral("entry"), error);
    if (!present)
        return abandon(error ? *error : QString());
    QStringList statements;
    // A column someone added by hand is taken as it is rather than failing
    // the upgrade on a duplicate name.
    for (const AddedColumn &added : kAddedEntryColumns) {
        if (!containsColumn(*present, QString::fromLatin1(added.name)))
            statements.append(QStringLiteral("ALTER TABLE entry ADD COLUMN %1").arg(QLatin1String(added.definition)));
    }
    statements.append(QStringLiteral("PRAGMA user_version = %1").arg(userVersion()));
    statements.append(QStringLiteral("UPDATE meta SET value = '%1' WHERE key = 'schemaVersion'").arg(versionText()));
    QString why;
    if (!execAll(database, statements, &why))
        return abandon(why);
    if (!query.exec(QStringLiteral("COMMIT")))
        return abandon(queryError(query));
    return true;
}

bool StoreSchema::create(QSqlDatabase &database, QString *error)
{
    QStringList statements { QStringLiteral("BEGIN IMMEDIATE") };
    for (const char *statement : kCreateStatements)
        statements.append(QString::fromLatin1(statement));
    statements.append(
        QStringLiteral("INSERT INTO meta (key, value) VALUES ('schemaVersion', '%1')").arg(versionText()));
    statements.append(QStringLiteral("PRAGMA user_version = %1").arg(userVersion()));
    statements.append(QStringLiteral("COMMIT"));
    if (execAll(database, statements, error))
        return true;
    QSqlQuery(database).exec(QStringLiteral("ROLLBACK"));
    return false;
}

bool StoreSchema::configure(QSqlDatabase &database, int busyTimeoutMs, QString *error)
{
    if (!setBusyTimeout(database, busyTimeoutMs))
        return fail(error, QStringLiteral("the store file cannot be configured"));
    QSqlQuery query(database);
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL")) || !query.next())
        return fail(error, QStringLiteral("the store file cannot use a write-ahead log: %1").arg(queryError(query)));
    if (query.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
        return fail(error,
            QStringLiteral("the store file cannot use a write-ahead log (journal mode %1)")
                .arg(query.value(0).toString()));
    query.finish();
    // NORMAL in WAL mode: a commit is in the operating system's hands once
    // it returns, so a killed process loses nothing that was saved.
    return execAll(
        database, { QStringLiteral("PRAGMA synchronous = NORMAL"), QStringLiteral("PRAGMA foreign_keys = ON") }, error);
}

bool StoreSchema::setBusyTimeout(QSqlDatabase &database, int busyTimeoutMs)
{
    QSqlQuery query(database);
    return query.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(qMax(0, busyTimeoutMs)));
}
