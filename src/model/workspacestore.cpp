// The persistent store of all workspaces: one SQLite file, the main context
// of loaded records that every view shares, and short-lived read contexts.
#include "workspacestore.h"

#include "storeconnection.h"
#include "storelocation.h"
#include "storereader.h"
#include "storeschema.h"
#include "storewriter.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <algorithm>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace {
// Records not saved yet sort after every saved one among equal createdAt,
// exactly where their rows will land once saved.
constexpr qint64 kUnsavedOrderBase = qint64(1) << 62;
constexpr int kDefaultBusyTimeoutMs = 2000;

bool writable(const QString &path)
{
    // The effective ids decide what open() may do, and they are what the
    // test suite switches when it runs as root.
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
}

// Saves need the file and, for the write-ahead log beside it, the directory.
QString permissionProblem(const QString &path)
{
    if (!writable(path))
        return QStringLiteral("Änderungen werden nicht gespeichert: die Datei %1 ist schreibgeschützt.").arg(path);
    const QString directory = QFileInfo(path).absolutePath();
    if (!writable(directory))
        return QStringLiteral("Änderungen werden nicht gespeichert: der Ordner %1 ist schreibgeschützt.")
            .arg(directory);
    return {};
}

// The permission bits do not tell everything that keeps SQLite from writing
// (it may have opened the file read-only for a reason of its own); taking the
// write lock for a moment does, and writes nothing. A lock another process
// holds says nothing either way, so that is not waited for.
QString writeLockProblem(QSqlDatabase &database, const QString &path)
{
    constexpr int sqliteBusy = 5;
    constexpr int sqliteLocked = 6;
    StoreSchema::setBusyTimeout(database, 0);
    QSqlQuery query(database);
    QString problem;
    if (query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        query.exec(QStringLiteral("ROLLBACK"));
    } else {
        const int code = query.lastError().nativeErrorCode().toInt() & 0xff;
        if (code != sqliteBusy && code != sqliteLocked)
            problem
                = QStringLiteral("Änderungen werden nicht gespeichert: die Datei %1 lässt sich nicht beschreiben (%2).")
                      .arg(path, query.lastError().databaseText());
    }
    StoreSchema::setBusyTimeout(database, kDefaultBusyTimeoutMs);
    return problem;
}

qint64 dateKey(const QDateTime &value)
{
    return value.isValid() ? value.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
}

// The fields of a workspace without touching its entries.
WorkspaceData rowOf(const Workspace *workspace)
{
    static const WorkspaceData blank;
    WorkspaceData d = blank;
    d.id = workspace->id();
    d.name = workspace->name();
    d.icon = workspace->icon();
    d.category = workspace->category();
    d.createdAt = workspace->createdAt();
    d.modifiedAt = workspace->modifiedAt();
    d.autoLaunch = workspace->autoLaunch();
    d.restoreDocuments = workspace->restoreDocuments();
    d.isFavorite = workspace->isFavorite();
    d.launchCount = workspace->launchCount();
    d.lastLaunchedAt = workspace->lastLaunchedAt();
    d.timeSavedInSeconds = workspace->timeSavedInSeconds();
    return d;
}

std::nullptr_t refuse(QString *errorDescription, const QString &text)
{
    if (errorDescription)
        *errorDescription = text;
    return nullptr;
}

// A new store file is set up under a temporary name and only then moved into
// place, so a crash while creating it never leaves a half-made file behind
// that the next start would have to refuse.
bool createStoreFile(const QDir &directory, const QString &path, QString *error)
{
    QTemporaryFile temporary(directory.filePath(QStringLiteral("corvalint.sqlite.XXXXXX.new")));
    if (!temporary.open()) {
        *error = QStringLiteral("the store file cannot be created in %1: %2")
                     .arg(directory.absolutePath(), temporary.errorString());
        return false;
    }
    // SQLite opens the file itself; a second descriptor of ours closing
    // later would drop SQLite's POSIX locks.
    temporary.close();
    {
        StoreConnection connection(temporary.fileName(), StoreConnection::Mode::readWrite, QStringLiteral("create"));
        if (!connection.isOpen()) {
            *error = QStringLiteral("the store file cannot be created: %1").arg(connection.errorText());
            return false;
        }
        if (!StoreSchema::configure(connection.database(), 0, error)
            || !StoreSchema::create(connection.database(), error))
            return false;
    }
    if (temporary.rename(path)) {
        temporary.setAutoRemove(false);
        return true;
    }
    // Another process may have created the store at the same moment; its
    // file is as good as ours.
    if (QFileInfo::exists(path))
        return true;
    *error = QStringLiteral("the store file cannot be moved into place: %1").arg(temporary.errorString());
    return false;
}
} // namespace

