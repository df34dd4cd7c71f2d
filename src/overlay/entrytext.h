// The small texts shown for an entry's fields, shared by the entry rows and the overlay boxes.
#pragma once

#include "model/entrydata.h"

#include <QString>
#include <optional>

namespace EntryText {

/// `value` as a whole number written in decimal: the fraction is dropped
/// toward zero, -0 reads "0", and values beyond any integer type are still
/// written in full. Non-finite values read "?" (there is no number to show).
QString wholeNumber(double value);

/// The system symbol of an entry kind: "app.badge.fill", "globe", "doc.fill", "folder.fill".
QString symbol(EntryType type);

/// The raw field that names what an entry opens: the application identifier,
/// the website address or the path; nothing when that field is absent.
std::optional<QString> detail(const EntryData &entry);

} // namespace EntryText
