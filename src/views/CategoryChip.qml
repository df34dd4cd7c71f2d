// One category choice of the workspace sheet: symbol and text, blue when chosen.
import QtQuick
import QtQuick.Templates as T
import Corvalint
import Corvalint.Theme

// A radio button to a screen reader; the sheet's controller, not the button, decides which is chosen.
T.RadioButton {
    id: chip

    property string category
    property bool selected: false

    implicitHeight: label.implicitHeight + 16
    focusPolicy: Qt.StrongFocus
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()
    // Qt 6.4's template buttons answer a screen reader's press with nothing.
    Accessible.onPressAction: clicked()

    checkable: false
    // Grouped by the controller; left exclusive, a radio button would unbind its siblings' checked.
    autoExclusive: false
    checked: selected
    Accessible.name: category

    background: Rectangle {
        radius: Theme.radiusM
        color: chip.selected ? Theme.choiceSelected : Theme.chipFill
        border.width: 1
        border.color: chip.selected ? Theme.cyan : Theme.hairline
        FocusRing {
            cornerRadius: Theme.radiusM
            shown: chip.visualFocus
        }
    }

    // Declared beside the chip rather than inside contentItem: the chip takes its height from the label.
    contentItem: labelArea

    Item {
        id: labelArea
        Row {
            id: label
            anchors.centerIn: parent
            spacing: Theme.spacingM
            SymbolIcon {
                anchors.verticalCenter: parent.verticalCenter
                name: Categories.chipSymbol(chip.category)
                size: 11
                color: chip.selected ? "white" : Theme.secondaryText
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                Accessible.ignored: true
                text: chip.category
                color: chip.selected ? "white" : Theme.choiceText
                font.family: Theme.monoFamily
                font.pixelSize: Theme.fontFootnote
                font.weight: Theme.medium
            }
        }
    }
}
