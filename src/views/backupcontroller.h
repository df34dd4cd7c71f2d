// The settings page's backup buttons: export every workspace to a file,
// import one, and the line that says how it went.
#pragma once

#include "viewservices.h"

class FileChooser;

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

class BackupController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(ViewServices *services READ services WRITE setServices NOTIFY servicesChanged)
    /// The result of the last export or import; empty before the first one.
    Q_PROPERTY(QString backupStatus READ backupStatus NOTIFY backupStatusChanged)
    /// Whether that line reports a failure (shown in the failure colour).
    Q_PROPERTY(bool backupFailed READ backupFailed NOTIFY backupStatusChanged)
    Q_PROPERTY(QString exportPanelTitle READ exportPanelTitle CONSTANT)
    Q_PROPERTY(QString importPanelTitle READ importPanelTitle CONSTANT)
    Q_PROPERTY(QStringList nameFilters READ nameFilters CONSTANT)
    Q_PROPERTY(QString defaultSuffix READ defaultSuffix CONSTANT)
    /// Where the save panel starts: "CorvalintBackups.workspace" in the home folder.
    Q_PROPERTY(QUrl suggestedExportUrl READ suggestedExportUrl CONSTANT)
    Q_PROPERTY(QUrl homeFolder READ homeFolder CONSTANT)

public:
    explicit BackupController(QObject *parent = nullptr);

    ViewServices *services() const { return m_services; }
    void setServices(ViewServices *services);
    QString backupStatus() const { return m_status; }
    bool backupFailed() const { return m_failed; }

    /// The dialogs to ask with; by default the desktop portal's, else Qt's.
    void setFileChooser(FileChooser *chooser);

    /// Asks for a file name (the desktop's save dialog, which asks before
    /// replacing a file) and exports there.
    Q_INVOKABLE void chooseExportFile();
    /// Asks for a backup file and imports it.
    Q_INVOKABLE void chooseImportFile();

    static QString exportPanelTitle();
    static QString importPanelTitle();
    static QStringList nameFilters();
    static QString defaultSuffix();
    static QUrl homeFolder();
    static QUrl suggestedExportUrl();

    /// Writes every workspace of the store to the local file `file`. An empty
    /// or non-local URL (a cancelled panel) changes nothing. When the store
    /// cannot read every entry, nothing is written and the status says so.
    Q_INVOKABLE void exportBackup(const QUrl &file);
    /// The status line of an export refused because the store could not be read.
    static QString storeUnreadableStatus(const QString &reason);
    /// Reads the local file `file` and adds the workspaces the store does not
    /// hold yet, all or none. An empty or non-local URL changes nothing.
    Q_INVOKABLE void importBackup(const QUrl &file);

signals:
    void servicesChanged();
    void backupStatusChanged();

private:
    void setStatus(const QString &status, bool failed);
    FileChooser *fileChooser();

    QPointer<ViewServices> m_services;
    QPointer<FileChooser> m_chooser;
    QString m_status;
    bool m_failed = false;
};