QString WorkspaceStore::defaultDirectory()
{
    return StoreLocation::defaultDirectory();
}

QString WorkspaceStore::fileName()
{
    return QStringLiteral("corvalint.sqlite");
}

QString WorkspaceStore::schemaVersion()
{
    return StoreSchema::versionText();
}

QString WorkspaceStore::fatalMessage(const QString &description)
{
    return QStringLiteral("Could not create ModelContainer: ") + description;
}

std::unique_ptr<WorkspaceStore> WorkspaceStore::open(const QString &directory, QString *errorDescription)
{
    if (directory.isEmpty())
        return refuse(errorDescription, QStringLiteral("no directory was given for the store"));
    const QDir dir(directory);
    if (!dir.mkpath(QStringLiteral(".")))
        return refuse(errorDescription, QStringLiteral("the store directory %1 cannot be created").arg(directory));
    const QString path = dir.absoluteFilePath(fileName());
    const QFileInfo info(path);
    QString error;
    if (info.exists() && !info.isFile())
        return refuse(errorDescription, QStringLiteral("%1 is not a file").arg(path));
    if (!info.exists() && !createStoreFile(dir, path, &error))
        return refuse(errorDescription, error);

    // A file that may not be written is still shown, through connections
    // that do not try to set up the write-ahead log it could not keep.
    // Without a log beside it the file alone is the whole store, and in a
    // folder nobody may write no log can appear while it is read.
    const QString permission = permissionProblem(path);
    bool writing = permission.isEmpty();
    const bool fileAlone
        = !writing && !writable(QFileInfo(path).absolutePath()) && !QFileInfo::exists(path + QStringLiteral("-wal"));
    const auto readMode = fileAlone ? StoreConnection::Mode::immutable : StoreConnection::Mode::readOnly;

    // Everything about the file is judged through a read-only connection
    // first; only a file that passes is ever opened for writing.
    if (!StoreSchema::checkFileBytes(path, &error))
        return refuse(errorDescription, error);
    std::optional<StoreSchema::Contents> contents;
    {
        StoreConnection probe(path, readMode, QStringLiteral("check"));
        if (!probe.isOpen())
            return refuse(
                errorDescription, QStringLiteral("the store file cannot be opened: %1").arg(probe.errorText()));
        contents = StoreSchema::inspect(probe.database(), &error);
    }
    if (!contents)
        return refuse(errorDescription, error);

    auto connection = std::make_unique<StoreConnection>(
        path, writing ? StoreConnection::Mode::readWrite : readMode, QStringLiteral("main"));
    if (!connection->isOpen())
        return refuse(errorDescription,
            (writing ? QStringLiteral("the store file cannot be opened for writing: %1")
                     : QStringLiteral("the store file cannot be opened: %1"))
                .arg(connection->errorText()));
    if (!writing)
        StoreSchema::setBusyTimeout(connection->database(), kDefaultBusyTimeoutMs);
    else if (!StoreSchema::configure(connection->database(), kDefaultBusyTimeoutMs, &error))
        return refuse(errorDescription, error);
    if (*contents == StoreSchema::Contents::empty && !StoreSchema::create(connection->database(), &error))
        return refuse(errorDescription, error);

    // A file of an older schema is upgraded only by a writer; read-only it
    // is shown as it is. An upgrade that fails leaves the file as it was,
    // and the store then reads it without writing rather than refusing it.
    QString upgradeProblem;
    if (writing && *contents == StoreSchema::Contents::older && !StoreSchema::upgrade(connection->database(), &error)) {
        upgradeProblem = QStringLiteral("Änderungen werden nicht gespeichert: die Datei %1 ließ sich nicht auf das "
                                        "Format %2 umstellen (%3).")
                             .arg(path, schemaVersion(), error);
        connection = std::make_unique<StoreConnection>(path, readMode, QStringLiteral("main"));
        if (!connection->isOpen())
            return refuse(
                errorDescription, QStringLiteral("the store file cannot be opened: %1").arg(connection->errorText()));
        StoreSchema::setBusyTimeout(connection->database(), kDefaultBusyTimeoutMs);
        writing = false;
    }

    const QString problem = !upgradeProblem.isEmpty() ? upgradeProblem
        : writing                                     ? writeLockProblem(connection->database(), path)
                                                      : permission;
    std::unique_ptr<WorkspaceStore> store(new WorkspaceStore(path, std::move(connection)));
    if (!store->load(&error))
        return refuse(errorDescription, QStringLiteral("the store file cannot be read: %1").arg(error));
    store->m_writeProblem = problem;
    store->m_readFileAlone = fileAlone;
    return store;
}

