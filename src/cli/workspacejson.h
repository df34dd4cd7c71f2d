// Workspaces and entries as JSON objects with every field, absences as null:
// the output of `corvalint list --json` and the form entries travel in between
// the command line and the running application.
#pragma once

#include "model/workspacedata.h"

#include <QJsonArray>
#include <QJsonObject>
#include <optional>

/// The entry's members as EntryJson::toJson gives them.
QJsonObject entryToJson(const EntryData &entry);
QJsonObject workspaceToJson(const WorkspaceData &workspace);
QJsonArray entriesToJson(const QList<EntryData> &entries);

/// Reads what entryToJson wrote, leniently: see EntryJson::Reading::lenient.
EntryData entryFromJson(const QJsonObject &object);
QList<EntryData> entriesFromJson(const QJsonArray &array);
