// The glass panel behind dashboard blocks and cards: blurred window
// background, dark tint, faint grid, gradient rim, corner brackets, cyan glow.
import QtQuick
import Qt5Compat.GraphicalEffects
import Corvalint

Item {
    id: glass

    property real cornerRadius: 12

    RectangularGlow {
        anchors.fill: parent
        glowRadius: 8
        spread: 0
        cornerRadius: glass.cornerRadius + glowRadius
        color: Qt.rgba(0.0, 0.95, 1.0, 0.12)
    }

    Item {
        id: fill
        anchors.fill: parent
        layer.enabled: true
        layer.effect: OpacityMask {
            maskSource: Rectangle {
                width: fill.width
                height: fill.height
                radius: glass.cornerRadius
            }
        }

        BackdropBlur { anchors.fill: parent }
        Rectangle {
            anchors.fill: parent
            color: Theme.glassTint
        }
        CyberGridPattern {
            anchors.fill: parent
            opacity: 0.05
        }
    }

    LinearGradient {
        anchors.fill: parent
        start: Qt.point(0, 0)
        end: Qt.point(width, height)
        source: Rectangle {
            width: glass.width
            height: glass.height
            radius: glass.cornerRadius
            color: "transparent"
            border.width: 1.2
            border.color: "white"
        }
        gradient: Gradient {
            GradientStop { position: 0.0; color: Qt.rgba(0.0, 0.95, 1.0, 0.35) }
            GradientStop { position: 1 / 3; color: Qt.rgba(0.3, 0.1, 0.9, 0.15) }
            GradientStop { position: 2 / 3; color: Qt.rgba(0.0, 0.95, 1.0, 0.05) }
            GradientStop { position: 1.0; color: Qt.rgba(0.0, 0.95, 1.0, 0.4) }
        }
    }

    SciFiCornerDecoration { anchors.fill: parent }
}