WorkspaceStore::WorkspaceStore(const QString &filePath, std::unique_ptr<StoreConnection> connection)
    : m_filePath(filePath)
    , m_connection(std::move(connection))
{
    m_autoSave.setSingleShot(true);
    m_autoSave.setInterval(500);
    connect(&m_autoSave, &QTimer::timeout, this, [this] { save(); });
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, [this] { save(); });
}

WorkspaceStore::~WorkspaceStore()
{
    m_autoSave.stop();
    if (m_unsaved)
        save();
    // The records are our children; delete them while the store can still
    // ignore their last signals, and before the connection closes.
    const QList<const Workspace *> records = m_tracking.keys();
    m_tracking.clear();
    m_workspaces.clear();
    for (const Workspace *workspace : records) {
        disconnect(workspace, nullptr, this, nullptr);
        delete workspace;
    }
}

bool WorkspaceStore::load(QString *error)
{
    QHash<qint64, EntryFigures> figures;
    std::optional<QList<StoredWorkspace>> rows = StoreReader::readWorkspaces(m_connection->database(), &figures, error);
    if (!rows)
        return false;
    m_workspaces.reserve(rows->size());
    m_tracking.reserve(rows->size());
    for (const StoredWorkspace &row : std::as_const(*rows)) {
        Workspace *workspace = Workspace::fromData(row.data, this);
        // Deferred before the store listens: setting the figures is no change.
        deferEntries(workspace, figures.value(row.pk));
        adopt(workspace, row.pk);
        m_workspaces.append(workspace);
    }
    m_needsSort = true;
    sortIfNeeded();
    return true;
}

void WorkspaceStore::deferEntries(Workspace *workspace, const EntryFigures &figures)
{
    if (figures.count == 0) {
        workspace->deferEntries(0, 1, nullptr);
        return;
    }
    workspace->deferEntries(
        figures.count, figures.requiredMonitorCount, [this, workspace]() -> std::optional<QList<EntryData>> {
            // Looked up now: the row key changes if the row had to be written anew.
            const qint64 pk = m_tracking.value(workspace).pk;
            if (pk <= 0)
                return QList<EntryData>();
            QString error;
            std::optional<QList<EntryData>> entries = StoreReader::readEntries(m_connection->database(), pk, &error);
            noteEntryRead(workspace, entries.has_value(), error);
            return entries;
        });
}

void WorkspaceStore::noteEntryRead(Workspace *workspace, bool ok, const QString &error)
{
    // The views ask for the entries again and again; one report per
    // workspace is enough until it reads again.
    const auto it = m_tracking.find(workspace);
    if (it == m_tracking.end() || it->readFailed == !ok)
        return;
    it->readFailed = !ok;
    if (!ok)
        emit readFailed(
            QStringLiteral("the entries of workspace \"%1\" cannot be read: %2").arg(workspace->name(), error));
}

void WorkspaceStore::adopt(Workspace *workspace, qint64 pk)
{
    Tracking tracking;
    tracking.pk = pk;
    tracking.order = pk > 0 ? pk : kUnsavedOrderBase + m_nextNewOrder++;
    tracking.createdKey = dateKey(workspace->createdAt());
    m_tracking.insert(workspace, tracking);
    workspace->setParent(this);
    // One connection per record: with thousands of them, connecting costs
    // more than anything else when the store opens.
    connect(workspace, &Workspace::changed, this, [this, workspace] { markDirty(workspace); });
}

void WorkspaceStore::childEvent(QChildEvent *event)
{
    // The store owns its records; one deleted or re-parented behind its back
    // must not stay behind as a dangling pointer in the main context. Only
    // the pointer's identity is used here: the record may be half destroyed,
    // and then even a static_cast to Workspace is undefined (UBSan's vptr check
    // says so), while reinterpret_cast only carries the address.
    if (event->removed()) {
        auto *workspace = reinterpret_cast<Workspace *>(event->child());
        if (m_tracking.contains(workspace))
            dropRecord(workspace, true);
    }
    QObject::childEvent(event);
}

