// KWin's outputs with their connector names. KWin 6's script API names its outputs; KWin 5.27's only numbers
// them, and their names come from KWin's support information, matched to the script's outputs by geometry.
#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <optional>

struct KWinOutputName {
    /// The connector ("DP-1", "Virtual-0").
    QString name;
    /// Empty when KWin does not report them (virtual outputs; 5.27 does not print them).
    QString manufacturer;
    QString model;
    /// Only KWin 6's script API tells it; empty for virtual outputs.
    QString serialNumber;
    /// The logical rectangle the support information gives ("Geometry: X,Y,WxH"); nothing when it gives none.
    std::optional<QRect> geometry;
    /// "Enabled: 0" marks an output that is connected but shows nothing (KWin 6 lists those as well).
    bool enabled = true;
};

namespace KWinOutputNames {

/// The outputs in KWin's order from the text of `org.kde.KWin.supportInformation` (its "Screen N:" sections);
/// empty when the text has none.
QList<KWinOutputName> parse(const QString &supportInformation);

/// The names for each of the listing's outputs (`screens`, KWin's logical rectangles by index) out of the
/// support information's sections: the enabled section with the same rectangle; when there are as many enabled
/// sections as outputs, the sections left go to the outputs left in KWin's order. Otherwise an output no section
/// fits gets an empty name.
QList<KWinOutputName> match(const QList<KWinOutputName> &sections, const QList<QRect> &screens);

/// The text the monitor identifier is made of: manufacturer, model and connector, and the serial number when KWin
/// tells it (KWin 6 does; 5.27 does not, and its identifiers stay what they were). A Wayland client cannot read
/// the EDID itself: two identical monitors without a serial number are told apart only by their connectors.
QString fingerprint(const KWinOutputName &output);

} // namespace KWinOutputNames
