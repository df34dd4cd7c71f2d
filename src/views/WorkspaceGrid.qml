// A card grid with adaptive columns (at least 200 points wide, 16 apart)
// inside the dashboard's scrolling page. Only the rows inside the page's
// viewport get cards: the inner GridView covers exactly that slice and follows
// the page, so a thousand workspaces never build a thousand cards.
import QtQuick
import Corvalint

Item {
    id: root

    property alias model: grid.model
    // The page that scrolls this grid, and where the grid's top lies in it.
    property Flickable page
    property real pageY: 0

    readonly property real spacing: 16
    readonly property int columns: Math.max(1, Math.floor((width + spacing) / (200 + spacing)))
    readonly property int rows: Math.ceil(grid.count / columns)
    readonly property real cardHeight: probe.implicitHeight
    // Cards built right now (for the benchmark and tests).
    readonly property int builtCards: grid.builtCards

    implicitHeight: rows > 0 ? rows * (cardHeight + spacing) - spacing : 0

    // Measures the card height once; never shown.
    WorkspaceCard {
        id: probe
        visible: false
        enabled: false
    }

    GridView {
        id: grid

        property int builtCards: 0

        readonly property real visibleTop: page ? Math.max(0, Math.min(root.height, page.contentY - root.pageY)) : 0
        readonly property real visibleBottom: page ? Math.max(0, Math.min(root.height, page.contentY + page.height - root.pageY))
                                                   : root.height

        x: 0
        y: visibleTop
        width: root.width + root.spacing
        height: Math.max(0, visibleBottom - visibleTop)
        contentY: visibleTop
        interactive: false
        cacheBuffer: 0
        reuseItems: true
        cellWidth: width / root.columns
        cellHeight: root.cardHeight + root.spacing

        delegate: Item {
            id: cell

            required property var workspace

            width: GridView.view.cellWidth
            height: GridView.view.cellHeight
            z: card.isHovered ? 1 : 0

            WorkspaceCard {
                id: card
                width: parent.width - root.spacing
                height: root.cardHeight
                workspace: cell.workspace
            }

            Component.onCompleted: ++grid.builtCards
            Component.onDestruction: --grid.builtCards
        }
    }
}