void WorkspaceStore::dropRecord(Workspace *workspace, bool deleteRow)
{
    const auto it = m_tracking.constFind(workspace);
    if (it == m_tracking.constEnd())
        return;
    const qint64 pk = it->pk;
    disconnect(workspace, nullptr, this, nullptr);
    emit workspaceRemoved(workspace);
    m_tracking.remove(workspace);
    m_dirty.removeOne(workspace);
    m_workspaces.removeOne(workspace);
    if (deleteRow && pk > 0) {
        m_pendingDeletes.append(pk);
        scheduleSave();
    }
    setUnsaved(computeUnsaved());
    emit countChanged();
}

void WorkspaceStore::sortIfNeeded() const
{
    if (!m_needsSort)
        return;
    m_needsSort = false;
    std::stable_sort(m_workspaces.begin(), m_workspaces.end(),
        [this](const Workspace *a, const Workspace *b) { return isOrderedBefore(a, b); });
}

qint64 WorkspaceStore::orderOf(const Workspace *workspace) const
{
    return m_tracking.value(workspace).order;
}

bool WorkspaceStore::isOrderedBefore(const Workspace *a, const Workspace *b) const
{
    // Read from the records, not from the cached keys: the list model asks
    // while a record's createdAt is changing, before the store has seen it.
    const qint64 keyA = dateKey(a->createdAt());
    const qint64 keyB = dateKey(b->createdAt());
    if (keyA != keyB)
        return keyA > keyB;
    return orderOf(a) < orderOf(b);
}

QStringList WorkspaceStore::ownFiles() const
{
    return { m_filePath, m_filePath + QStringLiteral("-wal"), m_filePath + QStringLiteral("-shm"),
        m_filePath + QStringLiteral("-journal") };
}

QList<Workspace *> WorkspaceStore::workspaces() const
{
    sortIfNeeded();
    return m_workspaces;
}

Workspace *WorkspaceStore::find(const QUuid &id) const
{
    Workspace *found = nullptr;
    qint64 foundOrder = std::numeric_limits<qint64>::max();
    for (auto it = m_tracking.constBegin(); it != m_tracking.constEnd(); ++it) {
        if (it.key()->id() == id && it->order < foundOrder) {
            found = const_cast<Workspace *>(it.key());
            foundOrder = it->order;
        }
    }
    return found;
}

void WorkspaceStore::placeInOrder(Workspace *workspace)
{
    sortIfNeeded();
    const auto at = std::upper_bound(m_workspaces.begin(), m_workspaces.end(), workspace,
        [this](const Workspace *a, const Workspace *b) { return isOrderedBefore(a, b); });
    m_workspaces.insert(at, workspace);
}

void WorkspaceStore::insert(Workspace *workspace)
{
    if (!workspace || m_tracking.contains(workspace))
        return;
    adopt(workspace, 0);
    m_tracking[workspace].dirty = true;
    m_dirty.append(workspace);
    placeInOrder(workspace);
    setUnsaved(true);
    scheduleSave();
    emit workspaceInserted(workspace);
    emit countChanged();
}

void WorkspaceStore::remove(Workspace *workspace)
{
    if (!workspace || !m_tracking.contains(workspace))
        return;
    dropRecord(workspace, true);
    // Later, not now: a view may be in the middle of a signal of this record.
    workspace->deleteLater();
}

void WorkspaceStore::removeEntry(WorkspaceEntry *entry)
{
    if (!entry)
        return;
    if (Workspace *owner = entry->workspace())
        owner->takeEntry(entry);
    entry->deleteLater();
}

void WorkspaceStore::markDirty(Workspace *workspace)
{
    const auto it = m_tracking.find(workspace);
    if (it == m_tracking.end())
        return;
    const qint64 createdKey = dateKey(workspace->createdAt());
    if (createdKey != it->createdKey) {
        it->createdKey = createdKey;
        m_needsSort = true;
    }
    if (m_applyingStored)
        return;
    if (!it->dirty) {
        it->dirty = true;
        m_dirty.append(workspace);
    }
    setUnsaved(true);
    scheduleSave();
}

