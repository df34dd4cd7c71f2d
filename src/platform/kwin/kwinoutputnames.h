// KWin's outputs by index with their connector names, read from its support information: KWin 5.27's script
// API numbers outputs but does not name them.
#pragma once

#include <QList>
#include <QString>

struct KWinOutputName {
    /// The connector ("DP-1", "Virtual-0").
    QString name;
    /// Empty when KWin does not report them (virtual outputs; 5.27 does not print them).
    QString manufacturer;
    QString model;
};

namespace KWinOutputNames {

/// The outputs in KWin's order from the text of `org.kde.KWin.supportInformation` (its "Screen N:" sections);
/// empty when the text has none.
QList<KWinOutputName> parse(const QString &supportInformation);

/// The text the monitor identifier is made of: manufacturer, model and connector. A Wayland client cannot read
/// the EDID, so neither the serial number nor anything else that would tell two identical monitors apart joins.
QString fingerprint(const KWinOutputName &output);

} // namespace KWinOutputNames
