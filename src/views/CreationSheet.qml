// The modal sheet that names a new workspace, picks its category and symbol,
// and captures the current desktop into it.
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Templates as T
import QtQuick.Layouts
import Corvalint

Popup {
    id: sheet

    required property CreationSheetController controller

    parent: T.Overlay.overlay
    width: 460
    x: Math.round((parent.width - width) / 2)
    y: Math.round(Math.max(0, (parent.height - height) / 2))
    padding: 24
    modal: true
    dim: true
    focus: true
    visible: controller.showing
    closePolicy: Popup.CloseOnEscape
    // The platform's own dismissal (Escape) closes it like "Abbrechen".
    onClosed: controller.cancel()
    onOpened: nameField.forceActiveFocus()

    T.Overlay.modal: Rectangle { color: Theme.modalDim }

    background: Rectangle {
        radius: 10
        color: Theme.sheetBackground
        border.width: 1
        border.color: Theme.panelBorder
        clip: true

        CyberGridPattern {
            anchors.fill: parent
            opacity: 0.04
        }
        CyberScanlineOverlay {
            anchors.fill: parent
            opacity: 0.12
        }
    }

    // The popup's one child, filling it: the popup takes its height from the child's.
    ColumnLayout {
        anchors.fill: parent
        spacing: 20

        // The sheet reads as a dialog with its title; Tab runs through the field, the
        // categories, the symbols and the buttons, and Escape closes it.
        Accessible.role: Accessible.Dialog
        Accessible.name: "Workspace erstellen"

        RowLayout {
            Layout.fillWidth: true
            Layout.bottomMargin: 4
            spacing: 8
            SymbolIcon {
                name: "camera.viewfinder"
                size: 16
                color: Theme.cyan
            }
            Text {
                text: "WORKSPACE ERSTELLEN"
                Accessible.role: Accessible.Heading
                // In capitals a screen reader may spell it out letter by letter.
                Accessible.name: "Workspace erstellen"
                color: "white"
                font.family: Theme.monoFamily
                font.pixelSize: 14
                font.weight: Theme.black
            }
            Item { Layout.fillWidth: true }
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 1
            color: Theme.hairline
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 16

            ColumnLayout {
                Layout.fillWidth: true
                spacing: 6
                Text {
                    text: "NAME DES WORKSPACES"
                    Accessible.ignored: true
                    color: Theme.secondaryText
                    font.family: Theme.monoFamily
                    font.pixelSize: 10
                    font.weight: Theme.bold
                }
                ThemedTextField {
                    id: nameField
                    objectName: "nameField"
                    Layout.fillWidth: true
                    Accessible.name: "Name des Workspaces"
                    placeholderText: "z.B. Lumenfern, Coding, Office"
                    text: sheet.controller.name
                    onTextEdited: sheet.controller.name = text
                    onAccepted: sheet.controller.create()
                }
            }

            ColumnLayout {
                Layout.fillWidth: true
                spacing: 8
                Text {
                    text: "KATEGORIE"
                    // It names the group of chips below.
                    Accessible.ignored: true
                    color: Theme.secondaryText
                    font.family: Theme.monoFamily
                    font.pixelSize: 10
                    font.weight: Theme.bold
                }
                GridLayout {
                    Layout.fillWidth: true
                    Accessible.role: Accessible.Grouping
                    Accessible.name: "Kategorie"
                    columns: 2
                    rowSpacing: 8
                    columnSpacing: 8
                    Repeater {
                        model: sheet.controller.categories
                        CategoryChip {
                            required property string modelData
                            Layout.fillWidth: true
                            Layout.preferredWidth: 10
                            category: modelData
                            selected: sheet.controller.category === modelData
                            onClicked: sheet.controller.category = modelData
                        }
                    }
                }
            }

            ColumnLayout {
                Layout.fillWidth: true
                spacing: 8
                Text {
                    text: "SYMBOL AUSWÄHLEN"
                    // It names the group of symbols below.
                    Accessible.ignored: true
                    color: Theme.secondaryText
                    font.family: Theme.monoFamily
                    font.pixelSize: 10
                    font.weight: Theme.bold
                }
                Item {
                    Layout.fillWidth: true
                    implicitHeight: symbols.height
                    Row {
                        id: symbols
                        Accessible.role: Accessible.Grouping
                        Accessible.name: "Symbol auswählen"
                        anchors.horizontalCenter: parent.horizontalCenter
                        spacing: 8
                        Repeater {
                            model: sheet.controller.icons
                            SymbolChoiceButton {
                                required property string modelData
                                symbol: modelData
                                selected: sheet.controller.icon === modelData
                                onClicked: sheet.controller.icon = modelData
                            }
                        }
                    }
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 1
            color: Theme.hairline
        }

        Text {
            objectName: "captureProblem"
            Layout.fillWidth: true
            visible: text !== ""
            text: sheet.controller.captureProblem
            color: Theme.red
            font.pixelSize: 12
            wrapMode: Text.WordWrap
            Accessible.role: Accessible.AlertMessage
            Accessible.name: text
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.topMargin: 4
            spacing: 12
            Item { Layout.fillWidth: true }
            SecondaryButton {
                text: "Abbrechen"
                foregroundColor: Theme.cyan
                borderColor: Theme.accentOutline
                onClicked: sheet.controller.cancel()
            }
            PrimaryButton {
                objectName: "createButton"
                text: "Erzeugen & Speichern"
                startColor: Theme.gradientStart
                endColor: Theme.gradientEnd
                enabled: sheet.controller.canCreate
                onClicked: sheet.controller.create()
            }
        }
    }
}
