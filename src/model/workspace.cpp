// The observable record of one saved desktop set-up.
#include "workspace.h"

#include "optionalvariant.h"

#include <QSet>

#define CORVALINT_WORKSPACE_SETTER(Setter, member, signal, Type)                                                       \
    void Workspace::Setter(Type value)                                                                                 \
    {                                                                                                                  \
        if (member == value)                                                                                           \
            return;                                                                                                    \
        member = value;                                                                                                \
        emit signal();                                                                                                 \
        emit changed();                                                                                                \
    }

Workspace::Workspace(QObject *parent)
    : QObject(parent)
{
}

Workspace::Workspace(const QString &name, const QString &icon, const QString &category, bool autoLaunch,
    bool restoreDocuments, QObject *parent)
    : QObject(parent)
    , m_name(name)
    , m_icon(icon)
    , m_category(category)
    , m_createdAt(QDateTime::currentDateTimeUtc())
    , m_modifiedAt(QDateTime::currentDateTimeUtc())
    , m_autoLaunch(autoLaunch)
    , m_restoreDocuments(restoreDocuments)
{
}

Workspace *Workspace::fromData(const WorkspaceData &data, QObject *parent)
{
    auto *ws = new Workspace(parent);
    ws->m_id = data.id;
    ws->m_name = data.name;
    ws->m_icon = data.icon;
    ws->m_category = data.category;
    ws->m_createdAt = data.createdAt;
    ws->m_modifiedAt = data.modifiedAt;
    ws->m_autoLaunch = data.autoLaunch;
    ws->m_restoreDocuments = data.restoreDocuments;
    ws->m_isFavorite = data.isFavorite;
    ws->m_launchCount = data.launchCount;
    ws->m_lastLaunchedAt = data.lastLaunchedAt;
    ws->m_timeSavedInSeconds = data.timeSavedInSeconds;
    for (const EntryData &e : data.entries)
        ws->attach(new WorkspaceEntry(e));
    return ws;
}

WorkspaceData Workspace::data() const
{
    WorkspaceData d;
    d.id = m_id;
    d.name = m_name;
    d.icon = m_icon;
    d.category = m_category;
    d.createdAt = m_createdAt;
    d.modifiedAt = m_modifiedAt;
    d.autoLaunch = m_autoLaunch;
    d.restoreDocuments = m_restoreDocuments;
    d.isFavorite = m_isFavorite;
    d.launchCount = m_launchCount;
    d.lastLaunchedAt = m_lastLaunchedAt;
    d.timeSavedInSeconds = m_timeSavedInSeconds;
    const QList<WorkspaceEntry *> list = entries();
    d.entries.reserve(list.size());
    for (const WorkspaceEntry *e : list)
        d.entries.append(e->data());
    return d;
}

QString Workspace::idText() const
{
    return m_id.toString(QUuid::WithoutBraces).toUpper();
}

CORVALINT_WORKSPACE_SETTER(setId, m_id, idChanged, const QUuid &)
CORVALINT_WORKSPACE_SETTER(setName, m_name, nameChanged, const QString &)
CORVALINT_WORKSPACE_SETTER(setIcon, m_icon, iconChanged, const QString &)
CORVALINT_WORKSPACE_SETTER(setCategory, m_category, categoryChanged, const QString &)
CORVALINT_WORKSPACE_SETTER(setCreatedAt, m_createdAt, createdAtChanged, const QDateTime &)
CORVALINT_WORKSPACE_SETTER(setModifiedAt, m_modifiedAt, modifiedAtChanged, const QDateTime &)
CORVALINT_WORKSPACE_SETTER(setAutoLaunch, m_autoLaunch, autoLaunchChanged, bool)
CORVALINT_WORKSPACE_SETTER(setRestoreDocuments, m_restoreDocuments, restoreDocumentsChanged, bool)
CORVALINT_WORKSPACE_SETTER(setIsFavorite, m_isFavorite, isFavoriteChanged, bool)
CORVALINT_WORKSPACE_SETTER(setLaunchCount, m_launchCount, launchCountChanged, qint64)
CORVALINT_WORKSPACE_SETTER(setLastLaunchedAt, m_lastLaunchedAt, lastLaunchedAtChanged, const std::optional<QDateTime> &)

void Workspace::setTimeSavedInSeconds(double value)
{
    if (m_timeSavedInSeconds == value || (value != value && m_timeSavedInSeconds != m_timeSavedInSeconds))
        return;
    m_timeSavedInSeconds = value;
    emit timeSavedInSecondsChanged();
    emit changed();
}

QVariant Workspace::lastLaunchedAtValue() const
{
    return optionalToVariant(m_lastLaunchedAt);
}

void Workspace::setLastLaunchedAtValue(const QVariant &value)
{
    setLastLaunchedAt(variantToOptional<QDateTime>(value));
}

void Workspace::attach(WorkspaceEntry *entry)
{
    entry->setParent(this);
    entry->m_workspace = this;
    m_entries.append(entry);
    connect(entry, &WorkspaceEntry::changed, this, &Workspace::changed);
}

