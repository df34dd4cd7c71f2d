// The detail header's monitor check: green when the screens match the workspace,
// orange with the reason when they do not.
import QtQuick
import Corvalint.Theme

Rectangle {
    id: badge

    property string message
    property bool isWarning: false

    readonly property color tint: isWarning ? Theme.orange : Theme.green

    // Heard when it appears and whenever the screens change it.
    Accessible.role: Accessible.AlertMessage
    Accessible.name: message

    implicitWidth: row.implicitWidth + 12
    implicitHeight: row.implicitHeight + 4
    radius: Theme.radiusS
    color: Theme.withAlpha(tint, 0.12)

    Row {
        id: row
        anchors.centerIn: parent
        spacing: Theme.spacingXS
        SymbolIcon {
            anchors.verticalCenter: parent.verticalCenter
            name: badge.isWarning ? "exclamationmark.triangle.fill" : "checkmark.circle.fill"
            size: 10
            color: badge.tint
        }
        Text {
            objectName: "monitorMessage"
            Accessible.ignored: true
            anchors.verticalCenter: parent.verticalCenter
            text: badge.message
            color: badge.tint
            font.family: Theme.systemFamily
            font.pixelSize: Theme.fontCaption
            font.weight: badge.isWarning ? Theme.bold : Font.Normal
        }
    }
}
