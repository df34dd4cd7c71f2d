// One block of the settings page: a column (spacing 16) padded 20 on a glass panel.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Corvalint.Theme

Control {
    id: section

    default property alias content: column.data

    padding: Theme.paddingPanel
    background: GlassBackground { cornerRadius: Theme.radiusCard }
    // Declared beside the section rather than inside contentItem, so that the content can go into it.
    contentItem: column

    ColumnLayout {
        id: column
        spacing: Theme.spacingXL
    }
}
