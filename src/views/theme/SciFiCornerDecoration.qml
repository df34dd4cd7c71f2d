// Four cyan corner brackets, 8-point legs, around the space it is given.
import QtQuick
import QtQuick.Shapes
import Corvalint.Theme

Shape {
    id: corners

    readonly property real leg: 8

    enabled: false

    ShapePath {
        strokeColor: Theme.cyan
        strokeWidth: 1.5
        fillColor: "transparent"
        capStyle: ShapePath.FlatCap
        joinStyle: ShapePath.MiterJoin

        PathMultiline {
            paths: {
                const w = corners.width, h = corners.height, l = corners.leg
                return [
                    [Qt.point(0, l), Qt.point(0, 0), Qt.point(l, 0)],
                    [Qt.point(w - l, 0), Qt.point(w, 0), Qt.point(w, l)],
                    [Qt.point(0, h - l), Qt.point(0, h), Qt.point(l, h)],
                    [Qt.point(w - l, h), Qt.point(w, h), Qt.point(w, h - l)]
                ]
            }
        }
    }
}
