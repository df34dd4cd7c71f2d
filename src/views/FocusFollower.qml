// Scrolls `flickable` so that the item the keyboard is on shows whole, when it
// lies inside `area`: Tab into a control below the fold brings it up.
import QtQuick

Item {
    id: follower

    required property Flickable flickable
    required property Item area
    // Room kept around the item, so that its focus ring shows too.
    property real margin: 12

    function reveal(item) {
        let inside = false
        for (let p = item; p; p = p.parent) {
            if (p === area) {
                inside = true
                break
            }
        }
        if (!inside)
            return
        const top = item.mapToItem(flickable.contentItem, 0, 0).y - margin
        const bottom = top + item.height + 2 * margin
        const last = Math.max(0, flickable.contentHeight - flickable.height)
        if (top < flickable.contentY)
            flickable.contentY = Math.max(0, top)
        else if (bottom > flickable.contentY + flickable.height)
            flickable.contentY = Math.min(last, bottom - flickable.height)
    }

    Connections {
        target: follower.Window.window
        function onActiveFocusItemChanged() {
            const item = follower.Window.activeFocusItem
            if (item)
                follower.reveal(item)
        }
    }
}
