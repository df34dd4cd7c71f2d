// The root view of the main window: dark gradient, faint grid, the sidebar and
// the detail area chosen by the selection, scan lines over everything.
import QtQuick
import QtQuick.Controls.Basic
import Corvalint
import Corvalint.Theme

Item {
    id: root

    // The selection is shared with the detail view, which may send it back
    // to the dashboard.
    readonly property NavigationController navigation: navigationController

    NavigationController {
        id: navigationController
        services: Services
    }

    // The dark gradient with its faint grid.
    Rectangle {
        anchors.fill: parent
        gradient: Gradient {
            GradientStop { position: 0; color: Theme.windowTop }
            GradientStop { position: 1; color: Theme.windowBottom }
        }
    }
    CyberGridPattern {
        id: grid
        anchors.fill: parent
        opacity: 0.03
    }
    // What the glass panels show through: the same background, blurred.
    WindowBackdrop {
        anchors.fill: parent
        topColor: Theme.windowTop
        bottomColor: Theme.windowBottom
        gridColor: Theme.withAlpha(Theme.gridInk, grid.lineWidth * grid.opacity)
        blurRadius: 32
    }

    // Not fatal, but never silent: the store cannot keep changes, or could
    // not read some entries. It pushes the pages down rather than covering them.
    Rectangle {
        id: storeBanner
        objectName: "storeProblemBanner"
        anchors { top: parent.top; left: parent.left; right: parent.right }
        // The store's trouble first (changes are being lost), else what the desktop
        // needs before windows can be arranged (GNOME: the shell extension).
        readonly property string message: Services.storeProblem !== "" ? Services.storeProblem : Services.desktopProblem
        visible: message !== ""
        height: visible ? bannerRow.implicitHeight + 12 : 0
        // Read out as it appears.
        Accessible.role: Accessible.AlertMessage
        Accessible.name: message
        color: Theme.bannerFill

        Row {
            id: bannerRow
            anchors { left: parent.left; right: parent.right; verticalCenter: parent.verticalCenter; leftMargin: Theme.spacingL; rightMargin: Theme.spacingL }
            spacing: Theme.spacingM
            SymbolIcon {
                anchors.verticalCenter: parent.verticalCenter
                name: "exclamationmark.triangle.fill"
                size: 12
                color: Theme.orange
            }
            Text {
                objectName: "storeProblemText"
                // The banner itself carries the sentence.
                Accessible.ignored: true
                width: bannerRow.width - 20
                anchors.verticalCenter: parent.verticalCenter
                text: storeBanner.message
                color: Theme.primaryText
                wrapMode: Text.Wrap
                font.family: Theme.systemFamily
                font.pixelSize: Theme.fontCallout
                font.weight: Theme.medium
            }
        }
        Rectangle {
            anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
            height: 1
            color: Theme.bannerRule
        }
    }

    SplitView {
        id: split
        anchors { top: storeBanner.bottom; left: parent.left; right: parent.right; bottom: parent.bottom }
        orientation: Qt.Horizontal

        handle: Rectangle {
            implicitWidth: 1
            color: Theme.splitHandle
        }

        SidebarView {
            SplitView.minimumWidth: 200
            SplitView.preferredWidth: 220
            SplitView.maximumWidth: 300
            navigation: navigationController
        }

        Loader {
            id: detail
            SplitView.fillWidth: true

            // The settings page and the detail view are compiled only when
            // first shown, which keeps them out of the cold start.
            function show() {
                switch (navigationController.selection) {
                case NavigationController.Settings:
                    setSource(Qt.resolvedUrl("SettingsView.qml"))
                    break
                case NavigationController.WorkspaceSelection:
                    setSource(Qt.resolvedUrl("WorkspaceDetailView.qml"),
                              { workspace: navigationController.workspace, navigation: navigationController })
                    break
                default:
                    sourceComponent = dashboardPage
                }
            }

            Component.onCompleted: show()
            Connections {
                target: navigationController
                function onSelectionChanged() { detail.show() }
            }
        }
    }

    Component {
        id: dashboardPage
        DashboardView {}
    }

    // A launch started anywhere (a card, the detail view, the tray) is heard
    // while it runs and when it ends; the pages show it their own way.
    Item {
        objectName: "launchAnnouncement"
        width: 1
        height: 1
        LaunchAnnouncement {
            id: launchAnnouncement
            services: Services
        }
        Accessible.role: Accessible.AlertMessage
        Accessible.name: launchAnnouncement.text
    }

    CyberScanlineOverlay {
        anchors.fill: parent
        opacity: 0.3
    }

    UndoBar {
        anchors.horizontalCenter: split.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 20
    }
}
