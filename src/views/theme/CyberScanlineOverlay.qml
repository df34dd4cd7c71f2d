// Faint horizontal scan lines, one every 5 points from the top, one line per
// 8 points of height; callers dim it further.
import QtQuick
import QtQuick.Shapes
import Corvalint.Theme

Shape {
    id: scanlines

    readonly property int count: ThemeGeometry.scanlineCount(height)

    enabled: false
    // Drawn once into an image of its size, not stroked again line by line
    // whenever something above it moves: scrolling repaints what lies beneath.
    layer.enabled: true

    ShapePath {
        strokeColor: Theme.scanline
        strokeWidth: 1
        fillColor: "transparent"
        capStyle: ShapePath.FlatCap

        PathMultiline {
            paths: {
                const lines = []
                for (let i = 0; i < scanlines.count; ++i) {
                    const y = i * 5 + 0.5
                    lines.push([Qt.point(0, y), Qt.point(scanlines.width, y)])
                }
                return lines
            }
        }
    }
}
