// The settings page. Placeholder until the settings view lands.
import QtQuick
import Corvalint

Item {
    Text {
        anchors.centerIn: parent
        text: "Einstellungen"
        color: Theme.primaryText
        font.family: Theme.monoFamily
        font.pixelSize: 24
        font.weight: Theme.black
    }
}
