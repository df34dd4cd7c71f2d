// Workspaces and entries as JSON objects with every field, absences as null:
// the output of `corvalint list --json` and the form entries travel in between
// the command line and the running application.
#pragma once

#include "model/workspacedata.h"

#include <QJsonArray>
#include <QJsonObject>
#include <optional>

QJsonObject entryToJson(const EntryData &entry);
QJsonObject workspaceToJson(const WorkspaceData &workspace);
QJsonArray entriesToJson(const QList<EntryData> &entries);

/// Reads what entryToJson wrote; a missing or mistyped field keeps its default
/// (a fresh id, "application", no optional values, delay 0.5, not maximised,
/// no further tabs). Further tabs are read as the store reads them: items that
/// are not text or too long left out, at most as many as a backup may carry.
EntryData entryFromJson(const QJsonObject &object);
QList<EntryData> entriesFromJson(const QJsonArray &array);
