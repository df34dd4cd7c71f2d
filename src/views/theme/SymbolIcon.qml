// One symbol by its system name, drawn from the Material Icons font; unknown
// names draw nothing.
import QtQuick
import Corvalint.Theme

Text {
    id: icon

    property string name
    // The point size a symbol of the other platform was given; Material glyphs
    // fill less of their em box, so they are drawn a little larger.
    property real size: 13

    text: Symbols.glyph(name)
    font.family: Symbols.fontFamily
    font.pixelSize: Math.round(size * 1.2)
    color: Theme.primaryText
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
    renderType: Text.QtRendering
    // A glyph of the icon font reads as a stray character; what it stands for is named by its owner.
    Accessible.ignored: true
}
