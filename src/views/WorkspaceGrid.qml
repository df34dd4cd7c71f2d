// A card grid with adaptive columns (at least 200 points wide, 16 apart)
// inside the dashboard's scrolling page. Only the rows inside the page's
// viewport get cards: the inner GridView covers exactly that slice and follows
// the page, so a thousand workspaces never build a thousand cards.
// One Tab stop: the arrows move between the cards and scroll the page along.
pragma ComponentBehavior: Bound
import QtQuick
import Corvalint
import Corvalint.Theme

FocusScope {
    id: root

    property alias model: grid.model
    // The page that scrolls this grid, and where the grid's top lies in it.
    property Flickable page
    property real pageY: 0

    readonly property real spacing: Theme.spacingXL
    readonly property int columns: Math.max(1, Math.floor((width + spacing) / (200 + spacing)))
    readonly property int rows: Math.ceil(grid.count / columns)
    readonly property real cardHeight: probe.implicitHeight
    // Cards built right now (for the benchmark and tests).
    readonly property int builtCards: grid.builtCards
    // The card the keyboard is at; it holds the focus while the grid has it.
    property int currentIndex: 0
    // The accessible name of the list ("Favoriten", "Alle Workspaces").
    property string title

    activeFocusOnTab: grid.count > 0
    Accessible.role: Accessible.List
    Accessible.name: title

    // Moves the keyboard to card `index` and scrolls the page until its row shows whole.
    function moveTo(index) {
        if (grid.count === 0)
            return
        currentIndex = Math.max(0, Math.min(grid.count - 1, index))
        if (!page)
            return
        const top = pageY + Math.floor(currentIndex / columns) * (cardHeight + spacing)
        if (top < page.contentY)
            page.contentY = top
        else if (top + cardHeight > page.contentY + page.height)
            page.contentY = Math.min(top + cardHeight - page.height, page.contentHeight - page.height)
    }

    onActiveFocusChanged: if (activeFocus) moveTo(currentIndex)
    // A delete must not leave the keyboard past the last card.
    readonly property int count: grid.count
    onCountChanged: if (currentIndex >= count) currentIndex = Math.max(0, count - 1)
    onColumnsChanged: moveTo(currentIndex)
    Keys.onLeftPressed: moveTo(currentIndex - 1)
    Keys.onRightPressed: moveTo(currentIndex + 1)
    Keys.onUpPressed: (event) => { event.accepted = currentIndex >= columns; if (event.accepted) moveTo(currentIndex - columns) }
    Keys.onDownPressed: (event) => {
        event.accepted = Math.floor(currentIndex / columns) < rows - 1
        if (event.accepted)
            moveTo(currentIndex + columns)
    }
    Keys.onPressed: (event) => {
        if (event.key === Qt.Key_Home || event.key === Qt.Key_End) {
            moveTo(event.key === Qt.Key_Home ? 0 : grid.count - 1)
            event.accepted = true
        }
    }

    implicitHeight: rows > 0 ? rows * (cardHeight + spacing) - spacing : 0

    // Measures the card height once; never shown.
    WorkspaceCard {
        id: probe
        visible: false
        enabled: false
        Accessible.ignored: true
    }

    GridView {
        id: grid

        property int builtCards: 0

        readonly property real visibleTop: root.page
                                           ? Math.max(0, Math.min(root.height, root.page.contentY - root.pageY)) : 0
        readonly property real visibleBottom: root.page
                                              ? Math.max(0, Math.min(root.height, root.page.contentY + root.page.height - root.pageY))
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
        focus: true

        delegate: FocusScope {
            id: cell

            required property int index
            required property var workspace

            width: grid.cellWidth
            height: grid.cellHeight
            z: card.isHovered ? 1 : 0
            focus: index === root.currentIndex

            WorkspaceCard {
                id: card
                width: parent.width - root.spacing
                height: root.cardHeight
                workspace: cell.workspace
                focus: true
                // A click puts the keyboard where the pointer was.
                onChosen: root.currentIndex = cell.index
            }

            Component.onCompleted: ++grid.builtCards
            Component.onDestruction: --grid.builtCards
        }
    }
}
