// The keyboard focus mark: a cyan rim just outside its parent while `shown`.
// Pointer clicks do not light it (controls pass their visualFocus), so it
// only appears for someone who moves with the keyboard.
import QtQuick
import Corvalint.Theme

Rectangle {
    objectName: "focusRing"

    property bool shown: false
    // The corner radius of what it surrounds.
    property real cornerRadius: Theme.radiusL

    anchors.fill: parent
    anchors.margins: -3
    radius: cornerRadius + 3
    color: "transparent"
    border.width: 2
    border.color: Theme.cyan
    visible: shown
}
