// The quick launcher: a search field over the matching workspaces; arrows choose, Return launches, Escape closes.
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import QtQuick.Window
import Corvalint
import Corvalint.Theme

Window {
    id: launcher
    objectName: "launcherWindow"
    title: "Corvalint Launcher"
    width: 560
    height: 420
    color: "transparent"
    flags: Qt.Dialog | Qt.FramelessWindowHint | Qt.WindowStaysOnTopHint

    // Reached by the host that opens it and by tests.
    property alias controller: controller
    property alias searchField: searchField

    LauncherController {
        id: controller
        services: Services
        onCloseRequested: launcher.close()
    }

    // Every time it opens: a fresh search with the keyboard in the field.
    onVisibleChanged: if (visible) { controller.reset(); searchField.forceActiveFocus() }
    onActiveChanged: if (!active && visible) launcher.close()

    Rectangle {
        anchors.fill: parent
        radius: Theme.radiusWindow
        color: Theme.launcherBackground
        border.width: 1
        border.color: Theme.accentRim
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: Theme.paddingCard
        spacing: Theme.spacingL

        ThemedTextField {
            id: searchField
            objectName: "launcherSearch"
            Layout.fillWidth: true
            Accessible.name: "Workspace suchen"
            placeholderText: "Workspace suchen …"
            text: controller.query
            onTextEdited: controller.query = text
            Keys.onUpPressed: controller.moveSelection(-1)
            Keys.onDownPressed: controller.moveSelection(1)
            Keys.onReturnPressed: controller.launchCurrent()
            Keys.onEnterPressed: controller.launchCurrent()
            Keys.onEscapePressed: launcher.close()
        }

        ListView {
            id: list
            objectName: "launcherList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            spacing: Theme.spacingXS
            model: controller.results
            currentIndex: controller.currentIndex
            Accessible.role: Accessible.List
            Accessible.name: "Workspaces"

            delegate: Rectangle {
                id: row
                required property var modelData
                required property int index
                width: ListView.view.width
                height: 44
                radius: Theme.radiusL
                color: row.index === controller.currentIndex ? Theme.launcherCurrentRow : "transparent"
                Accessible.role: Accessible.ListItem
                Accessible.name: row.modelData.name

                RowLayout {
                    anchors.fill: parent
                    anchors.leftMargin: Theme.spacingL
                    anchors.rightMargin: Theme.spacingL
                    spacing: 10
                    SymbolIcon {
                        name: row.modelData.icon
                        size: 18
                        color: Theme.cyan
                    }
                    Text {
                        Layout.fillWidth: true
                        text: row.modelData.name
                        color: "white"
                        elide: Text.ElideRight
                        font.family: Theme.systemFamily
                        font.pixelSize: Theme.fontHeadline
                        font.weight: Theme.medium
                    }
                    Text {
                        text: row.modelData.category
                        color: Theme.secondaryText
                        font.family: Theme.systemFamily
                        font.pixelSize: Theme.fontCallout
                    }
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: { controller.currentIndex = row.index; controller.launchCurrent() }
                }
            }
        }

        Text {
            Layout.fillWidth: true
            visible: controller.results.length === 0
            text: "Kein Workspace passt zu „" + controller.query + "“."
            color: Theme.secondaryText
            font.family: Theme.systemFamily
            font.pixelSize: Theme.fontCallout
        }
    }
}
