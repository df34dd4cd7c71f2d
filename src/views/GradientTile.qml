// A rounded rectangle filled with a two-colour gradient from the top-leading
// to the bottom-trailing corner (icon tiles, the start button).
import QtQuick
import Qt5Compat.GraphicalEffects

Item {
    id: tile

    property color startColor
    property color endColor
    property real radius: 8

    LinearGradient {
        anchors.fill: parent
        start: Qt.point(0, 0)
        end: Qt.point(width, height)
        source: Rectangle {
            width: tile.width
            height: tile.height
            radius: tile.radius
        }
        gradient: Gradient {
            GradientStop { position: 0; color: tile.startColor }
            GradientStop { position: 1; color: tile.endColor }
        }
    }
}
