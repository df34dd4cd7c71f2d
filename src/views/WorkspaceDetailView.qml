// The detail area for one workspace: header with the monitor check and the actions,
// the launch options, and the list of entries; the edit sheet on top.
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import QtQuick.Templates as T
import Corvalint
import Corvalint.Theme

Item {
    id: detail

    required property var workspace
    required property NavigationController navigation

    readonly property DetailController controller: detailController
    // The entries in the list's order. Qt 6.4's QML tools know no type for a C++ list of objects.
    readonly property var entries: detailController.sortedEntries // qmllint disable type

    // Delete deletes the shown workspace, as the edit sheet's "Löschen" does: at once, but undoably.
    Keys.onDeletePressed: detailController.deleteWorkspace()

    DetailController {
        id: detailController
        services: Services
        workspace: detail.workspace
        navigation: detail.navigation
        // The shared overlay manager, once the services hand one out.
        overlay: Services["overlay"] ?? null
    }

    // A checkbox with a two-line label, as the launch options show it.
    component OptionToggle: T.CheckBox {
        id: optionToggle

        property string title
        property string explanation

        implicitWidth: implicitContentWidth + leftPadding + rightPadding
        implicitHeight: implicitContentHeight + topPadding + bottomPadding
        spacing: Theme.spacingM
        leftPadding: indicator.width + spacing
        focusPolicy: Qt.StrongFocus
        Keys.onReturnPressed: { optionToggle.toggle(); optionToggle.toggled() }
        Keys.onEnterPressed: { optionToggle.toggle(); optionToggle.toggled() }
        // Qt 6.4's template boxes answer a screen reader's toggle with nothing.
        Accessible.onToggleAction: { optionToggle.toggle(); optionToggle.toggled() }
        Accessible.onPressAction: { optionToggle.toggle(); optionToggle.toggled() }

        Accessible.name: title
        Accessible.description: explanation

        indicator: Rectangle {
            y: 1
            implicitWidth: 14
            implicitHeight: 14
            radius: Theme.radiusXS
            color: optionToggle.checked ? Theme.blue : Theme.optionFill
            border.width: 1
            border.color: optionToggle.checked ? Theme.blue : Theme.checkBorder
            Text {
                anchors.centerIn: parent
                visible: optionToggle.checked
                text: "\u2713"
                color: "white"
                font.pixelSize: Theme.fontFootnote
                font.weight: Theme.bold
                Accessible.ignored: true
            }
            FocusRing {
                cornerRadius: Theme.radiusXS
                shown: optionToggle.visualFocus
            }
        }

        contentItem: ColumnLayout {
            spacing: Theme.spacingXS
            Text {
                Layout.fillWidth: true
                Accessible.ignored: true
                text: optionToggle.title
                color: "white"
                font.family: Theme.systemFamily
                font.pixelSize: Theme.fontBody
                font.weight: Theme.medium
            }
            Text {
                Layout.fillWidth: true
                Accessible.ignored: true
                text: optionToggle.explanation
                color: Theme.secondaryText
                font.family: Theme.systemFamily
                font.pixelSize: Theme.fontFootnote
                wrapMode: Text.WordWrap
            }
        }
    }

    component Divider: Rectangle {
        Layout.fillWidth: true
        implicitHeight: 1
        color: Theme.hairline
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: header.implicitHeight + 2 * Theme.paddingPage
            color: Theme.headerBand

            GridLayout {
                id: header
                anchors.fill: parent
                anchors.margins: Theme.paddingPage
                columnSpacing: Theme.spacingXL
                rowSpacing: 14
                // The buttons stand beside the name while everything fits, else on a line of their own:
                // a long monitor message never pushes a button out of the window.
                readonly property real identityWidth: identityTile.implicitWidth + identity.spacing
                    + Math.max(Math.min(workspaceName.implicitWidth, 240),
                               workspaceSummary.implicitWidth + summaryLine.spacing + monitorBadge.implicitWidth)
                columns: identityWidth + columnSpacing + buttons.implicitWidth <= width ? 2 : 1

                RowLayout {
                    id: identity
                    Layout.fillWidth: true
                    spacing: Theme.spacingXL

                    GradientTile {
                        id: identityTile
                        implicitWidth: 54
                        implicitHeight: 54
                        radius: Theme.radiusCard
                        startColor: detailController.gradientStart
                        endColor: detailController.gradientEnd
                        SymbolIcon {
                            anchors.centerIn: parent
                            name: detail.workspace ? detail.workspace.icon : ""
                            size: 24
                            color: "white"
                        }
                    }

                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: Theme.spacingS
                        Text {
                            id: workspaceName
                            objectName: "workspaceName"
                            Layout.fillWidth: true
                            text: detail.workspace ? detail.workspace.name : ""
                            Accessible.role: Accessible.Heading
                            Accessible.name: text
                            color: "white"
                            font.family: Theme.roundedFamily
                            font.pixelSize: Theme.fontTitleLarge
                            font.weight: Theme.bold
                            elide: Text.ElideRight
                        }
                        Flow {
                            id: summaryLine
                            Layout.fillWidth: true
                            spacing: Theme.spacingM
                            Text {
                                id: workspaceSummary
                                objectName: "workspaceSummary"
                                text: detailController.summary
                                Accessible.role: Accessible.StaticText
                                Accessible.name: text
                                color: Theme.secondaryText
                                font.family: Theme.systemFamily
                                font.pixelSize: Theme.fontCallout
                            }
                            MonitorStatusBadge {
                                id: monitorBadge
                                objectName: "monitorStatusBadge"
                                message: detailController.monitorMessage
                                isWarning: detailController.monitorWarning
                            }
                        }
                    }
                }

                RowLayout {
                    id: buttons
                    objectName: "headerButtons"
                    Layout.alignment: Qt.AlignRight | Qt.AlignVCenter
                    spacing: Theme.spacingXL

                    PrimaryButton {
                        objectName: "launchButton"
                        text: "Workspace starten"
                        symbol: "play.fill"
                        spacing: Theme.spacingM
                        startColor: Theme.blue
                        endColor: Theme.purple
                        // The label brings its own padding inside the style's.
                        leftPadding: Theme.buttonPaddingH + Theme.spacingXL
                        rightPadding: Theme.buttonPaddingH + Theme.spacingXL
                        topPadding: Theme.buttonPaddingV + Theme.spacingM
                        bottomPadding: Theme.buttonPaddingV + Theme.spacingM
                        onClicked: detailController.launch()
                    }

                    SecondaryButton {
                        objectName: "previewButton"
                        text: "HUD-Vorschau"
                        symbol: "eye"
                        spacing: Theme.spacingS
                        foregroundColor: Theme.cyan
                        borderColor: Theme.accentOutline
                        onClicked: detailController.showPreview()
                    }

                    SecondaryButton {
                        id: editButton
                        objectName: "editButton"
                        symbol: "pencil"
                        // An icon alone says nothing to someone who has not used it before.
                        ToolTip.visible: hovered
                        ToolTip.delay: 500
                        ToolTip.text: "Workspace bearbeiten"
                        Accessible.name: "Workspace bearbeiten"
                        foregroundColor: Theme.cyan
                        borderColor: Theme.accentOutline
                        // The pencil sits in a 32 × 32 frame inside the style's padding.
                        leftPadding: Theme.secondaryButtonPaddingH + (32 - implicitContentWidth) / 2
                        rightPadding: Theme.secondaryButtonPaddingH + (32 - implicitContentWidth) / 2
                        topPadding: Theme.buttonPaddingV + (32 - implicitContentHeight) / 2
                        bottomPadding: Theme.buttonPaddingV + (32 - implicitContentHeight) / 2
                        onClicked: detailController.beginEdit()
                    }
                }
            }
        }

        Text {
            objectName: "launchMessage"
            Layout.fillWidth: true
            Layout.leftMargin: Theme.paddingPage
            Layout.rightMargin: Theme.paddingPage
            Layout.bottomMargin: 10
            visible: text !== ""
            text: detailController.launchMessage
            color: detailController.launchTroubled ? Theme.orange : Theme.cyan
            font.family: Theme.systemFamily
            font.pixelSize: Theme.fontCallout
            wrapMode: Text.WordWrap
            // Heard through the window's launch announcement; here it is read like any text.
            Accessible.role: Accessible.StaticText
            Accessible.name: text
        }

        Divider {}

        ScrollView {
            id: scroll
            Layout.fillWidth: true
            Layout.fillHeight: true
            contentWidth: availableWidth
            // The column is padded on every side as a page is.
            contentHeight: content.implicitHeight + 2 * Theme.paddingPage
            ScrollBar.vertical.policy: ScrollBar.AlwaysOn

            ColumnLayout {
                id: content
                x: Theme.paddingPage
                y: Theme.paddingPage
                width: scroll.availableWidth - 2 * Theme.paddingPage
                spacing: Theme.spacingPage

                Item {
                    Layout.fillWidth: true
                    implicitHeight: options.implicitHeight + 2 * Theme.paddingCard

                    GlassBackground {
                        anchors.fill: parent
                        cornerRadius: Theme.radiusCard
                    }

                    ColumnLayout {
                        id: options
                        anchors.fill: parent
                        anchors.margins: Theme.paddingCard
                        spacing: Theme.spacingXL

                        Text {
                            text: "Einstellungen"
                            Accessible.role: Accessible.Heading
                            Accessible.name: text
                            color: "white"
                            font.family: Theme.systemFamily
                            font.pixelSize: Theme.fontHeadline
                            font.weight: Theme.bold
                        }
                        OptionToggle {
                            objectName: "focusModeToggle"
                            Layout.fillWidth: true
                            title: "Fokus-Modus aktivieren"
                            explanation: "Schließt beim Start dieses Workspaces automatisch alle anderen geöffneten Anwendungen."
                            checked: detail.workspace ? detail.workspace.autoLaunch : false
                            // The store saves the record by itself.
                            onToggled: detail.workspace.autoLaunch = checked
                        }
                        Divider {}
                        OptionToggle {
                            objectName: "restoreDocumentsToggle"
                            Layout.fillWidth: true
                            title: "Dokumente & Dateien wiederherstellen"
                            explanation: "Öffnet beim Start exakt die gespeicherten Dateien/Projekte. Falls deaktiviert, starten die Apps leer oder laden ihren letzten Systemzustand."
                            checked: detail.workspace ? detail.workspace.restoreDocuments : false
                            onToggled: detail.workspace.restoreDocuments = checked
                        }
                        Divider {}
                        SecondaryButton {
                            objectName: "updateButton"
                            text: "Workspace aktualisieren"
                            symbol: "arrow.triangle.2.circlepath"
                            spacing: Theme.spacingS
                            foregroundColor: Theme.cyan
                            borderColor: Theme.accentOutline
                            onClicked: detailController.updateFromDesktop()
                        }
                        Text {
                            objectName: "captureProblem"
                            Layout.fillWidth: true
                            visible: text !== ""
                            text: detailController.captureProblem
                            color: Theme.red
                            font.pixelSize: Theme.fontCallout
                            wrapMode: Text.WordWrap
                            Accessible.role: Accessible.AlertMessage
                            Accessible.name: text
                        }
                    }
                }

                ColumnLayout {
                    objectName: "entryList"
                    Layout.fillWidth: true
                    spacing: Theme.spacingL
                    Accessible.role: Accessible.List
                    Accessible.name: "Workspace-Elemente"

                    Text {
                        text: "Workspace-Elemente"
                        Accessible.role: Accessible.Heading
                        Accessible.name: text
                        color: "white"
                        font.family: Theme.systemFamily
                        font.pixelSize: Theme.fontHeadline
                        font.weight: Theme.bold
                    }

                    Item {
                        objectName: "emptyEntries"
                        visible: detail.entries.length === 0
                        Layout.fillWidth: true
                        implicitHeight: empty.implicitHeight + 60

                        GlassBackground {
                            anchors.fill: parent
                            cornerRadius: Theme.radiusCard
                        }
                        Column {
                            id: empty
                            anchors.centerIn: parent
                            spacing: Theme.spacingL
                            SymbolIcon {
                                anchors.horizontalCenter: parent.horizontalCenter
                                name: "list.bullet.rectangle.portrait"
                                size: 32
                                color: Theme.secondaryText
                            }
                            Text {
                                anchors.horizontalCenter: parent.horizontalCenter
                                text: "Keine Elemente im Workspace vorhanden."
                                Accessible.role: Accessible.StaticText
                                Accessible.name: text
                                color: Theme.secondaryText
                                font.family: Theme.systemFamily
                                font.pixelSize: Theme.fontCallout
                            }
                        }
                    }

                    Repeater {
                        model: detail.entries
                        EntryRow {
                            required property var modelData
                            Layout.fillWidth: true
                            entry: modelData
                            screenMonitorIDs: detailController.screenMonitorIDs
                            onDeleteRequested: detailController.deleteEntry(modelData)
                        }
                    }
                }
            }
        }
    }

    WorkspaceFormSheet {
        title: "Workspace bearbeiten"
        headerSymbol: "slider.horizontal.3"
        visible: detailController.showingEditSheet
        name: detailController.editedName
        category: detailController.editedCategory
        icon: detailController.editedIcon
        categories: detailController.categories
        icons: detailController.icons
        namePlaceholder: "Workspace Name"
        nameFieldName: "editNameField"
        confirmButtonName: "saveEditButton"
        cancelButtonName: "cancelEditButton"
        canConfirm: detailController.canSave
        deletable: true
        onNameEdited: (name) => detailController.editedName = name
        onCategoryChosen: (category) => detailController.editedCategory = category
        onIconChosen: (icon) => detailController.editedIcon = icon
        onConfirmed: detailController.saveEdit()
        onCancelled: detailController.cancelEdit()
        onDeleteRequested: detailController.deleteWorkspace()
    }

    FocusFollower {
        flickable: scroll.contentItem as Flickable
        area: content
    }
}
