// One symbol choice of the workspace sheet: a 32-point circle, blue when chosen.
import QtQuick
import QtQuick.Templates as T
import Corvalint.Theme

// A radio button to a screen reader; the sheet's controller, not the button, decides which is chosen.
T.RadioButton {
    id: choice

    property string symbol
    property bool selected: false

    implicitWidth: 32
    implicitHeight: 32
    focusPolicy: Qt.StrongFocus
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()
    // Qt 6.4's template buttons answer a screen reader's press with nothing.
    Accessible.onPressAction: clicked()

    checkable: false
    // Grouped by the controller; left exclusive, a radio button would unbind its siblings' checked.
    autoExclusive: false
    checked: selected
    Accessible.name: Symbols.spokenName(symbol)

    background: Rectangle {
        radius: width / 2
        color: choice.selected ? Theme.choiceSelected : Theme.symbolChoiceFill
        border.width: 1
        border.color: choice.selected ? Theme.cyan : Theme.hairline
        FocusRing {
            cornerRadius: width / 2 - 3
            shown: choice.visualFocus
        }
    }

    contentItem: SymbolIcon {
        name: choice.symbol
        size: 14
        color: "white"
    }
}
