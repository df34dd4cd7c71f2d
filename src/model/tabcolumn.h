// A browser entry's further tabs as the store keeps them: one text column
// holding a JSON array of strings.
#pragma once

#include <QJsonArray>
#include <QStringList>
#include <QVariant>

namespace TabColumn {

/// The column value for `tabs`: NULL when there are none, so rows without
/// further tabs look exactly like rows of a file from before the column.
QVariant toValue(const QStringList &tabs);

/// The tabs a column value holds. Never fails: NULL, text that is not a JSON
/// array and any value of another type read as no further tabs; items that are
/// not strings or are longer than a backup allows for `websiteURL` are left
/// out, and at most as many tabs as a backup may carry are kept, so a damaged
/// or hostile file cannot make one entry arbitrarily large.
QStringList fromValue(const QVariant &value);

/// The same reading of an array already parsed, for entries that travel as
/// JSON objects (the command line): the same items left out, the same bound.
QStringList fromArray(const QJsonArray &array);

} // namespace TabColumn
