// The colours and fonts every Corvalint screen shares.
pragma Singleton
import QtQuick

QtObject {
    // The accent of every glowing element.
    readonly property color cyan: Qt.rgba(0.0, 0.95, 1.0, 1)
    // The create/save gradient and the start button.
    readonly property color gradientStart: Qt.rgba(0.0, 0.8, 1.0, 1)
    readonly property color gradientEnd: Qt.rgba(0.4, 0.1, 0.9, 1)
    // Sidebar section headers.
    readonly property color sectionHeader: Qt.rgba(0.0, 0.8, 1.0, 1)

    readonly property color windowTop: Qt.rgba(0.02, 0.03, 0.06, 1)
    readonly property color windowBottom: Qt.rgba(0.05, 0.06, 0.12, 1)
    readonly property color sheetBackground: Qt.rgba(0.02, 0.03, 0.06, 1)
    readonly property color glassTint: Qt.rgba(0.04, 0.05, 0.1, 0.85)

    // The dark scheme's system colours as the other platform draws them.
    readonly property color primaryText: "white"
    readonly property color secondaryText: Qt.rgba(0.92, 0.92, 0.96, 0.6)
    readonly property color blue: Qt.rgba(0.04, 0.52, 1.0, 1)
    readonly property color purple: Qt.rgba(0.75, 0.35, 0.95, 1)
    readonly property color green: Qt.rgba(0.19, 0.82, 0.35, 1)
    readonly property color orange: Qt.rgba(1.0, 0.62, 0.04, 1)
    readonly property color yellow: Qt.rgba(1.0, 0.84, 0.04, 1)
    readonly property color red: Qt.rgba(1.0, 0.27, 0.23, 1)

    // Monospaced design: DejaVu Sans Mono (Debian's fonts-dejavu-core).
    readonly property string monoFamily: "DejaVu Sans Mono"
    // Rounded design: Quicksand or Comfortaa when installed, else Noto Sans.
    readonly property string roundedFamily: {
        const families = Qt.fontFamilies()
        for (const candidate of ["Quicksand", "Comfortaa"]) {
            if (families.indexOf(candidate) >= 0)
                return candidate
        }
        return "Noto Sans"
    }
    readonly property string systemFamily: "Noto Sans"

    // Font weights of the other platform's names; DejaVu Sans Mono has only
    // Book and Bold, so "black" and "bold" both land on Bold there.
    readonly property int medium: Font.Medium
    readonly property int semibold: Font.DemiBold
    readonly property int bold: Font.Bold
    readonly property int black: Font.Black
}
