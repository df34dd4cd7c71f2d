// The observable record of one saved desktop set-up: a named, categorised
// list of entries with launch options and usage statistics.
#pragma once

#include "workspacedata.h"
#include "workspaceentry.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QVariant>
#include <functional>
#include <optional>

class Workspace : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QUuid id READ id WRITE setId NOTIFY idChanged)
    Q_PROPERTY(QString idText READ idText NOTIFY idChanged)
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(QString icon READ icon WRITE setIcon NOTIFY iconChanged)
    Q_PROPERTY(QString category READ category WRITE setCategory NOTIFY categoryChanged)
    Q_PROPERTY(QDateTime createdAt READ createdAt WRITE setCreatedAt NOTIFY createdAtChanged)
    Q_PROPERTY(QDateTime modifiedAt READ modifiedAt WRITE setModifiedAt NOTIFY modifiedAtChanged)
    Q_PROPERTY(bool autoLaunch READ autoLaunch WRITE setAutoLaunch NOTIFY autoLaunchChanged)
    Q_PROPERTY(bool restoreDocuments READ restoreDocuments WRITE setRestoreDocuments NOTIFY restoreDocumentsChanged)
    Q_PROPERTY(bool isFavorite READ isFavorite WRITE setIsFavorite NOTIFY isFavoriteChanged)
    Q_PROPERTY(qint64 launchCount READ launchCount WRITE setLaunchCount NOTIFY launchCountChanged)
    // Null in QML while absent.
    Q_PROPERTY(
        QVariant lastLaunchedAt READ lastLaunchedAtValue WRITE setLastLaunchedAtValue NOTIFY lastLaunchedAtChanged)
    Q_PROPERTY(
        double timeSavedInSeconds READ timeSavedInSeconds WRITE setTimeSavedInSeconds NOTIFY timeSavedInSecondsChanged)
    Q_PROPERTY(QList<WorkspaceEntry *> entries READ entries NOTIFY entriesChanged)
    Q_PROPERTY(int entryCount READ entryCount NOTIFY entriesChanged)
    Q_PROPERTY(int requiredMonitorCount READ requiredMonitorCount NOTIFY requiredMonitorCountChanged)

public:
    /// The store's materialisation: declared defaults only (restoreDocuments
    /// true, no entries, no last launch), a fresh id, no timestamps.
    explicit Workspace(QObject *parent = nullptr);

    /// The record's initializer: a new id, createdAt and modifiedAt now (taken
    /// separately), not a favourite, no launches, nothing saved, no entries.
    Workspace(const QString &name, const QString &icon, const QString &category, bool autoLaunch, bool restoreDocuments,
        QObject *parent = nullptr);

    /// A record holding `data`, with entries created for `data.entries`.
    static Workspace *fromData(const WorkspaceData &data, QObject *parent = nullptr);
    /// A snapshot of every field and of the entries in their order.
    WorkspaceData data() const;

    QUuid id() const { return m_id; }
    QString idText() const;
    void setId(const QUuid &value);
    QString name() const { return m_name; }
    void setName(const QString &value);
    QString icon() const { return m_icon; }
    void setIcon(const QString &value);
    QString category() const { return m_category; }
    void setCategory(const QString &value);
    QDateTime createdAt() const { return m_createdAt; }
    void setCreatedAt(const QDateTime &value);
    QDateTime modifiedAt() const { return m_modifiedAt; }
    void setModifiedAt(const QDateTime &value);
    bool autoLaunch() const { return m_autoLaunch; }
    void setAutoLaunch(bool value);
    bool restoreDocuments() const { return m_restoreDocuments; }
    void setRestoreDocuments(bool value);
    bool isFavorite() const { return m_isFavorite; }
    void setIsFavorite(bool value);
    qint64 launchCount() const { return m_launchCount; }
    void setLaunchCount(qint64 value);
    std::optional<QDateTime> lastLaunchedAt() const { return m_lastLaunchedAt; }
    void setLastLaunchedAt(const std::optional<QDateTime> &value);
    QVariant lastLaunchedAtValue() const;
    void setLastLaunchedAtValue(const QVariant &value);
    double timeSavedInSeconds() const { return m_timeSavedInSeconds; }
    void setTimeSavedInSeconds(double value);

    /// The entries in their order. The workspace owns them.
    QList<WorkspaceEntry *> entries() const;
    int entryCount() const;
    /// Appends `entry` (taking ownership) and sets its workspace to this one;
    /// an entry of another workspace leaves that one first.
    void appendEntry(WorkspaceEntry *entry);
    /// Creates an entry from `data` and appends it.
    WorkspaceEntry *appendEntry(const EntryData &data);
    /// Replaces the entries with `entries` (taking ownership); the old ones are deleted.
    void setEntries(const QList<WorkspaceEntry *> &entries);
    /// Removes `entry` from the list without deleting it; the caller owns it.
    void takeEntry(WorkspaceEntry *entry);

    /// Distinct present monitor identifiers among the entries; 1 when none.
    int requiredMonitorCount() const;

    /// Reads the entries of a record whose entries were left in the store.
    using EntryLoader = std::function<std::optional<QList<EntryData>>()>;
    /// Leaves the entries where they are until something reads them; until
    /// then `entryCount` and `requiredMonitorCount` answer from the figures
    /// given here. The store opens this way, so that thousands of workspaces
    /// do not each build their entries before the first window shows. When
    /// the loader fails, the entries read as empty and changes to the list
    /// are skipped, so that a later save cannot drop the stored ones.
    void deferEntries(int count, int requiredMonitorCount, EntryLoader loader);
    /// False while the entries are still deferred.
    bool entriesLoaded() const { return !m_entryLoader; }

    /// The counted launch: one more launch, last launch `now`, and 20 seconds
    /// per entry (counted before the addition) credited as time saved.
    void recordLaunch(const QDateTime &now);

signals:
    void idChanged();
    void nameChanged();
    void iconChanged();
    void categoryChanged();
    void createdAtChanged();
    void modifiedAtChanged();
    void autoLaunchChanged();
    void restoreDocumentsChanged();
    void isFavoriteChanged();
    void launchCountChanged();
    void lastLaunchedAtChanged();
    void timeSavedInSecondsChanged();
    void entriesChanged();
    void requiredMonitorCountChanged();
    /// Any persistent field of the workspace or of one of its entries changed,
    /// or the entry list changed.
    void changed();

private:
    void attach(WorkspaceEntry *entry);
    void detach(WorkspaceEntry *entry);
    bool loadEntries() const;

    QUuid m_id = QUuid::createUuid();
    QString m_name;
    QString m_icon;
    QString m_category;
    QDateTime m_createdAt;
    QDateTime m_modifiedAt;
    bool m_autoLaunch = false;
    bool m_restoreDocuments = true;
    bool m_isFavorite = false;
    qint64 m_launchCount = 0;
    std::optional<QDateTime> m_lastLaunchedAt;
    double m_timeSavedInSeconds = 0;
    mutable QList<WorkspaceEntry *> m_entries;
    mutable EntryLoader m_entryLoader;
    int m_deferredCount = 0;
    int m_deferredMonitorCount = 1;
};