void WorkspaceStore::scheduleSave()
{
    // Started once, not restarted: a steady stream of changes must not
    // postpone the save for ever.
    if (!m_autoSave.isActive())
        m_autoSave.start();
}

void WorkspaceStore::setAutoSaveDelay(int milliseconds)
{
    m_autoSave.setInterval(qMax(0, milliseconds));
}

void WorkspaceStore::setBusyTimeout(int milliseconds)
{
    if (m_busyTimeoutMs == milliseconds)
        return;
    m_busyTimeoutMs = milliseconds;
    StoreSchema::setBusyTimeout(m_connection->database(), milliseconds);
}

bool WorkspaceStore::hasUnsavedChanges() const
{
    return m_unsaved;
}

void WorkspaceStore::setUnsaved(bool value)
{
    if (m_unsaved == value)
        return;
    m_unsaved = value;
    emit hasUnsavedChangesChanged();
}

bool WorkspaceStore::computeUnsaved() const
{
    return !m_pendingDeletes.isEmpty() || !m_dirty.isEmpty();
}

bool WorkspaceStore::save(QString *error)
{
    m_autoSave.stop();
    if (!m_unsaved)
        return true;

    // Only what changed is written; with thousands of workspaces a save
    // must not cost more than the few it touches.
    QList<Workspace *> toWrite = m_dirty;
    // New rows get their keys in the order the records were inserted.
    std::sort(toWrite.begin(), toWrite.end(),
        [this](const Workspace *a, const Workspace *b) { return orderOf(a) < orderOf(b); });

    QHash<const Workspace *, qint64> newKeys;
    StoreWriter writer(m_connection->database());
    bool ok = writer.begin();
    for (qsizetype i = 0; ok && i < m_pendingDeletes.size(); ++i)
        ok = writer.deleteWorkspace(m_pendingDeletes.at(i));
    for (Workspace *workspace : std::as_const(toWrite)) {
        if (!ok)
            break;
        // Entries still in the file are unchanged by definition; only the
        // row is written then, which keeps a one-field save cheap.
        const bool withEntries = workspace->entriesLoaded();
        const WorkspaceData data = withEntries ? workspace->data() : rowOf(workspace);
        const qint64 pk = m_tracking.value(workspace).pk;
        bool found = false;
        if (pk > 0)
            ok = writer.updateWorkspace(pk, data, withEntries, &found);
        // A row another process deleted meanwhile is written again: the
        // change made here must not vanish.
        if (ok && !found) {
            const std::optional<qint64> key = writer.insertWorkspace(data);
            ok = key.has_value();
            if (ok)
                newKeys.insert(workspace, *key);
        }
    }
    ok = ok && writer.commit();
    if (!ok) {
        const QString message = writer.errorText();
        writer.rollback();
        if (error)
            *error = message;
        setWriteProblem(QStringLiteral("Änderungen konnten nicht gespeichert werden: %1")
                            .arg(message.isEmpty() ? QStringLiteral("unbekannter Fehler") : message));
        emit saveFailed(message);
        return false;
    }

    for (Workspace *workspace : std::as_const(toWrite)) {
        const auto it = m_tracking.find(workspace);
        it->dirty = false;
        const auto key = newKeys.constFind(workspace);
        if (key == newKeys.constEnd())
            continue;
        // A record saved for the first time keeps its place: its key is
        // larger than every key loaded before, as its provisional order was.
        if (it->pk == 0)
            it->order = *key;
        it->pk = *key;
    }
    m_dirty.clear();
    m_pendingDeletes.clear();
    setUnsaved(false);
    setWriteProblem({});
    emit saved();
    return true;
}

void WorkspaceStore::setWriteProblem(const QString &text)
{
    if (m_writeProblem == text)
        return;
    m_writeProblem = text;
    emit writeProblemChanged();
}

