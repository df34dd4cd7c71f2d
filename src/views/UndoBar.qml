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
    radius: 10
    color: Theme.undoBarBackground
    border.width: 1
    border.color: Theme.accentOutline

    Row {
        id: row
        anchors.centerIn: parent
        spacing: 16
        Text {
            objectName: "undoMessage"
            anchors.verticalCenter: parent.verticalCenter
            text: bar.undo.message
            textFormat: Text.PlainText
            color: Theme.primaryText
            font.family: Theme.systemFamily
            font.pixelSize: 13
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
            topPadding: 6
            bottomPadding: 6
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
