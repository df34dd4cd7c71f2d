// The modal sheet that names a workspace and picks its category and symbol: for a new
// workspace captured from the desktop (the dashboard's) and for one being edited (the
// detail view's, which may also delete it). The controller behind it answers the signals.
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Templates as T
import QtQuick.Layouts
import Corvalint
import Corvalint.Theme

Popup {
    id: sheet

    // The heading as read aloud ("Workspace erstellen"); shown in capitals after `headerSymbol`.
    required property string title
    required property string headerSymbol
    // The form as the controller holds it.
    required property string name
    required property string category
    required property string icon
    required property var categories
    required property var icons
    property string namePlaceholder
    // Why the last attempt saved nothing; empty otherwise.
    property string problem
    property string confirmText: "Speichern"
    property bool canConfirm: true
    // Return in the name field confirms, as with "Erzeugen & Speichern".
    property bool confirmOnReturn: false
    // "Löschen" at the left of the buttons.
    property bool deletable: false
    // How tests find the name field and the buttons.
    property string nameFieldName: "nameField"
    property string confirmButtonName
    property string cancelButtonName

    signal nameEdited(string name)
    signal categoryChosen(string category)
    signal iconChosen(string icon)
    signal confirmed()
    // "Abbrechen", or the platform's own dismissal (Escape): nothing is written.
    signal cancelled()
    signal deleteRequested()

    parent: T.Overlay.overlay
    width: 460
    x: Math.round((parent.width - width) / 2)
    y: Math.round(Math.max(0, (parent.height - height) / 2))
    padding: Theme.paddingPage
    modal: true
    dim: true
    focus: true
    closePolicy: Popup.CloseOnEscape
    onClosed: cancelled()
    onOpened: nameField.forceActiveFocus()

    T.Overlay.modal: Rectangle { color: Theme.modalDim }

    background: Rectangle {
        radius: Theme.radiusSheet
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
        spacing: Theme.spacingSection

        // The sheet reads as a dialog with its title; Tab runs through the field, the
        // categories, the symbols and the buttons, and Escape closes it.
        Accessible.role: Accessible.Dialog
        Accessible.name: sheet.title

        RowLayout {
            Layout.fillWidth: true
            Layout.bottomMargin: Theme.spacingXS
            spacing: Theme.spacingM
            SymbolIcon {
                name: sheet.headerSymbol
                size: 16
                color: Theme.cyan
            }
            Text {
                text: sheet.title.toUpperCase()
                Accessible.role: Accessible.Heading
                // In capitals a screen reader may spell it out letter by letter.
                Accessible.name: sheet.title
                color: "white"
                font.family: Theme.monoFamily
                font.pixelSize: Theme.fontHeadline
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
            spacing: Theme.spacingXL

            ColumnLayout {
                Layout.fillWidth: true
                spacing: Theme.spacingS
                Text {
                    text: "NAME DES WORKSPACES"
                    Accessible.ignored: true
                    color: Theme.secondaryText
                    font.family: Theme.monoFamily
                    font.pixelSize: Theme.fontCaption
                    font.weight: Theme.bold
                }
                ThemedTextField {
                    id: nameField
                    objectName: sheet.nameFieldName
                    Layout.fillWidth: true
                    Accessible.name: "Name des Workspaces"
                    placeholderText: sheet.namePlaceholder
                    text: sheet.name
                    onTextEdited: sheet.nameEdited(text)
                    onAccepted: if (sheet.confirmOnReturn) sheet.confirmed()
                }
            }

            ColumnLayout {
                Layout.fillWidth: true
                spacing: Theme.spacingM
                Text {
                    text: "KATEGORIE"
                    // It names the group of chips below.
                    Accessible.ignored: true
                    color: Theme.secondaryText
                    font.family: Theme.monoFamily
                    font.pixelSize: Theme.fontCaption
                    font.weight: Theme.bold
                }
                GridLayout {
                    Layout.fillWidth: true
                    Accessible.role: Accessible.Grouping
                    Accessible.name: "Kategorie"
                    columns: 2
                    rowSpacing: Theme.spacingM
                    columnSpacing: Theme.spacingM
                    Repeater {
                        model: sheet.categories
                        CategoryChip {
                            required property string modelData
                            Layout.fillWidth: true
                            Layout.preferredWidth: 10
                            category: modelData
                            selected: sheet.category === modelData
                            onClicked: sheet.categoryChosen(modelData)
                        }
                    }
                }
            }

            ColumnLayout {
                Layout.fillWidth: true
                spacing: Theme.spacingM
                Text {
                    text: "SYMBOL AUSWÄHLEN"
                    // It names the group of symbols below.
                    Accessible.ignored: true
                    color: Theme.secondaryText
                    font.family: Theme.monoFamily
                    font.pixelSize: Theme.fontCaption
                    font.weight: Theme.bold
                }
                // Centred in an item: a layout would place the row before its repeater
                // has made the buttons, at the left edge.
                Item {
                    Layout.fillWidth: true
                    implicitHeight: symbols.height
                    Row {
                        id: symbols
                        Accessible.role: Accessible.Grouping
                        Accessible.name: "Symbol auswählen"
                        anchors.horizontalCenter: parent.horizontalCenter
                        spacing: Theme.spacingM
                        Repeater {
                            model: sheet.icons
                            SymbolChoiceButton {
                                required property string modelData
                                symbol: modelData
                                selected: sheet.icon === modelData
                                onClicked: sheet.iconChosen(modelData)
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
            text: sheet.problem
            color: Theme.red
            font.pixelSize: Theme.fontCallout
            wrapMode: Text.WordWrap
            Accessible.role: Accessible.AlertMessage
            Accessible.name: text
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.topMargin: Theme.spacingXS
            spacing: Theme.spacingL
            SecondaryButton {
                objectName: "deleteWorkspaceButton"
                visible: sheet.deletable
                text: "Löschen"
                symbol: "trash"
                spacing: Theme.spacingXS
                foregroundColor: Theme.red
                borderColor: Theme.dangerOutline
                onClicked: sheet.deleteRequested()
            }
            Item { Layout.fillWidth: true }
            SecondaryButton {
                objectName: sheet.cancelButtonName
                text: "Abbrechen"
                foregroundColor: Theme.cyan
                borderColor: Theme.accentOutline
                onClicked: sheet.cancelled()
            }
            PrimaryButton {
                objectName: sheet.confirmButtonName
                text: sheet.confirmText
                startColor: Theme.gradientStart
                endColor: Theme.gradientEnd
                enabled: sheet.canConfirm
                onClicked: sheet.confirmed()
            }
        }
    }
}