void Workspace::detach(WorkspaceEntry *entry)
{
    disconnect(entry, nullptr, this, nullptr);
    m_entries.removeOne(entry);
    entry->m_workspace = nullptr;
    if (entry->parent() == this)
        entry->setParent(nullptr);
}

QList<WorkspaceEntry *> Workspace::entries() const
{
    loadEntries();
    return m_entries;
}

int Workspace::entryCount() const
{
    return m_entryLoader ? m_deferredCount : int(m_entries.size());
}

void Workspace::deferEntries(int count, int requiredMonitorCount, EntryLoader loader)
{
    const int countBefore = entryCount();
    const int monitorsBefore = this->requiredMonitorCount();
    const QList<WorkspaceEntry *> old = m_entries;
    for (WorkspaceEntry *e : old) {
        detach(e);
        e->deleteLater();
    }
    m_entryLoader = std::move(loader);
    m_deferredCount = count;
    m_deferredMonitorCount = requiredMonitorCount;
    if (!m_entryLoader)
        m_deferredCount = 0;
    const bool countChanged = countBefore != entryCount() || !old.isEmpty();
    const bool monitorsChanged = monitorsBefore != this->requiredMonitorCount();
    if (countChanged)
        emit entriesChanged();
    if (monitorsChanged)
        emit requiredMonitorCountChanged();
    if (countChanged || monitorsChanged)
        emit changed();
}

bool Workspace::loadEntries() const
{
    if (!m_entryLoader)
        return true;
    const std::optional<QList<EntryData>> loaded = m_entryLoader();
    if (!loaded)
        return false;
    auto *self = const_cast<Workspace *>(this);
    const int countBefore = m_deferredCount;
    const int monitorsBefore = m_deferredMonitorCount;
    m_entryLoader = nullptr;
    for (const EntryData &e : *loaded)
        self->attach(new WorkspaceEntry(e));
    // The list itself did not change, only the figures may have been stale
    // (another process changed the entries after they were counted).
    const bool countChanged = countBefore != entryCount();
    const bool monitorsChanged = monitorsBefore != requiredMonitorCount();
    if (countChanged)
        emit self->entriesChanged();
    if (monitorsChanged)
        emit self->requiredMonitorCountChanged();
    if (countChanged || monitorsChanged)
        emit self->changed();
    return true;
}

void Workspace::appendEntry(WorkspaceEntry *entry)
{
    if (!entry || entry->m_workspace == this)
        return;
    if (!loadEntries()) {
        // Kept, not listed: the caller gave up ownership.
        if (!entry->parent())
            entry->setParent(this);
        return;
    }
    if (Workspace *previous = entry->m_workspace)
        previous->takeEntry(entry);
    attach(entry);
    emit entry->workspaceChanged();
    emit entriesChanged();
    emit requiredMonitorCountChanged();
    emit changed();
}

WorkspaceEntry *Workspace::appendEntry(const EntryData &data)
{
    auto *entry = new WorkspaceEntry(data);
    appendEntry(entry);
    return entry;
}

void Workspace::setEntries(const QList<WorkspaceEntry *> &entries)
{
    if (!loadEntries()) {
        for (WorkspaceEntry *e : entries) {
            if (e && !e->m_workspace && !e->parent())
                e->setParent(this);
        }
        return;
    }
    const QList<WorkspaceEntry *> old = m_entries;
    for (WorkspaceEntry *e : old) {
        if (!entries.contains(e)) {
            detach(e);
            e->deleteLater();
        }
    }
    m_entries.clear();
    for (WorkspaceEntry *e : entries) {
        if (!e)
            continue;
        if (e->m_workspace && e->m_workspace != this)
            e->m_workspace->takeEntry(e);
        if (e->m_workspace == this)
            disconnect(e, nullptr, this, nullptr);
        attach(e);
        emit e->workspaceChanged();
    }
    emit entriesChanged();
    emit requiredMonitorCountChanged();
    emit changed();
}

void Workspace::takeEntry(WorkspaceEntry *entry)
{
    if (!entry || entry->m_workspace != this || !loadEntries())
        return;
    detach(entry);
    emit entry->workspaceChanged();
    emit entriesChanged();
    emit requiredMonitorCountChanged();
    emit changed();
}

int Workspace::requiredMonitorCount() const
{
    if (m_entryLoader)
        return m_deferredMonitorCount;
    QSet<QString> ids;
    for (const WorkspaceEntry *e : m_entries) {
        if (e->monitorID())
            ids.insert(*e->monitorID());
    }
    return ids.isEmpty() ? 1 : int(ids.size());
}

void Workspace::recordLaunch(const QDateTime &now)
{
    const double credit = 20.0 * double(entryCount());
    setLaunchCount(m_launchCount + 1);
    setLastLaunchedAt(now);
    setTimeSavedInSeconds(m_timeSavedInSeconds + credit);
}
