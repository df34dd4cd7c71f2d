// One workspace with its entries as a plain value (store rows, backup files,
// the command line's JSON).
#pragma once

#include "entrydata.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>
#include <optional>

struct WorkspaceData {
    QUuid id = QUuid::createUuid();
    QString name;
    QString icon;
    QString category;
    QDateTime createdAt;
    QDateTime modifiedAt;
    bool autoLaunch = false;
    bool restoreDocuments = true;
    bool isFavorite = false;
    qint64 launchCount = 0;
    std::optional<QDateTime> lastLaunchedAt;
    double timeSavedInSeconds = 0;
    QList<EntryData> entries;

    bool operator==(const WorkspaceData &) const = default;
};
