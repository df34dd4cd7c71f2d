// One screen's preview overlay: a dimmed grid, the title badge, the close button,
// and a box wherever a saved window of the workspace lies on this screen.
import QtQuick
import Corvalint.Theme

Item {
    id: view

    // The boxes of this screen, placed relative to it (see overlayBoxes).
    required property var boxes
    // Without a compositor the window is cut to its boxes and buttons (the
    // rest would be black): then nothing dims the desktop.
    property bool composited: true

    signal closeRequested()

    Rectangle {
        anchors.fill: parent
        visible: view.composited
        color: Theme.overlayDim
    }

    CyberGridPattern {
        anchors.fill: parent
        visible: view.composited
        opacity: 0.03
    }

    Repeater {
        model: view.boxes
        WindowPreviewBox {}
    }

    Item {
        id: header
        z: 100
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        height: Math.max(titleBadge.height, closeButton.height) + 48

        Rectangle {
            id: titleBadge
            objectName: "titleBadge"
            anchors.left: parent.left
            anchors.leftMargin: Theme.paddingPage
            anchors.verticalCenter: parent.verticalCenter
            width: title.implicitWidth + 28
            height: title.implicitHeight + 12
            radius: Theme.radiusM
            color: Theme.overlayBadgeFill
            border.width: 1
            border.color: Theme.accentRim

            Text {
                id: title
                anchors.centerIn: parent
                text: "HUD RADAR OVERLAY (PRESSE 'ESC' ZUM SCHLIESSEN)"
                color: Theme.overlayTitle
                font.family: Theme.monoFamily
                font.pixelSize: Theme.fontCaption
                font.weight: Theme.black
            }
        }

        SecondaryButton {
            id: closeButton
            objectName: "closeButton"
            anchors.right: parent.right
            anchors.rightMargin: Theme.paddingPage
            anchors.verticalCenter: parent.verticalCenter
            text: "SCHLIESSEN"
            symbol: "xmark.circle"
            symbolSize: 10
            spacing: Theme.spacingS
            font.family: Theme.monoFamily
            font.pixelSize: Theme.fontCaption
            font.weight: Theme.bold
            foregroundColor: Theme.cyan
            borderColor: Theme.accentOutline
            focusPolicy: Qt.NoFocus
            onClicked: view.closeRequested()
        }
    }
}
