// The bar that offers "Rückgängig" for a few seconds after a delete; Ctrl+Z
// does the same while it shows.
import QtQuick
import Corvalint
import Corvalint.Theme

Rectangle {
    id: bar
    objectName: "undoBar"

    readonly property DeleteUndo undo: Services.undo

    visible: undo.available
    implicitWidth: row.implicitWidth + 32
    implicitHeight: row.implicitHeight + 20
    radius: Theme.radiusSheet
    color: Theme.undoBarBackground
    border.width: 1
    border.color: Theme.accentOutline

    Row {
        id: row
        anchors.centerIn: parent
        spacing: Theme.spacingXL
        Text {
            objectName: "undoMessage"
            anchors.verticalCenter: parent.verticalCenter
            text: bar.undo.message
            textFormat: Text.PlainText
            color: Theme.primaryText
            font.family: Theme.systemFamily
            font.pixelSize: Theme.fontBody
            // Announced as it appears, with the way back.
            Accessible.role: Accessible.AlertMessage
            Accessible.name: text
            Accessible.description: "Rückgängig mit Strg+Z"
        }
        SecondaryButton {
            objectName: "undoButton"
            anchors.verticalCenter: parent.verticalCenter
            text: "Rückgängig"
            symbol: "arrow.uturn.backward"
            topPadding: Theme.spacingS
            bottomPadding: Theme.spacingS
            onClicked: bar.undo.undo()
        }
    }

    Shortcut {
        // The desktop's own undo keys. Qt 6.4's qmllint cannot look up QtQuick's StandardKey.
        sequences: [StandardKey.Undo] // qmllint disable unqualified
        enabled: bar.undo.available
        onActivated: bar.undo.undo()
    }
}
