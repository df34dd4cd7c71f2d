// One dashboard statistic: a tinted icon tile, the title in capitals and the
// value, on glass.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Corvalint.Theme

Control {
    id: card

    property string title
    property string value
    property string icon
    property color color: Theme.blue

    padding: Theme.paddingCard
    background: GlassBackground { cornerRadius: Theme.radiusCard }

    // Qt 6.4's controls overwrite a role given to them: the row inside speaks for the card.
    Accessible.ignored: true

    contentItem: RowLayout {
        spacing: Theme.spacingXL
        // Read as one line, "Starts: 12", rather than as two loose texts.
        Accessible.role: Accessible.StaticText
        Accessible.name: card.title + ": " + card.value

        Rectangle {
            Layout.preferredWidth: 44
            Layout.preferredHeight: 44
            Layout.alignment: Qt.AlignVCenter
            radius: Theme.radiusL
            color: Theme.withAlpha(card.color, 0.12)
            border.width: 1
            border.color: Theme.withAlpha(card.color, 0.4)

            SymbolIcon {
                anchors.centerIn: parent
                name: card.icon
                size: 20
                color: card.color
            }
        }

        ColumnLayout {
            Layout.alignment: Qt.AlignVCenter
            spacing: Theme.spacingXS

            Text {
                Accessible.ignored: true
                text: card.title.toUpperCase()
                color: Theme.secondaryText
                font.family: Theme.monoFamily
                font.pixelSize: Theme.fontLabel
                font.weight: Theme.bold
            }
            GlowText {
                Accessible.ignored: true
                text: card.value
                color: "white"
                font.family: Theme.monoFamily
                font.pixelSize: Theme.fontTitleLarge
                font.weight: Theme.black
                glowColor: Theme.withAlpha(card.color, 0.35)
                glowRadius: 5
            }
        }

        Item { Layout.fillWidth: true }
    }
}