std::optional<QList<WorkspaceData>> WorkspaceStore::snapshot(QString *error) const
{
    const QList<Workspace *> all = workspaces();
    QList<qint64> deferred;
    QHash<qint64, const Workspace *> byKey;
    for (const Workspace *workspace : all) {
        const qint64 pk = m_tracking.value(workspace).pk;
        if (!workspace->entriesLoaded() && pk > 0) {
            deferred.append(pk);
            byKey.insert(pk, workspace);
        }
    }
    // Entries still in the file are read straight into the snapshot: going
    // through the records would turn a failed read into an empty list.
    QHash<qint64, QList<EntryData>> stored;
    if (!deferred.isEmpty()) {
        QString why;
        qint64 failedPk = 0;
        std::optional<QHash<qint64, QList<EntryData>>> read
            = StoreReader::readEntries(m_connection->database(), deferred, &why, &failedPk);
        if (!read) {
            if (error) {
                const Workspace *failed = byKey.value(failedPk);
                *error = failed
                    ? QStringLiteral("the entries of workspace \"%1\" cannot be read: %2").arg(failed->name(), why)
                    : QStringLiteral("the entries cannot be read: %1").arg(why);
            }
            return std::nullopt;
        }
        stored = std::move(*read);
    }
    QList<WorkspaceData> result;
    result.reserve(all.size());
    for (const Workspace *workspace : all) {
        if (workspace->entriesLoaded()) {
            result.append(workspace->data());
            continue;
        }
        WorkspaceData data = rowOf(workspace);
        data.entries = stored.value(m_tracking.value(workspace).pk);
        result.append(std::move(data));
    }
    return result;
}

std::optional<QList<WorkspaceData>> WorkspaceStore::fetchAll(bool newestFirst) const
{
    StoreConnection reader(m_filePath,
        m_readFileAlone ? StoreConnection::Mode::immutable : StoreConnection::Mode::readOnly, QStringLiteral("fetch"));
    if (!reader.isOpen())
        return std::nullopt;
    StoreSchema::setBusyTimeout(reader.database(), m_busyTimeoutMs);
    std::optional<QList<StoredWorkspace>> rows = StoreReader::readAll(reader.database(), nullptr);
    if (!rows)
        return std::nullopt;
    // Rows arrive in store order; a stable sort keeps it among equal times.
    if (newestFirst) {
        std::stable_sort(rows->begin(), rows->end(), [](const StoredWorkspace &a, const StoredWorkspace &b) {
            return dateKey(a.data.createdAt) > dateKey(b.data.createdAt);
        });
    }
    QList<WorkspaceData> result;
    result.reserve(rows->size());
    for (StoredWorkspace &row : *rows)
        result.append(std::move(row.data));
    return result;
}

std::optional<QList<WorkspaceSummary>> WorkspaceStore::fetchSummaries() const
{
    StoreConnection reader(m_filePath,
        m_readFileAlone ? StoreConnection::Mode::immutable : StoreConnection::Mode::readOnly,
        QStringLiteral("summaries"));
    if (!reader.isOpen())
        return std::nullopt;
    StoreSchema::setBusyTimeout(reader.database(), m_busyTimeoutMs);
    QHash<qint64, EntryFigures> figures;
    std::optional<QList<StoredWorkspace>> rows = StoreReader::readWorkspaces(reader.database(), &figures, nullptr);
    if (!rows)
        return std::nullopt;
    // Rows arrive in store order; a stable sort keeps it among equal times.
    std::stable_sort(rows->begin(), rows->end(), [](const StoredWorkspace &a, const StoredWorkspace &b) {
        return dateKey(a.data.createdAt) > dateKey(b.data.createdAt);
    });
    QList<WorkspaceSummary> result;
    result.reserve(rows->size());
    for (const StoredWorkspace &row : std::as_const(*rows)) {
        const EntryFigures counted = figures.value(row.pk, EntryFigures { 0, 1 });
        result.append({ row.data.id, row.data.name, row.data.icon, counted.count, counted.requiredMonitorCount });
    }
    return result;
}

int WorkspaceStore::addWorkspaces(const QList<WorkspaceData> &items, QString *error)
{
    StoreWriter writer(m_connection->database());
    auto failed = [&](const QString &text) {
        writer.rollback();
        if (error)
            *error = text;
        return -1;
    };
    if (!writer.begin())
        return failed(writer.errorText());
    // Ids are read inside the write transaction, so nobody can add the same
    // workspace between the check and the insert.
    QString why;
    std::optional<QSet<QUuid>> known = StoreReader::readIds(m_connection->database(), &why);
    if (!known)
        return failed(why);
    for (auto it = m_tracking.constBegin(); it != m_tracking.constEnd(); ++it)
        known->insert(it.key()->id());

    QList<StoredWorkspace> added;
    for (const WorkspaceData &item : items) {
        if (known->contains(item.id))
            continue;
        const std::optional<qint64> key = writer.insertWorkspace(item);
        if (!key)
            return failed(writer.errorText());
        known->insert(item.id);
        added.append({ *key, item });
    }
    if (!writer.commit())
        return failed(writer.errorText());

    for (const StoredWorkspace &row : std::as_const(added)) {
        Workspace *workspace = Workspace::fromData(row.data, this);
        adopt(workspace, row.pk);
        placeInOrder(workspace);
        emit workspaceInserted(workspace);
    }
    if (!added.isEmpty())
        emit countChanged();
    return int(added.size());
}

