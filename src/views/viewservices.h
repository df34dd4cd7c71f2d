// The one object through which QML reaches the shared instances: the store,
// the automation service, the desktop platform and the user settings.
#pragma once

#include "deleteundo.h"
#include "hotkeysetting.h"
#include "model/sync/foldersynccontrol.h"
#include "overlay/previewoverlaymanager.h"

#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

class AutomationService;
class DesktopPlatform;
class QJSEngine;
class QQmlEngine;
class QSettings;
class WorkspaceStore;

class ViewServices : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(Services)
    QML_SINGLETON
    Q_PROPERTY(int screenCount READ screenCount NOTIFY screenCountChanged)
    Q_PROPERTY(bool showDockIcon READ showDockIcon WRITE setShowDockIcon NOTIFY showDockIconChanged)
    // Seconds a launch waits for each application's window ("windowWaitSeconds").
    Q_PROPERTY(int windowWaitSeconds READ windowWaitSeconds WRITE setWindowWaitSeconds NOTIFY windowWaitSecondsChanged)
    Q_PROPERTY(int shortestWindowWait MEMBER shortestWindowWait CONSTANT)
    Q_PROPERTY(int longestWindowWait MEMBER longestWindowWait CONSTANT)
    // The shared preview overlay; null until the application hands one over.
    Q_PROPERTY(PreviewOverlayManager *overlay READ overlay WRITE setOverlay NOTIFY overlayChanged)
    // Sync through a folder; null until the application hands it over.
    Q_PROPERTY(FolderSyncControl *folderSync READ folderSync WRITE setFolderSync NOTIFY folderSyncChanged)
    // The global hotkey that opens the launcher; null until the application hands it over.
    Q_PROPERTY(HotkeySetting *hotkey READ hotkey WRITE setHotkey NOTIFY hotkeyChanged)
    // What the window's banner says about the store; empty while all is well.
    Q_PROPERTY(QString storeProblem READ storeProblem NOTIFY storeProblemChanged)
    // What the user must do before Corvalint can arrange windows on this desktop
    // (install a shell extension, log in again); empty while it can.
    Q_PROPERTY(QString desktopProblem READ desktopProblem NOTIFY desktopProblemChanged)
    // The last delete, which "Rückgängig" takes back for a few seconds.
    Q_PROPERTY(DeleteUndo *undo READ undo CONSTANT)
    // The workspace whose launch the window started last, so that its card shows how it goes.
    Q_PROPERTY(QString launchedWorkspaceId READ launchedWorkspaceId NOTIFY launchedWorkspaceChanged)

public:
    /// Every reference must outlive this object.
    ViewServices(WorkspaceStore &store, AutomationService &automation, DesktopPlatform &platform, QSettings &settings,
        QObject *parent = nullptr);
    ~ViewServices() override;

    /// Makes `services` the instance QML receives; call before loading any QML
    /// of the module. The caller keeps ownership.
    static void setInstance(ViewServices *services);
    /// The QML engine's factory: the instance set before, kept in C++ ownership.
    static ViewServices *create(QQmlEngine *qmlEngine, QJSEngine *jsEngine);

    WorkspaceStore &store() const { return m_store; }
    AutomationService &automation() const { return m_automation; }
    DesktopPlatform &platform() const { return m_platform; }
    QSettings &settings() const { return m_settings; }
    /// Every delete of the views goes through it, so that one "Rückgängig" serves them all.
    DeleteUndo *undo() const { return m_undo; }

    /// The number of connected screens the platform reports now.
    int screenCount() const;

    /// The stored "showDockIcon" setting; absent or not a boolean reads as true.
    bool showDockIcon() const;
    /// Stores "showDockIcon" at once and announces it, so the taskbar presence
    /// switches now and the next start begins the same way.
    Q_INVOKABLE void setShowDockIcon(bool show);

    /// The stored "windowWaitSeconds", 5 to 600 (absent or unreadable: 30).
    int windowWaitSeconds() const;
    /// Stores it at once and hands it to the automation.
    Q_INVOKABLE void setWindowWaitSeconds(int seconds);
    static constexpr int shortestWindowWait = 5;
    static constexpr int longestWindowWait = 600;

    QString launchedWorkspaceId() const { return m_launchedWorkspaceId; }
    /// The window starts launching workspace `id` now.
    void noteLaunch(const QString &id);

    PreviewOverlayManager *overlay() const { return m_overlay; }
    void setOverlay(PreviewOverlayManager *overlay);
    FolderSyncControl *folderSync() const { return m_folderSync; }
    HotkeySetting *hotkey() const { return m_hotkey; }
    void setHotkey(HotkeySetting *hotkey);
    void setFolderSync(FolderSyncControl *folderSync);

    /// Why changes are not saved (the store's writeProblem) or, while they
    /// are, that entries could not be read from the store; empty otherwise.
    QString storeProblem() const { return m_storeProblem; }
    QString desktopProblem() const;
    /// The banner's sentence after entries could not be read.
    static QString unreadableEntriesText();

signals:
    void overlayChanged();
    void folderSyncChanged();
    void hotkeyChanged();
    void screenCountChanged();
    void showDockIconChanged(bool show);
    void windowWaitSecondsChanged();
    void storeProblemChanged();
    void desktopProblemChanged();
    void launchedWorkspaceChanged();

private:
    void updateStoreProblem();

    WorkspaceStore &m_store;
    AutomationService &m_automation;
    DesktopPlatform &m_platform;
    QSettings &m_settings;
    int m_screenCount = 0;
    bool m_entriesUnreadable = false;
    QString m_storeProblem;
    QString m_launchedWorkspaceId;

    QPointer<PreviewOverlayManager> m_overlay;
    QPointer<FolderSyncControl> m_folderSync;
    QPointer<HotkeySetting> m_hotkey;
    DeleteUndo *m_undo = nullptr;
    static QPointer<ViewServices> s_instance;
};
