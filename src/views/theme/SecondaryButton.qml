// The outlined dark button for cancelling, closing and side actions.
import QtQuick
import QtQuick.Templates as T
import Corvalint.Theme

T.Button {
    id: button

    property color foregroundColor: Theme.cyan
    property color borderColor: Theme.accentOutline
    property string symbol
    property real symbolSize: 13

    implicitWidth: implicitContentWidth + leftPadding + rightPadding
    implicitHeight: implicitContentHeight + topPadding + bottomPadding
    focusPolicy: Qt.StrongFocus
    hoverEnabled: true
    // Space presses a button by itself; Return does the same here.
    Keys.onReturnPressed: if (enabled) clicked()
    Keys.onEnterPressed: if (enabled) clicked()
    // Qt 6.4's template buttons answer a screen reader's press with nothing.
    Accessible.onPressAction: if (enabled) clicked()
    spacing: Theme.spacingS
    leftPadding: Theme.secondaryButtonPaddingH
    rightPadding: Theme.secondaryButtonPaddingH
    topPadding: Theme.buttonPaddingV
    bottomPadding: Theme.buttonPaddingV
    font.family: Theme.roundedFamily
    font.pixelSize: Theme.fontBody
    font.weight: Theme.semibold

    scale: pressed ? 0.97 : 1.0
    Behavior on scale { SpringBehaviorAnimation { response: 0.2; dampingFraction: 0.6 } }

    contentItem: Row {
        spacing: button.symbol.length > 0 && button.text.length > 0 ? button.spacing : 0
        SymbolIcon {
            anchors.verticalCenter: parent.verticalCenter
            visible: button.symbol.length > 0
            name: button.symbol
            size: button.symbolSize
            color: button.foregroundColor
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            // The button carries its text as its name.
            Accessible.ignored: true
            visible: button.text.length > 0
            text: button.text
            font: button.font
            color: button.foregroundColor
            maximumLineCount: 1
        }
    }

    background: Item {
        RoundedGlow {
            anchors.fill: parent
            anchors.margins: -glowRadius
            glowRadius: 4
            cornerRadius: Theme.radiusL
            color: Theme.withAlpha(button.foregroundColor, 0.12)
        }
        Rectangle {
            anchors.fill: parent
            radius: Theme.radiusL
            // A tint of the foreground under the pointer: the button answers before it is pressed.
            color: button.hovered ? Theme.withAlpha(button.foregroundColor, 0.14) : Theme.secondaryButtonFill
            border.width: 1.2
            border.color: button.borderColor
        }
        FocusRing {
            cornerRadius: Theme.radiusL
            shown: button.visualFocus
        }
    }
}
