// The main window: title "Corvalint", at least 900 × 600, showing ContentView.
import QtQuick
import QtQuick.Controls.Basic
import Corvalint

ApplicationWindow {
    id: window

    title: "Corvalint"
    width: 1100
    height: 720
    minimumWidth: 900
    minimumHeight: 600
    visible: true
    color: Theme.windowTop
    palette.window: Theme.windowTop
    palette.windowText: Theme.primaryText

    ContentView {
        anchors.fill: parent
    }
}
