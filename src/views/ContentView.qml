// The root view of the main window: dark gradient, faint grid, the sidebar and
// the detail area chosen by the selection, scan lines over everything.
import QtQuick
import QtQuick.Controls.Basic
import Qt5Compat.GraphicalEffects
import Corvalint

Item {
    id: root

    // The selection is shared with the detail view, which may send it back
    // to the dashboard.
    readonly property NavigationController navigation: navigationController

    NavigationController {
        id: navigationController
        services: Services
    }

    Item {
        id: backgroundLayer
        anchors.fill: parent

        Rectangle {
            anchors.fill: parent
            gradient: Gradient {
                GradientStop { position: 0; color: Theme.windowTop }
                GradientStop { position: 1; color: Theme.windowBottom }
            }
        }
        CyberGridPattern {
            anchors.fill: parent
            opacity: 0.03
        }
    }

    // One blurred copy of the background for every glass panel to show
    // through; it is redrawn only when the window's size changes.
    FastBlur {
        id: backdropBlur
        anchors.fill: backgroundLayer
        source: backgroundLayer
        radius: 32
    }
    ShaderEffectSource {
        id: blurredBackdrop
        anchors.fill: parent
        sourceItem: backdropBlur
        hideSource: true
        visible: false
    }
    Component.onCompleted: Backdrop.texture = blurredBackdrop
    Component.onDestruction: {
        if (Backdrop.texture === blurredBackdrop)
            Backdrop.texture = null
    }

    SplitView {
        id: split
        anchors.fill: parent
        orientation: Qt.Horizontal

        handle: Rectangle {
            implicitWidth: 1
            color: Qt.rgba(1, 1, 1, 0.08)
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

    CyberScanlineOverlay {
        anchors.fill: parent
        opacity: 0.3
    }
}
