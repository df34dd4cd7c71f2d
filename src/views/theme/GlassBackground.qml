// The glass panel behind dashboard blocks and cards: blurred window
// background, dark tint, faint grid, gradient rim, corner brackets, cyan glow.
import QtQuick
import Corvalint.Theme

Item {
    id: glass

    property real cornerRadius: Theme.radiusCard

    RoundedGlow {
        anchors.fill: parent
        anchors.margins: -glowRadius
        glowRadius: 8
        cornerRadius: glass.cornerRadius
        color: Theme.glassGlow
    }

    GlassPanel {
        anchors.fill: parent
        cornerRadius: glass.cornerRadius
        tint: Theme.glassTint
        gridColor: Theme.glassGrid
        rimWidth: 1.2
        rimColors: Theme.glassRim
        bracketColor: Theme.cyan
    }
}
