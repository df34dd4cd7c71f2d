// The main window: title "Corvalint", at least 900 × 600, showing ContentView.
import QtQuick
import QtQuick.Controls.Basic
import Corvalint
import Corvalint.Theme

ApplicationWindow {
    id: window

    title: "Corvalint"
    width: 1100
    height: 720
    minimumWidth: 900
    minimumHeight: 600
    visible: true
    color: Theme.windowTop
    // A complete dark palette: stock dialogs (the backup file panels) draw
    // with it, and half a palette leaves them light grey with white text.
    palette.window: Theme.windowTop
    palette.windowText: Theme.primaryText
    palette.base: "#0b0e18"
    palette.alternateBase: "#121626"
    palette.text: Theme.primaryText
    palette.button: "#141a2c"
    palette.buttonText: Theme.primaryText
    palette.light: "#2a3350"
    palette.midlight: "#1e2640"
    palette.mid: "#161c30"
    palette.dark: "#05070c"
    palette.shadow: "#000000"
    palette.highlight: "#1f6fd1"
    palette.highlightedText: "#ffffff"
    palette.placeholderText: "#7d8599"
    palette.toolTipBase: "#141a2c"
    palette.toolTipText: Theme.primaryText

    ContentView {
        anchors.fill: parent
    }
}
