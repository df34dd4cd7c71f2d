// A 20-point line grid in white over the space it is given; callers dim it.
import QtQuick
import QtQuick.Shapes
import Corvalint.Theme

Shape {
    id: grid

    // A 0.5-point white line is drawn as a crisp 1-pixel line at half strength,
    // the ink a half-point stroke leaves on a 1x screen.
    readonly property real lineWidth: 0.5

    enabled: false // decoration only: never takes pointer input
    // Drawn once into an image of its size, not stroked again line by line
    // whenever something above it moves: scrolling repaints what lies beneath.
    layer.enabled: true

    ShapePath {
        strokeColor: Theme.withAlpha(Theme.gridInk, grid.lineWidth)
        strokeWidth: 1
        fillColor: "transparent"
        capStyle: ShapePath.FlatCap

        PathMultiline {
            paths: {
                const w = grid.width, h = grid.height
                const lines = []
                for (const x of ThemeGeometry.gridLines(w))
                    lines.push([Qt.point(x + 0.5, 0), Qt.point(x + 0.5, h)])
                for (const y of ThemeGeometry.gridLines(h))
                    lines.push([Qt.point(0, y + 0.5), Qt.point(w, y + 0.5)])
                return lines
            }
        }
    }
}
