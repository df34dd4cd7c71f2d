#include "capturedentries.h"

std::optional<EntryData> entryFor(const QList<EntryData> &entries, const QString &appId)
{
    for (const EntryData &entry : entries) {
        if (entry.appBundleIdentifier == appId)
            return entry;
    }
    return std::nullopt;
}
