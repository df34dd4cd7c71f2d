// A checkbox of the settings page whose label is a title over a smaller description.
import QtQuick
import QtQuick.Templates as T
import Corvalint.Theme

T.CheckBox {
    id: box

    property string description

    implicitWidth: leftPadding + implicitIndicatorWidth + spacing + implicitContentWidth + rightPadding
    implicitHeight: Math.max(implicitIndicatorHeight, implicitContentHeight) + topPadding + bottomPadding
    padding: 0
    spacing: Theme.spacingM
    Keys.onReturnPressed: { toggle(); toggled() }
    Keys.onEnterPressed: { toggle(); toggled() }
    // Qt 6.4's template boxes answer a screen reader's toggle with nothing.
    Accessible.onToggleAction: { toggle(); toggled() }
    Accessible.onPressAction: { toggle(); toggled() }

    // The title is the box's name (its text); the smaller line describes it.
    Accessible.description: description

    indicator: Rectangle {
        // Level with the title's first line, as a checkbox beside a two-line label sits.
        x: box.leftPadding
        y: box.topPadding + (title.height - height) / 2
        implicitWidth: 14
        implicitHeight: 14
        radius: Theme.radiusXS
        color: box.checked ? Theme.blue : (box.pressed ? Theme.controlFillPressed : Theme.controlFill)
        border.width: box.checked ? 0 : 1
        border.color: Theme.checkBorder

        Text {
            anchors.centerIn: parent
            visible: box.checked
            text: "\u2713"
            color: "white"
            font.family: Theme.systemFamily
            font.pixelSize: Theme.fontFootnote
            font.weight: Theme.bold
            Accessible.ignored: true
        }
        FocusRing {
            cornerRadius: Theme.radiusXS
            shown: box.visualFocus
        }
    }

    // Declared beside the box rather than inside contentItem, so that the indicator can follow the title.
    contentItem: label

    Column {
        id: label
        leftPadding: box.indicator.width + box.spacing
        spacing: Theme.spacingXS
        Text {
            id: title
            Accessible.ignored: true
            text: box.text
            color: Theme.primaryText
            font.family: Theme.systemFamily
            font.pixelSize: Theme.fontBody
            font.weight: Theme.medium
        }
        Text {
            Accessible.ignored: true
            text: box.description
            color: Theme.secondaryText
            font.family: Theme.systemFamily
            font.pixelSize: Theme.fontFootnote
        }
    }
}
