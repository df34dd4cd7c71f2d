// Shows the part of the window's blurred background that lies behind this
// item, following it as it scrolls or moves.
import QtQuick
import Corvalint

Item {
    id: view

    property point offset: Qt.point(0, 0)

    function track() {
        if (!Backdrop.texture || !visible)
            return
        const p = view.mapToItem(Backdrop.texture, 0, 0)
        if (p.x !== offset.x || p.y !== offset.y)
            offset = p
    }

    clip: true
    enabled: false
    Component.onCompleted: track()

    // Position changes of any ancestor (scrolling, layout) reach no binding,
    // so the offset is checked once per frame before it is drawn.
    Connections {
        target: view.Window.window
        enabled: Backdrop.texture !== null
        function onAfterAnimating() { view.track() }
    }

    ShaderEffect {
        visible: Backdrop.texture !== null
        x: -view.offset.x
        y: -view.offset.y
        width: Backdrop.texture ? Backdrop.texture.width : 0
        height: Backdrop.texture ? Backdrop.texture.height : 0
        // No shaders given: the default ones draw `source` as it is.
        property var source: Backdrop.texture
    }
}
