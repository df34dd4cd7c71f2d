// The themed text field: monospaced white text on dark glass, a grey rim that
// turns cyan with a glow while the field has focus.
import QtQuick
import QtQuick.Templates as T
import Corvalint.Theme

T.TextField {
    id: field

    readonly property bool isFocused: activeFocus

    implicitWidth: Math.max(implicitBackgroundWidth + leftInset + rightInset,
                            contentWidth + leftPadding + rightPadding,
                            placeholder.implicitWidth + leftPadding + rightPadding)
    implicitHeight: Math.max(implicitBackgroundHeight + topInset + bottomInset,
                             contentHeight + topPadding + bottomPadding)
    leftPadding: Theme.spacingL
    rightPadding: Theme.spacingL
    topPadding: Theme.spacingM
    bottomPadding: Theme.spacingM
    font.family: Theme.monoFamily
    font.pixelSize: Theme.fontBody
    font.weight: Theme.medium
    color: "white"
    selectionColor: Theme.textSelection
    selectedTextColor: "white"
    placeholderTextColor: Theme.placeholderText
    verticalAlignment: TextInput.AlignVCenter

    Text {
        id: placeholder
        x: field.leftPadding
        y: field.topPadding
        width: field.width - field.leftPadding - field.rightPadding
        height: field.height - field.topPadding - field.bottomPadding
        text: field.placeholderText
        font: field.font
        color: field.placeholderTextColor
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        visible: !field.length && !field.preeditText
    }

    background: Item {
        implicitHeight: 34
        RoundedGlow {
            anchors.fill: parent
            anchors.margins: -glowRadius
            visible: field.isFocused
            glowRadius: 4
            cornerRadius: Theme.radiusM
            color: Theme.fieldFocusGlow
        }
        Rectangle {
            anchors.fill: parent
            radius: Theme.radiusM
            color: Theme.fieldFill
            border.width: 1.2
            border.color: field.isFocused ? Theme.cyan : Theme.fieldBorder
        }
    }
}
