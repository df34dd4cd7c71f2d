// The hotkey field: the key combination, or the recording prompt on blue.
import QtQuick
import QtQuick.Templates as T
import Corvalint.Theme

T.AbstractButton {
    id: field

    property bool recording: false
    property string hotkeyText
    // A key press while recording, as Qt reports it; the settings decide whether it makes a combination.
    signal keyRecorded(int key, int modifiers)

    implicitWidth: implicitContentWidth + leftPadding + rightPadding
    implicitHeight: implicitContentHeight + topPadding + bottomPadding
    leftPadding: Theme.spacingL
    rightPadding: Theme.spacingL
    topPadding: Theme.spacingS
    bottomPadding: Theme.spacingS
    text: recording ? "Tastenkombination drücken..." : hotkeyText
    font.family: Theme.monoFamily
    font.pixelSize: Theme.fontBody
    font.weight: Theme.bold
    Keys.onPressed: (event) => {
        if (!recording)
            return
        event.accepted = true
        keyRecorded(event.key, event.modifiers)
    }
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()
    // Qt 6.4's template buttons answer a screen reader's press with nothing.
    Accessible.onPressAction: clicked()

    // Named by what it sets; the combination (or the prompt) is what it holds.
    Accessible.name: "Globaler Hotkey"
    Accessible.description: text

    contentItem: Text {
        Accessible.ignored: true
        text: field.text
        font: field.font
        color: Theme.primaryText
        opacity: field.pressed ? 0.7 : 1.0
        verticalAlignment: Text.AlignVCenter
    }

    background: Rectangle {
        radius: Theme.radiusM
        color: field.recording ? Theme.blue : Theme.controlFill
        FocusRing {
            cornerRadius: Theme.radiusM
            shown: field.visualFocus
        }
    }
}
