// A rounded rectangle filled with a two-colour gradient from the top-leading
// to the bottom-trailing corner (icon tiles, the start button).
import QtQuick
import Corvalint.Theme

GradientShape {
    id: tile

    property color startColor
    property color endColor

    colors: [startColor, endColor]
    radius: Theme.radiusL
}
