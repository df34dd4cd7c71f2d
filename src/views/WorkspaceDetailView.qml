// The detail area for one workspace. Placeholder until the detail view lands:
// it receives the workspace and the navigation whose selection it may change.
import QtQuick
import Corvalint

Item {
    id: detail

    required property var workspace
    required property NavigationController navigation

    Text {
        anchors.centerIn: parent
        text: detail.workspace ? detail.workspace.name : ""
        color: Theme.primaryText
        font.family: Theme.monoFamily
        font.pixelSize: 24
        font.weight: Theme.black
    }
}
