// The glass panel behind dashboard blocks and cards: blurred window
// background, dark tint, faint grid, gradient rim, corner brackets, cyan glow.
import QtQuick
import Corvalint

Item {
    id: glass

    property real cornerRadius: 12

    RoundedGlow {
        anchors.fill: parent
        anchors.margins: -glowRadius
        glowRadius: 8
        cornerRadius: glass.cornerRadius
        color: Qt.rgba(0.0, 0.95, 1.0, 0.12)
    }

    GlassPanel {
        anchors.fill: parent
        cornerRadius: glass.cornerRadius
        tint: Theme.glassTint
        // The grid's half-strength white line at 5 %.
        gridColor: Qt.rgba(1, 1, 1, 0.5 * 0.05)
        rimWidth: 1.2
        rimColors: [Qt.rgba(0.0, 0.95, 1.0, 0.35), Qt.rgba(0.3, 0.1, 0.9, 0.15),
                    Qt.rgba(0.0, 0.95, 1.0, 0.05), Qt.rgba(0.0, 0.95, 1.0, 0.4)]
        bracketColor: Theme.cyan
    }
}
