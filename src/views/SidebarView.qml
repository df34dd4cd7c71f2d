// The sidebar: "Dashboard", the workspaces in one section per number of
// monitors they need, and "System" → "Einstellungen".
import QtQuick
import QtQuick.Controls.Basic
import Corvalint

Item {
    id: sidebar

    required property NavigationController navigation

    SidebarModel {
        id: sidebarModel
        services: Services
    }

    ListView {
        id: list
        anchors.fill: parent
        anchors.topMargin: 10
        anchors.bottomMargin: 10
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        model: sidebarModel
        ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }

        delegate: Item {
            id: row

            required property int kind
            required property string title
            required property string symbol
            required property var workspace

            readonly property bool isHeader: kind === SidebarModel.HeaderRow
            readonly property bool selected: {
                switch (kind) {
                case SidebarModel.DashboardRow:
                    return sidebar.navigation.selection === NavigationController.Dashboard
                case SidebarModel.SettingsRow:
                    return sidebar.navigation.selection === NavigationController.Settings
                case SidebarModel.WorkspaceRow:
                    return sidebar.navigation.selection === NavigationController.WorkspaceSelection
                           && sidebar.navigation.workspace === workspace
                default:
                    return false
                }
            }

            width: ListView.view.width
            height: isHeader ? 30 : 28

            // Section header: small, heavy, monospaced, in the header cyan.
            Text {
                visible: row.isHeader
                anchors.left: parent.left
                anchors.leftMargin: 18
                anchors.bottom: parent.bottom
                anchors.bottomMargin: 5
                text: row.title
                color: Theme.sectionHeader
                font.family: Theme.monoFamily
                font.pixelSize: 9
                font.weight: Theme.black
            }

            Rectangle {
                visible: !row.isHeader
                anchors.fill: parent
                anchors.leftMargin: 10
                anchors.rightMargin: 10
                radius: 6
                color: row.selected ? Qt.rgba(0.04, 0.52, 1.0, 0.75)
                                    : hover.hovered ? Qt.rgba(1, 1, 1, 0.06) : "transparent"

                Row {
                    anchors.left: parent.left
                    anchors.leftMargin: 8
                    anchors.right: parent.right
                    anchors.rightMargin: 8
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 8

                    SymbolIcon {
                        width: 20
                        anchors.verticalCenter: parent.verticalCenter
                        name: row.kind === SidebarModel.WorkspaceRow && row.workspace ? row.workspace.icon : row.symbol
                        size: 13
                        color: row.selected ? "white" : Theme.blue
                    }
                    Text {
                        width: parent.width - 28
                        anchors.verticalCenter: parent.verticalCenter
                        text: row.kind === SidebarModel.WorkspaceRow && row.workspace ? row.workspace.name : row.title
                        color: Theme.primaryText
                        font.family: Theme.systemFamily
                        font.pixelSize: 13
                        elide: Text.ElideRight
                        maximumLineCount: 1
                    }
                }

                HoverHandler { id: hover }
                TapHandler {
                    acceptedButtons: Qt.LeftButton
                    onTapped: {
                        switch (row.kind) {
                        case SidebarModel.DashboardRow: sidebar.navigation.showDashboard(); break
                        case SidebarModel.SettingsRow: sidebar.navigation.showSettings(); break
                        case SidebarModel.WorkspaceRow: sidebar.navigation.showWorkspace(row.workspace); break
                        }
                    }
                }
                TapHandler {
                    enabled: row.kind === SidebarModel.WorkspaceRow
                    acceptedButtons: Qt.RightButton
                    onTapped: contextMenu.popup()
                }

                DeleteContextMenu {
                    id: contextMenu
                    onDeleteRequested: sidebar.navigation.deleteWorkspace(row.workspace)
                }
            }
        }
    }
}
