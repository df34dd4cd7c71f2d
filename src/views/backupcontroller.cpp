// The settings page's backup buttons: export every workspace to a file,
// import one, and the line that says how it went.
#include "backupcontroller.h"

#include "files/dialogfilechooser.h"
#include "files/portalfilechooser.h"
#include "model/backup/backupfile.h"
#include "model/workspacestore.h"

#include <QDBusConnection>
#include <QDir>
#include <QStandardPaths>

BackupController::BackupController(QObject *parent)
    : QObject(parent)
{
}

void BackupController::setServices(ViewServices *services)
{
    if (m_services == services)
        return;
    m_services = services;
    emit servicesChanged();
}

QString BackupController::exportPanelTitle()
{
    return BackupFile::exportPanelTitle;
}

QString BackupController::importPanelTitle()
{
    return BackupFile::importPanelTitle;
}

QStringList BackupController::nameFilters()
{
    return { BackupFile::nameFilter };
}

QString BackupController::defaultSuffix()
{
    return QStringLiteral("workspace");
}

QUrl BackupController::homeFolder()
{
    return QUrl::fromLocalFile(QStandardPaths::writableLocation(QStandardPaths::HomeLocation));
}

QUrl BackupController::suggestedExportUrl()
{
    const QDir home(QStandardPaths::writableLocation(QStandardPaths::HomeLocation));
    return QUrl::fromLocalFile(home.filePath(BackupFile::suggestedFileName));
}

void BackupController::exportBackup(const QUrl &file)
{
    if (!m_services || file.isEmpty() || !file.isLocalFile())
        return;
    // A backup that silently lacks the entries the store could not read
    // would look complete to whoever restores it; refusing says what is wrong.
    QString error;
    const std::optional<QList<WorkspaceData>> workspaces = m_services->store().snapshot(&error);
    if (!workspaces) {
        setStatus(storeUnreadableStatus(error), true);
        return;
    }
    bool failed = false;
    const QString line
        = BackupFile::exportToFile(file.toLocalFile(), *workspaces, m_services->store().ownFiles(), &failed);
    setStatus(line, failed);
}

QString BackupController::storeUnreadableStatus(const QString &reason)
{
    return QStringLiteral("Export abgelehnt: Nicht alle Workspaces ließen sich aus der Datenbank lesen (%1)")
        .arg(reason);
}

void BackupController::importBackup(const QUrl &file)
{
    if (!m_services || file.isEmpty() || !file.isLocalFile())
        return;
    WorkspaceStore &store = m_services->store();
    bool failed = false;
    const QString line = BackupFile::importFromFile(
        file.toLocalFile(),
        [&store](const QList<WorkspaceData> &items, QString *error) { return store.addWorkspaces(items, error); },
        &failed);
    setStatus(line, failed);
}

void BackupController::setFileChooser(FileChooser *chooser)
{
    m_chooser = chooser;
}

FileChooser *BackupController::fileChooser()
{
    if (!m_chooser) {
        auto *fallback = new DialogFileChooser(this);
        m_chooser = new PortalFileChooser(QDBusConnection::sessionBus(), fallback, this);
    }
    return m_chooser;
}

void BackupController::chooseExportFile()
{
    FileRequest request;
    request.mode = FileRequest::Mode::Save;
    request.title = exportPanelTitle();
    // Every export starts from the suggested name again.
    request.folder = homeFolder().toLocalFile();
    request.suggestedName = BackupFile::suggestedFileName;
    request.filterLabel = BackupFile::nameFilter;
    request.patterns = { QStringLiteral("*.workspace"), QStringLiteral("*.json") };
    request.defaultSuffix = defaultSuffix();
    fileChooser()->choose(request, [self = QPointer(this)](const QString &path) {
        if (self && !path.isEmpty())
            self->exportBackup(QUrl::fromLocalFile(path));
    });
}

void BackupController::chooseImportFile()
{
    FileRequest request;
    request.mode = FileRequest::Mode::Open;
    request.title = importPanelTitle();
    request.folder = homeFolder().toLocalFile();
    request.filterLabel = BackupFile::nameFilter;
    request.patterns = { QStringLiteral("*.workspace"), QStringLiteral("*.json") };
    fileChooser()->choose(request, [self = QPointer(this)](const QString &path) {
        if (self && !path.isEmpty())
            self->importBackup(QUrl::fromLocalFile(path));
    });
}

void BackupController::setStatus(const QString &status, bool failed)
{
    // The same line again (a second export of the same store) still counts
    // as news, so the page can flash it.
    m_status = status;
    m_failed = failed;
    emit backupStatusChanged();
}
