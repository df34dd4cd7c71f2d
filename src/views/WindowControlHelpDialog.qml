// The dialog behind "Hilfe zur Fenstersteuerung öffnen": what window control needs on this desktop.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import QtQuick.Templates as T
import Corvalint
import Corvalint.Theme

Popup {
    id: dialog
    objectName: "windowControlHelp"

    required property SettingsController controller
    readonly property bool wanted: controller.showingWindowControlHelp

    onWantedChanged: wanted ? open() : close()
    onClosed: controller.showingWindowControlHelp = false

    parent: T.Overlay.overlay
    anchors.centerIn: parent
    width: Math.min(460, parent ? parent.width - 48 : 460)
    modal: true
    focus: true
    padding: Theme.paddingPage
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside

    T.Overlay.modal: Rectangle { color: Theme.modalDim }
    background: GlassBackground { cornerRadius: Theme.radiusCard }

    contentItem: ColumnLayout {
        spacing: Theme.spacingXL
        RowLayout {
            spacing: Theme.spacingL
            SymbolIcon {
                name: "shield.slash.fill"
                size: 24
                color: Theme.red
            }
            Text {
                Layout.fillWidth: true
                text: dialog.controller.windowControlHelpTitle
                color: Theme.primaryText
                font.family: Theme.systemFamily
                font.pixelSize: Theme.fontTitle
                font.weight: Theme.bold
                wrapMode: Text.Wrap
            }
        }
        Text {
            Layout.fillWidth: true
            text: dialog.controller.windowControlHelpText
            color: Theme.secondaryText
            font.family: Theme.systemFamily
            font.pixelSize: Theme.fontBody
            lineHeight: 1.15
            wrapMode: Text.Wrap
        }
        SecondaryButton {
            objectName: "windowControlHelpClose"
            Layout.alignment: Qt.AlignRight
            text: "OK"
            onClicked: dialog.close()
        }
    }
}
