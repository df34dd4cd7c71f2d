// The context menu of a workspace (sidebar row or card): one destructive
// "Workspace löschen" item.
import QtQuick
import QtQuick.Controls.Basic
import Corvalint

Menu {
    id: menu

    signal deleteRequested()

    topPadding: 5
    bottomPadding: 5

    background: Rectangle {
        implicitWidth: 190
        radius: 6
        color: Qt.rgba(0.12, 0.13, 0.17, 0.98)
        border.width: 1
        border.color: Qt.rgba(1, 1, 1, 0.12)
    }

    MenuItem {
        id: item
        implicitHeight: 24
        leftPadding: 10
        onTriggered: menu.deleteRequested()
        contentItem: Row {
            spacing: 6
            SymbolIcon {
                anchors.verticalCenter: parent.verticalCenter
                name: "trash"
                size: 11
                color: item.highlighted ? "white" : Theme.red
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: "Workspace löschen"
                color: item.highlighted ? "white" : Theme.red
                font.family: Theme.systemFamily
                font.pixelSize: 13
            }
        }
        background: Rectangle {
            anchors.fill: parent
            anchors.leftMargin: 5
            anchors.rightMargin: 5
            radius: 4
            color: item.highlighted ? Theme.blue : "transparent"
        }
    }
}
