// The colours, fonts and sizes every Corvalint screen shares.
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

    // `base` with the alpha `alpha`: the tints, rims and glows of elements whose colour is given to them.
    function withAlpha(base: color, alpha: real): color {
        return Qt.rgba(base.r, base.g, base.b, alpha)
    }

    // Tints of the accent.
    // The rim of outlined buttons and of the undo bar.
    readonly property color accentOutline: Qt.rgba(0.0, 0.95, 1.0, 0.4)
    // The rim of the launcher and of the overlay's title badge.
    readonly property color accentRim: Qt.rgba(0.0, 0.95, 1.0, 0.35)
    readonly property color titleGlow: Qt.rgba(0.0, 0.95, 1.0, 0.4)
    readonly property color nameGlow: Qt.rgba(0.0, 0.95, 1.0, 0.25)
    // A card's rim under the pointer.
    readonly property color hoverRim: Qt.rgba(0.0, 0.95, 1.0, 0.6)
    // The glow of the card's start button, in the gradient's start colour.
    readonly property color startGlow: Qt.rgba(0.0, 0.8, 1.0, 0.55)
    readonly property color textSelection: Qt.rgba(0.0, 0.95, 1.0, 0.35)
    readonly property color fieldFocusGlow: Qt.rgba(0.0, 0.95, 1.0, 0.35)
    readonly property color launcherCurrentRow: Qt.rgba(0.0, 0.95, 1.0, 0.18)
    // An entry's monitor in the detail view.
    readonly property color monitorText: Qt.rgba(0.0, 0.95, 1.0, 0.85)

    // The glass panels: glow, grid (the grid's half-strength white line at 5 %) and the gradient rim.
    readonly property color glassGlow: Qt.rgba(0.0, 0.95, 1.0, 0.12)
    readonly property color glassGrid: Qt.rgba(1, 1, 1, 0.5 * 0.05)
    readonly property var glassRim: [Qt.rgba(0.0, 0.95, 1.0, 0.35), Qt.rgba(0.3, 0.1, 0.9, 0.15),
                                     Qt.rgba(0.0, 0.95, 1.0, 0.05), Qt.rgba(0.0, 0.95, 1.0, 0.4)]
    // The line grid and the scan lines; callers set the grid's strength.
    readonly property color gridInk: "white"
    readonly property color scanline: Qt.rgba(1, 1, 1, 0.02)

    // Panels over the window.
    readonly property color modalDim: Qt.rgba(0, 0, 0, 0.45)
    readonly property color panelBorder: Qt.rgba(1, 1, 1, 0.12)
    readonly property color menuBackground: Qt.rgba(0.12, 0.13, 0.17, 0.98)
    readonly property color launcherBackground: Qt.rgba(0.06, 0.07, 0.11, 0.97)
    readonly property color undoBarBackground: Qt.rgba(0.07, 0.09, 0.16, 0.96)
    // The detail view's header band.
    readonly property color headerBand: Qt.rgba(1, 1, 1, 0.02)
    readonly property color splitHandle: Qt.rgba(1, 1, 1, 0.08)
    // Dividers and the rims of unchosen chips and tags.
    readonly property color hairline: Qt.rgba(1, 1, 1, 0.1)
    readonly property color bodyText: Qt.rgba(1, 1, 1, 0.6)
    // The window's banner about the store or the desktop.
    readonly property color bannerFill: Qt.rgba(orange.r, orange.g, orange.b, 0.14)
    readonly property color bannerRule: Qt.rgba(orange.r, orange.g, orange.b, 0.5)

    // Controls.
    readonly property color buttonRim: Qt.rgba(1, 1, 1, 0.35)
    readonly property color secondaryButtonFill: Qt.rgba(0.05, 0.07, 0.14, 0.6)
    readonly property color dangerOutline: Qt.rgba(red.r, red.g, red.b, 0.4)
    readonly property color fieldFill: Qt.rgba(0, 0, 0, 0.45)
    readonly property color fieldBorder: Qt.rgba(1, 1, 1, 0.15)
    readonly property color placeholderText: Qt.rgba(0.92, 0.92, 0.96, 0.3)
    // The hotkey field and an unticked box.
    readonly property color controlFill: Qt.rgba(1, 1, 1, 0.1)
    readonly property color controlFillPressed: Qt.rgba(1, 1, 1, 0.2)
    readonly property color checkBorder: Qt.rgba(1, 1, 1, 0.3)
    // An unticked launch option of the detail view.
    readonly property color optionFill: Qt.rgba(1, 1, 1, 0.08)
    // Category chips and symbol choices of the sheets.
    readonly property color choiceSelected: Qt.rgba(0.04, 0.52, 1.0, 0.8)
    readonly property color chipFill: Qt.rgba(1, 1, 1, 0.04)
    readonly property color symbolChoiceFill: Qt.rgba(1, 1, 1, 0.05)
    readonly property color choiceText: Qt.rgba(1, 1, 1, 0.8)
    // The sidebar's rows: chosen, under the pointer, and the one whose menu is open.
    readonly property color sidebarSelection: Qt.rgba(0.04, 0.52, 1.0, 0.75)
    readonly property color rowHover: Qt.rgba(1, 1, 1, 0.06)
    readonly property color menuTargetFill: Qt.rgba(1.0, 0.27, 0.23, 0.22)
    readonly property color menuTargetBorder: Qt.rgba(red.r, red.g, red.b, 0.7)
    // The card's symbol tile and category tag.
    readonly property color tileRim: Qt.rgba(1, 1, 1, 0.3)
    readonly property color tagFill: Qt.rgba(1, 1, 1, 0.08)
    // The settings page's "Aktiv" badge.
    readonly property color successFill: Qt.rgba(green.r, green.g, green.b, 0.15)
    // An entry's trash button away from the pointer.
    readonly property color trashIdle: Qt.rgba(red.r, red.g, red.b, 0.8)

    // The preview overlay.
    readonly property color overlayDim: Qt.rgba(0, 0, 0, 0.5)
    readonly property color overlayBadgeFill: Qt.rgba(0, 0, 0, 0.75)
    readonly property color overlayTitle: Qt.rgba(0.0, 0.95, 1.0, 0.8)
    readonly property color overlayLabelFill: Qt.rgba(0, 0, 0, 0.85)
    readonly property color previewBoxFill: Qt.rgba(0.0, 0.95, 1.0, 0.04)
    readonly property color previewScanLine: Qt.rgba(0.0, 0.95, 1.0, 0.3)
    readonly property color previewDetailText: Qt.rgba(0.0, 0.95, 1.0, 0.65)

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

    // Type sizes, from the overlay's fine print up to the settings page's title.
    readonly property int fontMicro: 8
    readonly property int fontLabel: 9
    readonly property int fontCaption: 10
    readonly property int fontFootnote: 11
    readonly property int fontCallout: 12
    readonly property int fontBody: 13
    readonly property int fontHeadline: 14
    readonly property int fontTitle: 16
    readonly property int fontTitleLarge: 20
    readonly property int fontDisplay: 24
    readonly property int fontDisplayLarge: 28

    // Gaps between neighbours in rows, columns and grids, and the small insets that match them.
    readonly property int spacingXXS: 2
    readonly property int spacingXS: 4
    readonly property int spacingS: 6
    readonly property int spacingM: 8
    readonly property int spacingL: 12
    readonly property int spacingXL: 16
    readonly property int spacingSection: 20
    readonly property int spacingPage: 24

    // Corners: check boxes; tags and badges; fields, chips and rows; buttons and tiles; sheets and
    // the undo bar; cards and glass panels; the launcher.
    readonly property int radiusXS: 3
    readonly property int radiusS: 4
    readonly property int radiusM: 6
    readonly property int radiusL: 8
    readonly property int radiusSheet: 10
    readonly property int radiusCard: 12
    readonly property int radiusWindow: 14

    // Inner paddings and the margins that match them: a page, sheet or dialog; a glass panel; a card.
    readonly property int paddingPage: 24
    readonly property int paddingPanel: 20
    readonly property int paddingCard: 16
    // The buttons' paddings: the primary and the secondary button's sides, and both buttons' top and bottom.
    readonly property int buttonPaddingH: 18
    readonly property int secondaryButtonPaddingH: 16
    readonly property int buttonPaddingV: 10
}
