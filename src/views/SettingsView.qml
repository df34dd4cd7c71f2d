// The settings page: window control, the hotkey field, sync through a folder
// and backups, start at login, and whether Corvalint shows in the taskbar.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Dialogs
import QtQuick.Layouts
import Corvalint
import Corvalint.Theme

Item {
    id: settingsPage
    objectName: "settings"

    // Reached by tests and the screenshot runner.
    readonly property alias controller: settingsController
    readonly property alias backup: backupController
    readonly property alias page: scroll

    SettingsController {
        id: settingsController
        services: Services
        // Polled only while the page is really on screen.
        active: settingsPage.visible && settingsPage.Window.window !== null
                && settingsPage.Window.window.visible
    }
    BackupController {
        id: backupController
        services: Services
    }

    ScrollView {
        id: scroll
        anchors.fill: parent
        contentWidth: availableWidth
        // The column plus its padding of 24 above and below.
        contentHeight: column.implicitHeight + 48
        clip: true
        ScrollBar.vertical.policy: ScrollBar.AsNeeded

        ColumnLayout {
            id: column
            x: 24
            y: 24
            width: scroll.availableWidth - 48
            spacing: Theme.spacingPage

            ColumnLayout {
                spacing: Theme.spacingS
                Text {
                    text: "Einstellungen"
                    Accessible.role: Accessible.Heading
                    Accessible.name: text
                    color: Theme.primaryText
                    font.family: Theme.systemFamily
                    font.pixelSize: Theme.fontDisplayLarge
                    font.weight: Theme.black
                }
                Text {
                    text: "Konfiguriere Berechtigungen, Hotkeys und Backups."
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    color: Theme.secondaryText
                    font.family: Theme.systemFamily
                    font.pixelSize: Theme.fontHeadline
                }
            }

            // Window control ("accessibility")
            SettingsSection {
                objectName: "accessibilitySection"
                Layout.maximumWidth: column.width

                RowLayout {
                    spacing: Theme.spacingL
                    SymbolIcon {
                        objectName: "trustSymbol"
                        name: settingsController.isAccessibilityTrusted ? "shield.checkered" : "shield.slash.fill"
                        size: 24
                        color: settingsController.isAccessibilityTrusted ? Theme.green : Theme.red
                    }
                    ColumnLayout {
                        spacing: Theme.spacingXS
                        Text {
                            text: "Barrierefreiheit (Accessibility)"
                            Accessible.role: Accessible.Heading
                            Accessible.name: text
                            color: Theme.primaryText
                            font.family: Theme.systemFamily
                            font.pixelSize: Theme.fontHeadline
                            font.weight: Theme.bold
                        }
                        Text {
                            Accessible.role: Accessible.StaticText
                            Accessible.name: text
                            text: settingsController.isAccessibilityTrusted
                                  ? "Zugriff erteilt. Corvalint kann Fenster anordnen."
                                  : "Zugriff erforderlich, damit Corvalint Fenstergrößen und -positionen ändern kann."
                            color: Theme.secondaryText
                            font.family: Theme.systemFamily
                            font.pixelSize: Theme.fontCallout
                        }
                    }
                }

                Rectangle {
                    objectName: "activeBadge"
                    visible: settingsController.isAccessibilityTrusted
                    implicitWidth: badgeRow.implicitWidth + 20
                    implicitHeight: badgeRow.implicitHeight + 8
                    radius: Theme.radiusM
                    color: Theme.successFill
                    Row {
                        id: badgeRow
                        anchors.centerIn: parent
                        spacing: Theme.spacingS
                        SymbolIcon {
                            anchors.verticalCenter: parent.verticalCenter
                            name: "checkmark.circle.fill"
                            size: 12
                            color: Theme.green
                        }
                        Text {
                            anchors.verticalCenter: parent.verticalCenter
                            text: "Aktiv"
                            Accessible.role: Accessible.StaticText
                            Accessible.name: text
                            color: Theme.green
                            font.family: Theme.systemFamily
                            font.pixelSize: Theme.fontCallout
                            font.weight: Theme.bold
                        }
                    }
                }

                PrimaryButton {
                    objectName: "openSystemSettingsButton"
                    visible: !settingsController.isAccessibilityTrusted
                    text: "Hilfe zur Fenstersteuerung öffnen"
                    startColor: Theme.red
                    endColor: Theme.orange
                    onClicked: settingsController.openSystemSettings()
                }
            }

            // Hotkey
            SettingsSection {
                objectName: "hotkeySection"
                Layout.fillWidth: true

                Text {
                    text: "Globaler Schnellstart Launcher"
                    Accessible.role: Accessible.Heading
                    Accessible.name: text
                    color: Theme.primaryText
                    font.family: Theme.systemFamily
                    font.pixelSize: Theme.fontHeadline
                    font.weight: Theme.bold
                }
                Text {
                    Layout.fillWidth: true
                    text: "Verwende einen globalen Hotkey, um den Corvalint Launcher von überall auf deinem Computer aus aufzurufen."
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    color: Theme.secondaryText
                    font.family: Theme.systemFamily
                    font.pixelSize: Theme.fontCallout
                    wrapMode: Text.Wrap
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: Theme.spacingM
                    Text {
                        text: "Globaler Hotkey"
                        Accessible.ignored: true
                        color: Theme.primaryText
                        font.family: Theme.systemFamily
                        font.pixelSize: Theme.fontBody
                        font.weight: Theme.medium
                    }
                    Item { Layout.fillWidth: true }
                    HotkeyField {
                        objectName: "hotkeyField"
                        readonly property var hotkey: settingsController.services ? settingsController.services.hotkey : null
                        recording: settingsController.recordingHotkey
                        hotkeyText: hotkey ? hotkey.combination : settingsController.hotkeyString
                        onClicked: { forceActiveFocus(); settingsController.toggleRecordingHotkey() }
                        onKeyRecorded: (key, modifiers) => {
                            if (hotkey && hotkey.record(key, modifiers))
                                settingsController.toggleRecordingHotkey()
                        }
                    }
                }
                Text {
                    objectName: "hotkeyProblem"
                    Layout.fillWidth: true
                    readonly property var hotkey: settingsController.services ? settingsController.services.hotkey : null
                    visible: text.length > 0
                    text: hotkey ? hotkey.problem : ""
                    color: Theme.red
                    font.family: Theme.systemFamily
                    font.pixelSize: Theme.fontCallout
                    wrapMode: Text.Wrap
                }
            }

            // Cloud sync and backups
            SettingsSection {
                objectName: "cloudSection"
                Layout.fillWidth: true

                Text {
                    text: "Cloud Sync & Backups"
                    Accessible.role: Accessible.Heading
                    Accessible.name: text
                    color: Theme.primaryText
                    font.family: Theme.systemFamily
                    font.pixelSize: Theme.fontHeadline
                    font.weight: Theme.bold
                }
                SettingsCheckBox {
                    id: syncBox
                    objectName: "syncCheckBox"
                    readonly property var sync: settingsController.services ? settingsController.services.folderSync : null
                    enabled: sync !== null
                    text: "Synchronisierung über einen Ordner"
                    description: "Gleicht deine Workspaces über einen Ordner ab, den Nextcloud, Syncthing oder eine Netzwerkfreigabe synchron hält."
                    checked: sync ? sync.enabled : false
                    onToggled: if (sync) sync.enabled = checked
                }
                RowLayout {
                    Layout.fillWidth: true
                    visible: syncBox.checked
                    spacing: Theme.spacingM
                    ThemedTextField {
                        id: syncFolderField
                        objectName: "syncFolderField"
                        Layout.fillWidth: true
                        Accessible.name: "Sync-Ordner"
                        placeholderText: "z.B. ~/Nextcloud/Corvalint"
                        text: syncBox.sync ? syncBox.sync.folder : ""
                        onEditingFinished: if (syncBox.sync) syncBox.sync.folder = text
                    }
                    SecondaryButton {
                        objectName: "syncFolderButton"
                        symbol: "folder.fill"
                        text: "Ordner wählen …"
                        foregroundColor: Theme.cyan
                        borderColor: Theme.accentOutline
                        onClicked: syncFolderDialog.open()
                    }
                }
                Text {
                    objectName: "syncStatus"
                    Layout.fillWidth: true
                    visible: syncBox.checked
                    text: !syncBox.sync ? ""
                        : syncBox.sync.problem.length > 0 ? syncBox.sync.problem
                        : syncBox.sync.running ? "Dieser Computer schreibt „" + syncBox.sync.ownFileName + "“."
                        : "Wähle einen Ordner, um zu synchronisieren."
                    color: syncBox.sync && syncBox.sync.problem.length > 0 ? Theme.red : Theme.secondaryText
                    font.family: Theme.systemFamily
                    font.pixelSize: Theme.fontCallout
                    wrapMode: Text.Wrap
                }
                FolderDialog {
                    id: syncFolderDialog
                    title: "Sync-Ordner wählen"
                    onAccepted: if (syncBox.sync) syncBox.sync.folder = selectedFolder
                }
                Rectangle {
                    Layout.fillWidth: true
                    implicitHeight: 1
                    color: Theme.hairline
                }
                RowLayout {
                    spacing: Theme.spacingL
                    SecondaryButton {
                        objectName: "exportButton"
                        symbol: "square.and.arrow.up"
                        text: "Workspaces exportieren (.workspace)"
                        foregroundColor: Theme.cyan
                        borderColor: Theme.accentOutline
                        onClicked: backupController.chooseExportFile()
                    }
                    SecondaryButton {
                        objectName: "importButton"
                        symbol: "square.and.arrow.down"
                        text: "Workspaces importieren"
                        foregroundColor: Theme.cyan
                        borderColor: Theme.accentOutline
                        onClicked: backupController.chooseImportFile()
                    }
                }
                Text {
                    objectName: "backupStatus"
                    // Heard when an export or import ends.
                    Accessible.role: Accessible.AlertMessage
                    Accessible.name: text
                    Layout.fillWidth: true
                    visible: text.length > 0
                    text: backupController.backupStatus
                    color: backupController.backupFailed ? Theme.red : Theme.secondaryText
                    font.family: Theme.systemFamily
                    font.pixelSize: Theme.fontCallout
                    wrapMode: Text.Wrap
                }
            }

            // Taskbar presence
            SettingsSection {
                objectName: "behaviourSection"
                Layout.maximumWidth: column.width

                Text {
                    text: "App-Verhalten"
                    Accessible.role: Accessible.Heading
                    Accessible.name: text
                    color: Theme.primaryText
                    font.family: Theme.systemFamily
                    font.pixelSize: Theme.fontHeadline
                    font.weight: Theme.bold
                }
                LoginStartSetting {
                    id: loginStart
                }
                SettingsCheckBox {
                    objectName: "loginCheckBox"
                    text: "Beim Anmelden starten"
                    description: "Startet Corvalint unsichtbar im Infobereich; Workspaces mit Fokus-Modus öffnen, sobald der Desktop bereit ist."
                    checked: loginStart.enabled
                    onToggled: loginStart.enabled = checked
                }
                Text {
                    objectName: "loginStatus"
                    Layout.fillWidth: true
                    visible: text.length > 0
                    text: loginStart.problem
                    color: Theme.red
                    font.family: Theme.systemFamily
                    font.pixelSize: Theme.fontCallout
                    wrapMode: Text.Wrap
                }
                SettingsCheckBox {
                    objectName: "dockCheckBox"
                    text: "App-Symbol in der Taskleiste anzeigen"
                    description: "Falls deaktiviert, läuft Corvalint unauffällig im Hintergrund ohne Taskleisten-Symbol."
                    checked: settingsController.showDockIcon
                    onToggled: settingsController.showDockIcon = checked
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: Theme.spacingL
                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: Theme.spacingXXS
                        Text {
                            text: "Wartezeit auf Fenster"
                            Accessible.role: Accessible.StaticText
                            Accessible.name: text
                            color: Theme.primaryText
                            font.family: Theme.systemFamily
                            font.pixelSize: Theme.fontBody
                        }
                        Text {
                            Layout.fillWidth: true
                            text: "So lange wartet ein Start auf das Fenster jeder App, bevor er es nicht mehr platziert. Große Programme brauchen beim ersten Start oft 5 bis 20 Sekunden."
                            Accessible.role: Accessible.StaticText
                            Accessible.name: text
                            color: Theme.secondaryText
                            font.family: Theme.systemFamily
                            font.pixelSize: Theme.fontFootnote
                            wrapMode: Text.WordWrap
                        }
                    }
                    SpinBox {
                        id: windowWait
                        objectName: "windowWaitSpinBox"
                        from: Services.shortestWindowWait
                        to: Services.longestWindowWait
                        stepSize: 5
                        editable: true
                        value: Services.windowWaitSeconds
                        onValueModified: Services.windowWaitSeconds = value
                        textFromValue: function(value) { return value + " s" }
                        valueFromText: function(text) { return parseInt(text) }
                        Accessible.name: "Wartezeit auf Fenster in Sekunden"
                        // The style marks its focus faintly; the theme's ring as everywhere else.
                        FocusRing {
                            cornerRadius: 2
                            shown: windowWait.activeFocus
                        }
                    }
                }
            }
        }
    }

    WindowControlHelpDialog {
        controller: settingsController
    }

    FocusFollower {
        flickable: scroll.contentItem as Flickable
        area: column
    }
}
