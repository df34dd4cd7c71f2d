// The small texts shown for an entry's fields, shared by the entry rows and the overlay boxes.
#include "entrytext.h"

#include <cmath>

namespace EntryText {

QString wholeNumber(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("?");
    const double whole = std::trunc(value);
    if (whole == 0)
        return QStringLiteral("0");
    // 'f' with no decimals writes the exact integer, however large.
    return QString::number(whole, 'f', 0);
}

QString symbol(EntryType type)
{
    switch (type) {
    case EntryType::application:
        return QStringLiteral("app.badge.fill");
    case EntryType::website:
        return QStringLiteral("globe");
    case EntryType::file:
        return QStringLiteral("doc.fill");
    case EntryType::folder:
        return QStringLiteral("folder.fill");
    }
    return QStringLiteral("app.badge.fill");
}

std::optional<QString> detail(const EntryData &entry)
{
    switch (entry.type()) {
    case EntryType::application:
        return entry.appBundleIdentifier;
    case EntryType::website:
        return entry.websiteURL;
    case EntryType::file:
    case EntryType::folder:
        return entry.filePath;
    }
    return std::nullopt;
}

} // namespace EntryText
