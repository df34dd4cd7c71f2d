// The dashboard tile of one workspace: symbol on its category gradient,
// favourite star, name, entry count, category chip and "STARTEN"; it grows
// and lights its rim under the pointer. With the keyboard focus, Return or
// Space starts it, Delete deletes it (undoably), the menu key opens its menu.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Corvalint
import Corvalint.Theme

// A plain item rather than a Control: Qt 6.4's controls overwrite the accessible role given here.
Item {
    id: card

    property var workspace: null
    readonly property bool isHovered: hover.hovered

    // The pointer chose this card (its grid moves the keyboard here).
    signal chosen()

    Accessible.role: Accessible.ListItem
    Accessible.name: workspace ? workspace.name + ", " + controller.entriesText : ""
    Accessible.description: workspace ? workspace.category : ""
    Accessible.focusable: true
    Accessible.onPressAction: controller.start()

    Keys.onReturnPressed: controller.start()
    Keys.onEnterPressed: controller.start()
    Keys.onSpacePressed: controller.start()
    Keys.onDeletePressed: controller.remove()
    Keys.onMenuPressed: contextMenu.popup(card, 16, card.height - 8)
    Keys.onPressed: (event) => {
        if (event.key === Qt.Key_F10 && (event.modifiers & Qt.ShiftModifier)) {
            contextMenu.popup(card, 16, card.height - 8)
            event.accepted = true
        }
    }

    implicitWidth: content.implicitWidth + 32
    implicitHeight: content.implicitHeight + 32
    scale: isHovered ? 1.02 : 1.0
    z: isHovered ? 1 : 0
    Behavior on scale { SpringBehaviorAnimation { response: 0.3; dampingFraction: 0.7 } }

    WorkspaceCardController {
        id: controller
        services: Services
        workspace: card.workspace
    }

    GlassBackground {
        anchors.fill: parent
        cornerRadius: Theme.radiusCard
    }

    ColumnLayout {
        id: content
        anchors.fill: parent
        anchors.margins: Theme.paddingCard
        spacing: Theme.spacingL

        RowLayout {
            Layout.fillWidth: true

            Item {
                Layout.preferredWidth: 32
                Layout.preferredHeight: 32
                GradientTile {
                    anchors.fill: parent
                    radius: Theme.radiusL
                    startColor: controller.gradientStart
                    endColor: controller.gradientEnd
                }
                Rectangle {
                    anchors.fill: parent
                    radius: Theme.radiusL
                    color: "transparent"
                    border.width: 1
                    border.color: Theme.tileRim
                }
                SymbolIcon {
                    anchors.centerIn: parent
                    name: card.workspace ? card.workspace.icon : ""
                    size: 15
                    color: "white"
                }
            }

            Item { Layout.fillWidth: true }

            SymbolIcon {
                id: star
                objectName: "favoriteButton"
                readonly property bool favorite: card.workspace ? card.workspace.isFavorite : false
                Layout.alignment: Qt.AlignVCenter
                name: favorite ? "star.fill" : "star"
                size: 13
                color: favorite ? Theme.yellow : (starHover.hovered ? Theme.primaryText : Theme.secondaryText)
                scale: starHover.hovered ? 1.15 : 1.0
                Behavior on scale { NumberAnimation { duration: 120 } }
                Accessible.ignored: false
                Accessible.role: Accessible.CheckBox
                Accessible.name: "Favorit"
                Accessible.description: ToolTip.text
                Accessible.checkable: true
                Accessible.checked: favorite
                Accessible.onPressAction: controller.toggleFavorite()
                Accessible.onToggleAction: controller.toggleFavorite()
                TapHandler { onTapped: controller.toggleFavorite() }
                HoverHandler {
                    id: starHover
                    cursorShape: Qt.PointingHandCursor
                }
                ToolTip.visible: starHover.hovered
                ToolTip.delay: 500
                ToolTip.text: favorite ? "Aus den Favoriten entfernen" : "Zu den Favoriten hinzufügen"
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: Theme.spacingXS

            GlowText {
                Layout.fillWidth: true
                text: card.workspace ? card.workspace.name : ""
                textFormat: Text.PlainText
                color: "white"
                font.family: Theme.monoFamily
                font.pixelSize: Theme.fontHeadline
                font.weight: Theme.black
                maximumLineCount: 1
                elide: Text.ElideRight
                glowColor: Theme.nameGlow
                glowRadius: 4
            }
            Text {
                text: controller.entriesText
                color: Theme.secondaryText
                font.family: Theme.monoFamily
                font.pixelSize: Theme.fontCaption
                font.weight: Theme.bold
            }
            // After a launch of this workspace that could not open everything:
            // how many entries failed, and which (on hover).
            Text {
                objectName: "launchProblem"
                Layout.fillWidth: true
                visible: text.length > 0
                text: controller.launchProblemText
                color: Theme.orange
                font.family: Theme.monoFamily
                font.pixelSize: Theme.fontFootnote
                font.weight: Theme.bold
                elide: Text.ElideRight
                Accessible.role: Accessible.StaticText
                Accessible.name: controller.launchProblemText + ": " + controller.launchProblemDetails
                HoverHandler { id: problemHover }
                ToolTip.visible: problemHover.hovered && text.length > 0
                ToolTip.text: controller.launchProblemDetails
            }
        }

        RowLayout {
            Layout.fillWidth: true

            Rectangle {
                implicitWidth: chipText.implicitWidth + 16
                implicitHeight: chipText.implicitHeight + 8
                radius: Theme.radiusS
                color: Theme.tagFill
                border.width: 0.8
                border.color: Theme.hairline
                Text {
                    id: chipText
                    anchors.centerIn: parent
                    text: card.workspace ? card.workspace.category : ""
                    textFormat: Text.PlainText
                    color: Theme.secondaryText
                    font.family: Theme.monoFamily
                    font.pixelSize: Theme.fontLabel
                    font.weight: Theme.black
                }
            }

            Item { Layout.fillWidth: true }

            Item {
                id: startButton
                objectName: "startButton"
                implicitWidth: startLabel.implicitWidth + 20
                implicitHeight: startLabel.implicitHeight + 12
                Accessible.role: Accessible.Button
                Accessible.name: "Starten"
                Accessible.description: card.workspace ? card.workspace.name : ""
                Accessible.onPressAction: controller.start()
                // Breathes while the launch runs.
                SequentialAnimation on opacity {
                    running: controller.launching
                    loops: Animation.Infinite
                    onRunningChanged: if (!running) startButton.opacity = 1
                    NumberAnimation { to: 0.55; duration: 600; easing.type: Easing.InOutSine }
                    NumberAnimation { to: 1.0; duration: 600; easing.type: Easing.InOutSine }
                }

                RoundedGlow {
                    anchors.fill: parent
                    anchors.margins: -glowRadius
                    glowRadius: 4
                    cornerRadius: Theme.radiusM
                    color: Theme.startGlow
                }
                GradientTile {
                    anchors.fill: parent
                    radius: Theme.radiusM
                    startColor: Theme.gradientStart
                    endColor: Theme.gradientEnd
                }
                Row {
                    id: startLabel
                    anchors.centerIn: parent
                    spacing: Theme.spacingXS
                    SymbolIcon {
                        anchors.verticalCenter: parent.verticalCenter
                        name: "play.fill"
                        size: 10
                        color: "white"
                    }
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        Accessible.ignored: true
                        text: controller.launching ? "STARTET …" : "STARTEN"
                        color: "white"
                        font.family: Theme.monoFamily
                        font.pixelSize: Theme.fontLabel
                        font.weight: Theme.black
                    }
                }
                TapHandler { onTapped: controller.start() }
            }
        }
    }

    // The rim lights up while the pointer is over the card.
    Rectangle {
        anchors.fill: parent
        radius: Theme.radiusCard
        color: "transparent"
        border.width: 1.5
        border.color: card.isHovered ? Theme.hoverRim : "transparent"
    }
    FocusRing {
        objectName: "cardFocusRing"
        cornerRadius: Theme.radiusCard
        shown: card.activeFocus
    }

    HoverHandler { id: hover }
    TapHandler {
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        onTapped: (eventPoint, button) => {
            card.chosen()
            if (button === Qt.RightButton)
                contextMenu.popup()
        }
    }
    WorkspaceContextMenu {
        id: contextMenu
        // The star is out of the keyboard's reach; its menu item is not.
        favoriteText: card.workspace && card.workspace.isFavorite ? "Aus den Favoriten entfernen" : "Zu den Favoriten hinzufügen"
        onFavoriteRequested: controller.toggleFavorite()
        onDeleteRequested: controller.remove()
    }
}