bool WorkspaceStore::reload(QString *error)
{
    if (m_unsaved)
        save();
    QHash<qint64, EntryFigures> figures;
    std::optional<QList<StoredWorkspace>> rows = StoreReader::readWorkspaces(m_connection->database(), &figures, error);
    if (!rows)
        return false;

    QHash<qint64, Workspace *> byKey;
    for (auto it = m_tracking.constBegin(); it != m_tracking.constEnd(); ++it) {
        if (it->pk > 0)
            byKey.insert(it->pk, const_cast<Workspace *>(it.key()));
    }
    const QSet<qint64> deleting(m_pendingDeletes.cbegin(), m_pendingDeletes.cend());
    QSet<qint64> present;
    QList<Workspace *> inserted;
    m_applyingStored = true;
    for (const StoredWorkspace &row : std::as_const(*rows)) {
        if (deleting.contains(row.pk))
            continue;
        present.insert(row.pk);
        if (Workspace *workspace = byKey.value(row.pk)) {
            // A record whose change could not be saved keeps that change.
            if (!m_tracking.value(workspace).dirty)
                applyStored(workspace, row.pk, row.data, figures.value(row.pk));
            continue;
        }
        Workspace *workspace = Workspace::fromData(row.data, this);
        deferEntries(workspace, figures.value(row.pk));
        adopt(workspace, row.pk);
        m_workspaces.append(workspace);
        inserted.append(workspace);
    }
    m_applyingStored = false;

    for (auto it = byKey.constBegin(); it != byKey.constEnd(); ++it) {
        if (present.contains(it.key()) || m_tracking.value(it.value()).dirty)
            continue;
        Workspace *workspace = it.value();
        dropRecord(workspace, false);
        workspace->deleteLater();
    }
    m_needsSort = true;
    sortIfNeeded();
    for (Workspace *workspace : std::as_const(inserted))
        emit workspaceInserted(workspace);
    if (!inserted.isEmpty())
        emit countChanged();
    return true;
}

void WorkspaceStore::applyStored(
    Workspace *workspace, qint64 pk, const WorkspaceData &data, const EntryFigures &figures)
{
    workspace->setId(data.id);
    workspace->setName(data.name);
    workspace->setIcon(data.icon);
    workspace->setCategory(data.category);
    workspace->setCreatedAt(data.createdAt);
    workspace->setModifiedAt(data.modifiedAt);
    workspace->setAutoLaunch(data.autoLaunch);
    workspace->setRestoreDocuments(data.restoreDocuments);
    workspace->setIsFavorite(data.isFavorite);
    workspace->setLaunchCount(data.launchCount);
    workspace->setLastLaunchedAt(data.lastLaunchedAt);
    workspace->setTimeSavedInSeconds(data.timeSavedInSeconds);

    if (!workspace->entriesLoaded()) {
        deferEntries(workspace, figures);
        return;
    }
    QString error;
    const std::optional<QList<EntryData>> stored = StoreReader::readEntries(m_connection->database(), pk, &error);
    noteEntryRead(workspace, stored.has_value(), error);
    // The entries in memory stay as they are rather than emptied.
    if (!stored)
        return;
    // Entries are matched by id so that a view showing one keeps it.
    QMultiHash<QUuid, WorkspaceEntry *> current;
    const QList<WorkspaceEntry *> before = workspace->entries();
    for (WorkspaceEntry *entry : before)
        current.insert(entry->id(), entry);
    QList<WorkspaceEntry *> next;
    next.reserve(stored->size());
    for (const EntryData &entryData : *stored) {
        WorkspaceEntry *entry = current.take(entryData.id);
        if (entry)
            entry->setData(entryData);
        else
            entry = new WorkspaceEntry(entryData);
        next.append(entry);
    }
    if (next != before)
        workspace->setEntries(next);
}
