// The context menu of a workspace (sidebar row or card): one destructive
// "Workspace löschen" item, after the favourite toggle where the menu is
// given its text (the card's, whose star the keyboard cannot reach).
import QtQuick
import QtQuick.Controls.Basic
import Corvalint.Theme

Menu {
    id: menu

    // Empty: no favourite item.
    property string favoriteText

    signal deleteRequested()
    signal favoriteRequested()

    topPadding: 5
    bottomPadding: 5

    background: Rectangle {
        implicitWidth: 190
        radius: Theme.radiusM
        color: Theme.menuBackground
        border.width: 1
        border.color: Theme.panelBorder
    }

    component Line: MenuItem {
        id: item

        property string symbol
        property color tint: Theme.primaryText

        implicitHeight: 24
        leftPadding: 10
        contentItem: Row {
            spacing: Theme.spacingS
            SymbolIcon {
                anchors.verticalCenter: parent.verticalCenter
                name: item.symbol
                size: 11
                color: item.highlighted ? "white" : item.tint
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: item.text
                color: item.highlighted ? "white" : item.tint
                font.family: Theme.systemFamily
                font.pixelSize: Theme.fontBody
            }
        }
        background: Rectangle {
            anchors.fill: parent
            anchors.leftMargin: 5
            anchors.rightMargin: 5
            radius: Theme.radiusS
            color: item.highlighted ? Theme.blue : "transparent"
        }
    }

    Line {
        objectName: "favoriteMenuItem"
        visible: menu.favoriteText !== ""
        height: visible ? implicitHeight : 0
        text: menu.favoriteText
        symbol: "star"
        onTriggered: menu.favoriteRequested()
    }
    Line {
        objectName: "deleteMenuItem"
        text: "Workspace löschen"
        symbol: "trash"
        tint: Theme.red
        onTriggered: menu.deleteRequested()
    }
}
