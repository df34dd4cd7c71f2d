// Text with the soft coloured glow (a shadow without offset) the theme puts
// behind titles, names and statistic values.
import QtQuick
import Corvalint.Theme

Text {
    id: label

    property color glowColor: "transparent"
    property real glowRadius: 0

    TextGlow {
        z: -1 // under the text
        visible: label.glowRadius > 0 && label.glowColor.a > 0
        anchors.fill: parent
        anchors.margins: -padding
        padding: Math.ceil(label.glowRadius * 2)
        text: label.text
        font: label.font
        color: label.glowColor
        glowRadius: label.glowRadius
        horizontalAlignment: label.horizontalAlignment
        elide: label.elide !== Text.ElideNone
    }
}
