// The state and actions of the settings page: window-control status, the
// hotkey field, the cloud switch, the taskbar switch and the help dialog.
#include "settingscontroller.h"

#include "automation/desktopplatform.h"

SettingsController::SettingsController(QObject *parent)
    : QObject(parent)
{
    m_refreshTimer.setInterval(refreshIntervalMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &SettingsController::refreshTrust);
}

void SettingsController::setServices(ViewServices *services)
{
    if (m_services == services)
        return;
    disconnect(m_dockConnection);
    m_services = services;
    if (m_services) {
        m_dockConnection
            = connect(m_services, &ViewServices::showDockIconChanged, this, &SettingsController::showDockIconChanged);
    }
    emit servicesChanged();
    emit showDockIconChanged();
    if (m_active)
        refreshTrust();
}

void SettingsController::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    if (m_active) {
        // The page's own state lives only as long as it is shown.
        setRecordingHotkey(false);
        setIcloudSyncEnabled(false);
        refreshTrust();
        m_refreshTimer.start();
    } else {
        m_refreshTimer.stop();
    }
    emit activeChanged();
}

QString SettingsController::hotkeyString()
{
    return QStringLiteral("Super+Alt+D");
}

void SettingsController::setIcloudSyncEnabled(bool enabled)
{
    if (m_icloudSyncEnabled == enabled)
        return;
    m_icloudSyncEnabled = enabled;
    emit icloudSyncEnabledChanged();
}

bool SettingsController::showDockIcon() const
{
    return m_services ? m_services->showDockIcon() : true;
}

void SettingsController::setShowDockIcon(bool show)
{
    // ViewServices announces a real change, which reaches us as showDockIconChanged.
    if (m_services)
        m_services->setShowDockIcon(show);
}

void SettingsController::setShowingWindowControlHelp(bool showing)
{
    if (m_showingHelp == showing)
        return;
    m_showingHelp = showing;
    emit showingWindowControlHelpChanged();
}

QString SettingsController::windowControlHelpTitle()
{
    return QStringLiteral("Fenstersteuerung einrichten");
}

QString SettingsController::windowControlHelpText() const
{
    if (m_services) {
        const QString instruction = m_services->platform().controlInstruction();
        if (!instruction.isEmpty())
            return instruction;
    }
    return QStringLiteral(
        "Corvalint ordnet Fenster über den Fenstermanager an und braucht dafür eine X11-Sitzung mit einem "
        "EWMH-fähigen Fenstermanager, etwa Openbox, Xfwm4, KWin oder Mutter unter X11 oder i3. "
        "Eine Berechtigung gibt es dabei nicht zu erteilen. "
        "Melde dich bei Bedarf mit einer X11-Sitzung an; sobald ein solcher Fenstermanager läuft, "
        "zeigt diese Seite innerhalb einer Sekunde „Aktiv“.");
}

void SettingsController::toggleRecordingHotkey()
{
    setRecordingHotkey(!m_recordingHotkey);
}

void SettingsController::openSystemSettings()
{
    // Trust is not touched here: the next tick notices a window manager that
    // the user has started meanwhile.
    setShowingWindowControlHelp(true);
}

void SettingsController::refreshTrust()
{
    if (m_services)
        setTrusted(m_services->platform().canControlWindows());
}

void SettingsController::setTrusted(bool trusted)
{
    if (m_trusted == trusted)
        return;
    m_trusted = trusted;
    emit isAccessibilityTrustedChanged();
}

void SettingsController::setRecordingHotkey(bool recording)
{
    if (m_recordingHotkey == recording)
        return;
    m_recordingHotkey = recording;
    emit recordingHotkeyChanged();
}
