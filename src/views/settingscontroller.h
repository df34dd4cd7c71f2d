// The state and actions of the settings page: window-control status, the
// hotkey field, the cloud switch, the taskbar switch and the help dialog.
#pragma once

#include "viewservices.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QtQml/qqmlregistration.h>

class SettingsController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(ViewServices *services READ services WRITE setServices NOTIFY servicesChanged)
    /// True while the page is on screen; only then is window control polled.
    Q_PROPERTY(bool active READ active WRITE setActive NOTIFY activeChanged)
    Q_PROPERTY(bool isAccessibilityTrusted READ isAccessibilityTrusted NOTIFY isAccessibilityTrustedChanged)
    Q_PROPERTY(QString hotkeyString READ hotkeyString CONSTANT)
    Q_PROPERTY(bool recordingHotkey READ recordingHotkey NOTIFY recordingHotkeyChanged)
    Q_PROPERTY(bool icloudSyncEnabled READ icloudSyncEnabled WRITE setIcloudSyncEnabled NOTIFY icloudSyncEnabledChanged)
    Q_PROPERTY(bool showDockIcon READ showDockIcon WRITE setShowDockIcon NOTIFY showDockIconChanged)
    Q_PROPERTY(bool showingWindowControlHelp READ showingWindowControlHelp WRITE setShowingWindowControlHelp NOTIFY
            showingWindowControlHelpChanged)
    Q_PROPERTY(QString windowControlHelpTitle READ windowControlHelpTitle CONSTANT)
    Q_PROPERTY(QString windowControlHelpText READ windowControlHelpText NOTIFY isAccessibilityTrustedChanged)

public:
    /// How often window control is checked again while the page is shown.
    static constexpr int refreshIntervalMs = 1000;

    explicit SettingsController(QObject *parent = nullptr);

    ViewServices *services() const { return m_services; }
    void setServices(ViewServices *services);

    bool active() const { return m_active; }
    /// Becoming active starts the page afresh (hotkey field idle, cloud switch
    /// off), reads window control at once and starts the timer; becoming
    /// inactive stops it.
    void setActive(bool active);
    /// Whether the refresh timer is running.
    bool isRefreshing() const { return m_refreshTimer.isActive(); }

    bool isAccessibilityTrusted() const { return m_trusted; }
    static QString hotkeyString();
    bool recordingHotkey() const { return m_recordingHotkey; }
    bool icloudSyncEnabled() const { return m_icloudSyncEnabled; }
    void setIcloudSyncEnabled(bool enabled);
    /// The stored setting; true while no services are set.
    bool showDockIcon() const;
    void setShowDockIcon(bool show);
    bool showingWindowControlHelp() const { return m_showingHelp; }
    void setShowingWindowControlHelp(bool showing);
    static QString windowControlHelpTitle();
    /// The desktop's own instruction when it has one (GNOME's extension), else what window control needs.
    QString windowControlHelpText() const;

    /// The hotkey field's press: switches between the idle and the recording
    /// display. Nothing is captured and no hotkey is registered.
    Q_INVOKABLE void toggleRecordingHotkey();
    /// "Hilfe zur Fenstersteuerung öffnen": there is no permission to grant here, so
    /// it opens the dialog that says what window control needs.
    Q_INVOKABLE void openSystemSettings();
    /// Reads window control from the platform now.
    Q_INVOKABLE void refreshTrust();

signals:
    void servicesChanged();
    void activeChanged();
    void isAccessibilityTrustedChanged();
    void recordingHotkeyChanged();
    void icloudSyncEnabledChanged();
    void showDockIconChanged();
    void showingWindowControlHelpChanged();

private:
    void setTrusted(bool trusted);
    void setRecordingHotkey(bool recording);

    QPointer<ViewServices> m_services;
    QMetaObject::Connection m_dockConnection;
    QTimer m_refreshTimer;
    bool m_active = false;
    bool m_trusted = false;
    bool m_recordingHotkey = false;
    bool m_icloudSyncEnabled = false;
    bool m_showingHelp = false;
};
