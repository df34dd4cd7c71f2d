// The filled gradient button for creating and saving: bold rounded white
// label, glow in the start colour, shrinks to 97 % while pressed.
import QtQuick
import QtQuick.Templates as T
import Corvalint.Theme

T.Button {
    id: button

    property color startColor: Theme.gradientStart
    property color endColor: Theme.gradientEnd
    // Optional symbol before the text, and its style.
    property string symbol
    property real symbolSize: 13

    implicitWidth: implicitContentWidth + leftPadding + rightPadding
    implicitHeight: implicitContentHeight + topPadding + bottomPadding
    focusPolicy: Qt.StrongFocus
    // Space presses a button by itself; Return does the same here.
    Keys.onReturnPressed: if (enabled) clicked()
    Keys.onEnterPressed: if (enabled) clicked()
    // Qt 6.4's template buttons answer a screen reader's press with nothing.
    Accessible.onPressAction: if (enabled) clicked()
    spacing: Theme.spacingM
    leftPadding: Theme.buttonPaddingH
    rightPadding: Theme.buttonPaddingH
    topPadding: Theme.buttonPaddingV
    bottomPadding: Theme.buttonPaddingV
    font.family: Theme.roundedFamily
    font.pixelSize: Theme.fontBody
    font.weight: Theme.bold
    opacity: enabled ? 1 : 0.5

    scale: pressed ? 0.97 : 1.0
    Behavior on scale { SpringBehaviorAnimation { response: 0.2; dampingFraction: 0.6 } }

    contentItem: Row {
        spacing: button.symbol.length > 0 ? button.spacing : 0
        SymbolIcon {
            anchors.verticalCenter: parent.verticalCenter
            visible: button.symbol.length > 0
            name: button.symbol
            size: button.symbolSize
            color: "white"
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            // The button carries its text as its name.
            Accessible.ignored: true
            text: button.text
            font: button.font
            color: "white"
            maximumLineCount: 1
        }
    }

    background: Item {
        RoundedGlow {
            anchors.fill: parent
            anchors.margins: -glowRadius
            glowRadius: 6
            cornerRadius: Theme.radiusL
            color: Theme.withAlpha(button.startColor, 0.55)
        }
        GradientShape {
            anchors.fill: parent
            opacity: button.pressed ? 0.8 : 1.0
            radius: Theme.radiusL
            colors: [button.startColor, button.endColor]
        }
        Rectangle {
            anchors.fill: parent
            radius: Theme.radiusL
            color: "transparent"
            border.width: 1
            border.color: Theme.buttonRim
        }
        FocusRing {
            cornerRadius: Theme.radiusL
            shown: button.visualFocus
        }
    }
}
