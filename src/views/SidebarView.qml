// The sidebar: "Dashboard", the workspaces in one section per number of
// monitors they need, and "System" → "Einstellungen". One Tab stop: the arrows
// move between the rows (over the section headers), Return or Space opens the
// row, Delete deletes a workspace (undoably), the menu key opens its menu.
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import Corvalint
import Corvalint.Theme

Item {
    id: sidebar

    required property NavigationController navigation

    SidebarModel {
        id: sidebarModel
        services: Services
    }

    // The row a kind of selection lives in, to put the keyboard where the pointer chose.
    function rowOfSelection() {
        for (let i = 0; i < list.count; ++i) {
            const item = list.itemAtIndex(i)
            if (item && item.selected)
                return i
        }
        return -1
    }

    // The next row from `from` in `step` direction that is not a section header, or `from`.
    function nextRow(from, step) {
        for (let i = from + step; i >= 0 && i < list.count; i += step) {
            if (sidebarModel.kindAt(i) !== SidebarModel.HeaderRow)
                return i
        }
        return from
    }

    ListView {
        id: list
        objectName: "sidebarList"
        anchors.fill: parent
        anchors.topMargin: 10
        anchors.bottomMargin: 10
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        model: sidebarModel
        ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }
        activeFocusOnTab: true
        // The arrows are handled below, so that they step over the headers.
        keyNavigationEnabled: false
        highlightFollowsCurrentItem: false
        currentIndex: 0

        Accessible.role: Accessible.List
        Accessible.name: "Navigation"

        onActiveFocusChanged: {
            if (activeFocus && sidebarModel.kindAt(currentIndex) === SidebarModel.HeaderRow)
                currentIndex = sidebar.nextRow(currentIndex, 1)
        }
        Keys.onUpPressed: {
            currentIndex = sidebar.nextRow(currentIndex, -1)
            positionViewAtIndex(currentIndex, ListView.Contain)
        }
        Keys.onDownPressed: {
            currentIndex = sidebar.nextRow(currentIndex, 1)
            positionViewAtIndex(currentIndex, ListView.Contain)
        }
        Keys.onPressed: (event) => {
            if (event.key === Qt.Key_Home || event.key === Qt.Key_End) {
                currentIndex = event.key === Qt.Key_Home ? sidebar.nextRow(-1, 1) : sidebar.nextRow(count, -1)
                positionViewAtIndex(currentIndex, ListView.Contain)
                event.accepted = true
            }
        }

        // A choice made elsewhere (a card, the dashboard after a delete) moves the keyboard's row too,
        // once the rows have taken in the new selection.
        Timer {
            id: followSelection
            interval: 0
            onTriggered: {
                const row = sidebar.rowOfSelection()
                if (row >= 0)
                    list.currentIndex = row
            }
        }
        Connections {
            target: sidebar.navigation
            function onSelectionChanged() { followSelection.restart() }
        }

        delegate: Item {
            id: row

            required property int index
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

            readonly property string label: kind === SidebarModel.WorkspaceRow && workspace ? workspace.name : title

            // Runs what a left click on the row does.
            function activate() {
                switch (row.kind) {
                case SidebarModel.DashboardRow: sidebar.navigation.showDashboard(); break
                case SidebarModel.SettingsRow: sidebar.navigation.showSettings(); break
                case SidebarModel.WorkspaceRow: sidebar.navigation.showWorkspace(row.workspace); break
                }
            }

            width: ListView.view.width
            height: isHeader ? 30 : 28
            // The list hands its keyboard focus on to the row the arrows are at.
            focus: ListView.isCurrentItem

            Accessible.role: isHeader ? Accessible.Heading : Accessible.ListItem
            Accessible.name: kind === SidebarModel.WorkspaceRow && workspace
                             ? workspace.name + ", " + workspace.entryCount + " Apps & Elemente"
                             : title
            Accessible.focusable: !isHeader
            Accessible.selectable: !isHeader
            Accessible.selected: selected
            Accessible.onPressAction: activate()

            Keys.onReturnPressed: activate()
            Keys.onEnterPressed: activate()
            Keys.onSpacePressed: activate()
            Keys.onDeletePressed: {
                if (row.kind === SidebarModel.WorkspaceRow)
                    sidebar.navigation.deleteWorkspace(row.workspace)
            }
            Keys.onMenuPressed: {
                if (row.kind === SidebarModel.WorkspaceRow)
                    contextMenu.popup(row, 10, row.height)
            }
            Keys.onPressed: (event) => {
                if (event.key === Qt.Key_F10 && (event.modifiers & Qt.ShiftModifier) && row.kind === SidebarModel.WorkspaceRow) {
                    contextMenu.popup(row, 10, row.height)
                    event.accepted = true
                }
            }

            // Section header: small, heavy, monospaced, in the header cyan.
            Text {
                visible: row.isHeader
                Accessible.ignored: true
                anchors.left: parent.left
                anchors.leftMargin: 18
                anchors.bottom: parent.bottom
                anchors.bottomMargin: 5
                text: row.title
                color: Theme.sectionHeader
                font.family: Theme.monoFamily
                font.pixelSize: Theme.fontLabel
                font.weight: Theme.black
            }

            Rectangle {
                visible: !row.isHeader
                anchors.fill: parent
                anchors.leftMargin: 10
                anchors.rightMargin: 10
                radius: Theme.radiusM
                // The row whose menu is open stays marked, so that it is clear which one a delete takes.
                color: row.selected ? Theme.sidebarSelection
                                    : contextMenu.visible ? Theme.menuTargetFill
                                    : hover.hovered ? Theme.rowHover : "transparent"
                border.width: contextMenu.visible ? 1 : 0
                border.color: Theme.menuTargetBorder

                FocusRing {
                    objectName: "sidebarFocusRing"
                    anchors.margins: -2
                    cornerRadius: Theme.radiusM
                    shown: row.activeFocus
                }

                Row {
                    anchors.left: parent.left
                    anchors.leftMargin: Theme.spacingM
                    anchors.right: parent.right
                    anchors.rightMargin: Theme.spacingM
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: Theme.spacingM

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
                        Accessible.ignored: true
                        text: row.label
                        color: Theme.primaryText
                        font.family: Theme.systemFamily
                        font.pixelSize: Theme.fontBody
                        elide: Text.ElideRight
                        maximumLineCount: 1
                    }
                }

                HoverHandler { id: hover }
                TapHandler {
                    acceptedButtons: Qt.LeftButton
                    onTapped: {
                        list.currentIndex = row.index
                        row.activate()
                    }
                }
                TapHandler {
                    enabled: row.kind === SidebarModel.WorkspaceRow
                    acceptedButtons: Qt.RightButton
                    onTapped: contextMenu.popup()
                }

                WorkspaceContextMenu {
                    id: contextMenu
                    onDeleteRequested: sidebar.navigation.deleteWorkspace(row.workspace)
                }
            }
        }
    }
}
