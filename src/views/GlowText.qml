// Text with the soft coloured glow (a shadow without offset) the theme puts
// behind titles, names and statistic values.
import QtQuick
import Qt5Compat.GraphicalEffects
import Corvalint

Text {
    id: label

    property color glowColor: "transparent"
    property real glowRadius: 0

    layer.enabled: glowRadius > 0 && glowColor.a > 0
    layer.effect: DropShadow {
        horizontalOffset: 0
        verticalOffset: 0
        radius: label.glowRadius
        samples: Math.ceil(label.glowRadius) * 2 + 1
        color: label.glowColor
        transparentBorder: true
    }
}
