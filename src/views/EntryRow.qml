// One line of the detail view's entry list: kind, title and target, the monitor and
// saved geometry, and a button that deletes the entry.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import QtQuick.Templates as T
import Corvalint
import Corvalint.Theme

Item {
    id: row

    required property var entry
    // The connected screens' monitor identifiers in order ("" for none).
    required property var screenMonitorIDs

    signal deleteRequested()

    readonly property string kind: EntryPresentation.kind(entry.typeRawValue)
    readonly property color kindColor: {
        switch (kind) {
        case "website": return Theme.purple
        case "file": return Theme.orange
        case "folder": return Theme.yellow
        default: return Theme.blue
        }
    }

    implicitHeight: layout.implicitHeight + 24

    // One item of the entry list: what it is, then where it goes; the trash button inside it.
    Accessible.role: Accessible.ListItem
    Accessible.name: entryTitle.text + ", " + entryDetail.text
    Accessible.description: monitorLabel.text + ", " + positionText.text + ", " + sizeText.text

    GlassBackground {
        anchors.fill: parent
        cornerRadius: Theme.radiusCard
    }

    RowLayout {
        id: layout
        anchors.fill: parent
        anchors.margins: Theme.spacingL
        spacing: Theme.spacingXL

        Rectangle {
            implicitWidth: 36
            implicitHeight: 36
            radius: 18
            color: Theme.withAlpha(row.kindColor, 0.15)
            SymbolIcon {
                anchors.centerIn: parent
                name: EntryPresentation.symbol(row.entry.typeRawValue)
                size: 16
                color: row.kindColor
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: Theme.spacingXS
            Text {
                id: entryTitle
                objectName: "entryTitle"
                Accessible.ignored: true
                Layout.fillWidth: true
                text: EntryPresentation.title(row.entry.typeRawValue, row.entry.appBundleIdentifier,
                                              row.entry.websiteURL, row.entry.filePath)
                color: "white"
                font.family: Theme.systemFamily
                font.pixelSize: Theme.fontBody
                font.weight: Theme.bold
                maximumLineCount: 1
                elide: Text.ElideRight
            }
            Text {
                id: entryDetail
                objectName: "entryDetail"
                Accessible.ignored: true
                Layout.fillWidth: true
                text: EntryPresentation.detail(row.entry.typeRawValue, row.entry.appBundleIdentifier,
                                               row.entry.websiteURL, row.entry.filePath)
                color: Theme.secondaryText
                font.family: Theme.systemFamily
                font.pixelSize: Theme.fontFootnote
                maximumLineCount: 1
                elide: Text.ElideMiddle
            }
        }

        ColumnLayout {
            Layout.rightMargin: Theme.spacingL
            spacing: Theme.spacingXS
            Text {
                id: monitorLabel
                objectName: "monitorLabel"
                Accessible.ignored: true
                Layout.alignment: Qt.AlignRight
                text: EntryPresentation.monitor(row.entry.monitorID, row.screenMonitorIDs)
                color: Theme.monitorText
                font.family: Theme.systemFamily
                font.pixelSize: Theme.fontCaption
                font.weight: Theme.bold
            }
            Text {
                id: positionText
                objectName: "positionText"
                Accessible.ignored: true
                Layout.alignment: Qt.AlignRight
                text: EntryPresentation.position(row.entry.frameX, row.entry.frameY)
                color: Theme.secondaryText
                font.family: Theme.monoFamily
                font.pixelSize: Theme.fontCaption
            }
            Text {
                id: sizeText
                objectName: "sizeText"
                Accessible.ignored: true
                Layout.alignment: Qt.AlignRight
                text: EntryPresentation.size(row.entry.width, row.entry.height)
                color: Theme.secondaryText
                font.family: Theme.monoFamily
                font.pixelSize: Theme.fontCaption
            }
        }

        T.AbstractButton {
            id: trashButton
            objectName: "deleteEntryButton"
            implicitWidth: implicitContentWidth + 4
            implicitHeight: implicitContentHeight + 4
            focusPolicy: Qt.StrongFocus
            hoverEnabled: true
            ToolTip.visible: hovered
            ToolTip.delay: 500
            ToolTip.text: "Element entfernen"
            Accessible.name: "Element löschen"
            Accessible.description: entryTitle.text
            // The template button answers a screen reader's press with nothing in Qt 6.4.
            Accessible.onPressAction: clicked()
            Keys.onReturnPressed: clicked()
            Keys.onEnterPressed: clicked()
            // Here Delete means this entry, not the whole workspace.
            Keys.onDeletePressed: clicked()
            onClicked: row.deleteRequested()
            background: Item {
                FocusRing {
                    anchors.margins: -1
                    cornerRadius: Theme.radiusS
                    shown: trashButton.visualFocus
                }
            }
            contentItem: SymbolIcon {
                name: "trash"
                size: 13
                // Full red under the pointer, so it is clear what a click hits.
                color: trashButton.hovered ? Theme.red : Theme.trashIdle
                scale: trashButton.hovered ? 1.15 : 1.0
                Behavior on scale { NumberAnimation { duration: 120 } }
            }
        }
    }
}
