// The user's choice of a sync folder, remembered in the settings, and the folder sync that follows it.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

class FolderSync;
class QSettings;
class WorkspaceStore;

class FolderSyncControl : public QObject
{
    Q_OBJECT
    /// "Synchronisierung über einen Ordner" is switched on.
    Q_PROPERTY(bool enabled READ enabled WRITE setEnabled NOTIFY enabledChanged)
    /// The folder another program keeps in step between computers; empty until chosen.
    Q_PROPERTY(QString folder READ folder WRITE setFolder NOTIFY folderChanged)
    /// This computer's file name in the folder, for the settings page.
    Q_PROPERTY(QString ownFileName READ ownFileName CONSTANT)
    /// One German line about the last exchange; empty when it went well.
    Q_PROPERTY(QString problem READ problem NOTIFY problemChanged)
    /// Whether the sync runs now (switched on with a folder).
    Q_PROPERTY(bool running READ running NOTIFY runningChanged)

public:
    /// Keys in the user settings.
    static constexpr QLatin1String enabledKey { "syncEnabled" };
    static constexpr QLatin1String folderKey { "syncFolder" };

    /// Both must outlive this object. Starts syncing at once when the settings say so.
    FolderSyncControl(WorkspaceStore &store, QSettings &settings, const QString &computer, QObject *parent = nullptr);
    ~FolderSyncControl() override;

    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    QString folder() const { return m_folder; }
    /// A local path or a file URL; stored as a clean absolute path.
    void setFolder(const QString &folder);
    QString ownFileName() const;
    QString problem() const;
    bool running() const { return m_sync != nullptr; }
    /// The running sync, for tests; null while off.
    FolderSync *sync() const { return m_sync.get(); }

signals:
    void enabledChanged();
    void folderChanged();
    void problemChanged();
    void runningChanged();

private:
    void restart();

    WorkspaceStore &m_store;
    QSettings &m_settings;
    const QString m_computer;
    bool m_enabled = false;
    QString m_folder;
    std::unique_ptr<FolderSync> m_sync;
    QString m_setupProblem;
};
