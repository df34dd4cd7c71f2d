// Where one saved window will be placed: a faint cyan box with a pulsing rim, a
// sweeping scan line, corner brackets, the entry's name and its saved geometry.
import QtQuick
import Corvalint.Theme

Item {
    id: box

    // One map of overlayBoxes: position relative to the screen, drawn size
    // (at least 160 × 90), texts of the two badges.
    required property var modelData

    // 0 → 1 and back: the rim between its dim and its bright phase.
    property real pulse

    objectName: "previewBox"
    x: modelData.x
    y: modelData.y
    width: modelData.width
    height: modelData.height

    SequentialAnimation on pulse {
        loops: Animation.Infinite
        NumberAnimation { from: 0; to: 1; duration: 1500; easing.type: Easing.InOutQuad }
        NumberAnimation { from: 1; to: 0; duration: 1500; easing.type: Easing.InOutQuad }
    }

    Rectangle {
        anchors.fill: parent
        color: Theme.previewBoxFill
    }

    CyberGridPattern {
        anchors.fill: parent
        opacity: 0.04
    }

    Item {
        anchors.fill: parent
        clip: true

        Rectangle {
            id: scanLine
            width: parent.width
            height: 15
            gradient: Gradient {
                GradientStop { position: 0; color: "transparent" }
                GradientStop { position: 0.5; color: Theme.previewScanLine }
                GradientStop { position: 1; color: "transparent" }
            }

            SequentialAnimation on y {
                loops: Animation.Infinite
                NumberAnimation { from: 0; to: box.height - 15; duration: 4000; easing.type: Easing.Linear }
                NumberAnimation { from: box.height - 15; to: 0; duration: 4000; easing.type: Easing.Linear }
            }
        }
    }

    Rectangle {
        id: rim
        anchors.fill: parent
        radius: Theme.radiusM
        color: "transparent"
        border.width: 1.5
        border.color: Theme.withAlpha(Theme.cyan, 0.45 + 0.3 * box.pulse)
    }

    // The rim's own glow, so that the inside of the box stays see-through.
    RoundedGlow {
        anchors.fill: rim
        anchors.margins: -glowRadius
        glowRadius: 4
        cornerRadius: rim.radius
        rimWidth: rim.border.width
        color: Theme.withAlpha(Theme.cyan, 0.1 + 0.25 * box.pulse)
    }

    SciFiCornerDecoration {
        anchors.fill: parent
    }

    Rectangle {
        id: nameBadge
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.margins: Theme.spacingM
        width: nameColumn.implicitWidth + 12
        height: nameColumn.implicitHeight + 12
        radius: Theme.radiusS
        color: Theme.overlayLabelFill

        Column {
            id: nameColumn
            x: 6
            y: 6
            spacing: 3

            Row {
                spacing: Theme.spacingS
                SymbolIcon {
                    anchors.verticalCenter: parent.verticalCenter
                    name: box.modelData.symbol
                    size: 9
                    color: Theme.cyan
                }
                Text {
                    objectName: "boxName"
                    anchors.verticalCenter: parent.verticalCenter
                    text: box.modelData.name
                    color: "white"
                    font.family: Theme.monoFamily
                    font.pixelSize: Theme.fontCaption
                    font.weight: Theme.black
                }
            }
            Text {
                visible: text.length > 0
                text: box.modelData.detail
                color: Theme.previewDetailText
                font.family: Theme.monoFamily
                font.pixelSize: Theme.fontMicro
                maximumLineCount: 1
            }
        }
    }

    Rectangle {
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: Theme.spacingM
        width: sizeColumn.implicitWidth + 12
        height: sizeColumn.implicitHeight + 12
        radius: Theme.radiusS
        color: Theme.overlayLabelFill

        Column {
            id: sizeColumn
            x: 6
            y: 6
            spacing: 1

            Text {
                objectName: "boxSize"
                anchors.right: parent.right
                text: box.modelData.sizeText
                color: Theme.cyan
                font.family: Theme.monoFamily
                font.pixelSize: Theme.fontLabel
                font.weight: Theme.bold
            }
            Text {
                objectName: "boxCoord"
                anchors.right: parent.right
                text: box.modelData.coordText
                color: Theme.secondaryText
                font.family: Theme.monoFamily
                font.pixelSize: Theme.fontMicro
            }
        }
    }
}
