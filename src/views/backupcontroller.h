// The settings page's backup buttons: export every workspace to a file,
// import one, and the line that says how it went.
#pragma once

#include "viewservices.h"

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
    void setStatus(const QString &status);

    QPointer<ViewServices> m_services;
    QString m_status;
};
