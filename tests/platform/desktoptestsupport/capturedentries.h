// Entries of a capture, found by the application they stand for.
#pragma once

#include "model/entrydata.h"

#include <QList>
#include <optional>

/// The first entry of this application.
std::optional<EntryData> entryFor(const QList<EntryData> &entries, const QString &appId);
