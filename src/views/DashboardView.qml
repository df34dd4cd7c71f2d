// The start page: greeting, three statistics, the creation box, the
// favourites and all workspaces as cards.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Corvalint
import Corvalint.Theme

Item {
    id: dashboard
    objectName: "dashboard"

    // Reached by tests and the screenshot runner.
    readonly property alias creation: creationController
    readonly property alias page: page
    readonly property alias allGrid: allGrid
    readonly property alias favoritesGrid: favoritesGrid

    DashboardModel {
        id: statistics
        services: Services
    }
    CreationSheetController {
        id: creationController
        services: Services
    }
    WorkspaceGridModel {
        id: allWorkspaces
        services: Services
    }
    WorkspaceGridModel {
        id: favoriteWorkspaces
        services: Services
        favoritesOnly: true
    }

    Flickable {
        id: page
        anchors.fill: parent
        contentWidth: width
        contentHeight: column.implicitHeight + 48
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }

        ColumnLayout {
            id: column
            x: 24
            y: 24
            width: page.width - 48
            spacing: Theme.spacingPage

            // Header
            ColumnLayout {
                Layout.topMargin: 10
                spacing: Theme.spacingS
                GlowText {
                    text: "Willkommen bei Corvalint"
                    Accessible.role: Accessible.Heading
                    Accessible.name: text
                    color: Theme.cyan
                    font.family: Theme.monoFamily
                    font.pixelSize: Theme.fontDisplay
                    font.weight: Theme.black
                    glowColor: Theme.titleGlow
                    glowRadius: 6
                }
                Text {
                    text: "Bereite deinen Arbeitsplatz mit einem Klick vor."
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    color: Theme.secondaryText
                    font.family: Theme.monoFamily
                    font.pixelSize: Theme.fontFootnote
                    font.weight: Theme.bold
                }
            }

            // Statistics
            RowLayout {
                Layout.fillWidth: true
                spacing: Theme.spacingXL
                StatCard {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    title: "Workspaces"
                    value: String(statistics.workspaceCount)
                    icon: "square.grid.2x2.fill"
                    color: Theme.blue
                }
                StatCard {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    title: "Starts"
                    value: String(statistics.totalLaunches)
                    icon: "play.fill"
                    color: Theme.purple
                }
                StatCard {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    title: "Zeit gespart"
                    value: statistics.timeSavedText
                    icon: "timer"
                    color: Theme.green
                }
            }

            // Creation box
            Control {
                Layout.fillWidth: true
                padding: Theme.paddingPanel
                background: GlassBackground { cornerRadius: Theme.radiusCard }
                contentItem: ColumnLayout {
                    spacing: Theme.spacingXL
                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: Theme.spacingM
                        Text {
                            text: "Neuen Workspace erstellen"
                            Accessible.role: Accessible.Heading
                            Accessible.name: text
                            color: Theme.cyan
                            font.family: Theme.monoFamily
                            font.pixelSize: Theme.fontHeadline
                            font.weight: Theme.bold
                        }
                        Text {
                            Layout.fillWidth: true
                            text: "Corvalint analysiert alle derzeit geöffneten Apps, Dokumente und Fensterpositionen auf allen Monitoren und speichert sie als Workspace ab."
                            Accessible.role: Accessible.StaticText
                            Accessible.name: text
                            wrapMode: Text.WordWrap
                            color: Theme.bodyText
                            font.family: Theme.monoFamily
                            font.pixelSize: Theme.fontFootnote
                            font.weight: Theme.medium
                        }
                    }
                    PrimaryButton {
                        objectName: "openCreationSheet"
                        leftPadding: Theme.buttonPaddingH + 20
                        rightPadding: Theme.buttonPaddingH + 20
                        topPadding: Theme.buttonPaddingV + 12
                        bottomPadding: Theme.buttonPaddingV + 12
                        text: "Workspace aus aktuellen Apps erzeugen"
                        symbol: "camera.viewfinder"
                        symbolSize: 14
                        spacing: Theme.spacingM
                        startColor: Theme.gradientStart
                        endColor: Theme.gradientEnd
                        onClicked: creationController.open()
                    }
                }
            }

            // Favourites
            ColumnLayout {
                id: favoritesBlock
                Layout.fillWidth: true
                visible: favoriteWorkspaces.count > 0
                spacing: Theme.spacingL
                Text {
                    text: "Favoriten"
                    Accessible.role: Accessible.Heading
                    Accessible.name: text
                    color: "white"
                    font.family: Theme.roundedFamily
                    font.pixelSize: Theme.fontTitle
                    font.weight: Theme.bold
                }
                WorkspaceGrid {
                    id: favoritesGrid
                    Layout.fillWidth: true
                    Layout.preferredHeight: implicitHeight
                    model: favoriteWorkspaces
                    title: "Favoriten"
                    page: page
                    pageY: column.y + favoritesBlock.y + y
                }
            }

            // All workspaces
            ColumnLayout {
                id: allBlock
                Layout.fillWidth: true
                spacing: Theme.spacingL
                Text {
                    text: "Alle Workspaces"
                    Accessible.role: Accessible.Heading
                    Accessible.name: text
                    color: "white"
                    font.family: Theme.roundedFamily
                    font.pixelSize: Theme.fontTitle
                    font.weight: Theme.bold
                }
                Control {
                    objectName: "emptyState"
                    Layout.fillWidth: true
                    visible: allWorkspaces.count === 0
                    topPadding: 40
                    bottomPadding: 40
                    background: GlassBackground { cornerRadius: Theme.radiusCard }
                    contentItem: ColumnLayout {
                        spacing: Theme.spacingL
                        SymbolIcon {
                            Layout.alignment: Qt.AlignHCenter
                            name: "square.dashed"
                            size: 48
                            color: Theme.secondaryText
                        }
                        Text {
                            Layout.alignment: Qt.AlignHCenter
                            text: "Noch keine Workspaces vorhanden."
                            Accessible.role: Accessible.StaticText
                            Accessible.name: text
                            color: Theme.secondaryText
                            font.family: Theme.systemFamily
                            font.pixelSize: Theme.fontHeadline
                            font.weight: Theme.medium
                        }
                    }
                }
                WorkspaceGrid {
                    id: allGrid
                    Layout.fillWidth: true
                    Layout.preferredHeight: implicitHeight
                    visible: allWorkspaces.count > 0
                    model: allWorkspaces
                    title: "Alle Workspaces"
                    page: page
                    pageY: column.y + allBlock.y + y
                }
            }
        }
    }

    WorkspaceFormSheet {
        title: "Workspace erstellen"
        headerSymbol: "camera.viewfinder"
        visible: creationController.showing
        name: creationController.name
        category: creationController.category
        icon: creationController.icon
        categories: creationController.categories
        icons: creationController.icons
        namePlaceholder: "z.B. Lumenfern, Coding, Office"
        problem: creationController.captureProblem
        confirmText: "Erzeugen & Speichern"
        confirmButtonName: "createButton"
        canConfirm: creationController.canCreate
        confirmOnReturn: true
        onNameEdited: (name) => creationController.name = name
        onCategoryChosen: (category) => creationController.category = category
        onIconChosen: (icon) => creationController.icon = icon
        onConfirmed: creationController.create()
        onCancelled: creationController.cancel()
    }

    FocusFollower {
        flickable: page
        area: column
    }
}
