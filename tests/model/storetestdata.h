// Records and helpers the store tests share: fully filled and sparse
// workspaces, file hashes, and raw SQL on a store file.
#pragma once

#include "model/storeconnection.h"
#include "model/workspacedata.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace storetest {

/// An entry with every optional field present.
inline EntryData fullEntry(int index)
{
    EntryData e;
    e.typeRawValue = QStringLiteral("application");
    e.appBundleIdentifier = QStringLiteral("org.example.App%1").arg(index);
    e.filePath = QStringLiteral("/home/user/doc-%1.txt").arg(index);
    e.websiteURL = QStringLiteral("https://example.org/%1").arg(index);
    e.monitorID = QStringLiteral("6B1F8C2E-3F3A-4D0C-9A57-2F1B5D0E7C4%1").arg(index % 10);
    e.frameX = 10.5 + index;
    e.frameY = -20.25;
    e.width = 800;
    e.height = 600.75;
    e.isFullscreen = true;
    e.delayAfterLaunch = -1.5;
    e.originalScreenX = -1920;
    e.originalScreenY = 0;
    e.originalScreenWidth = 1920;
    e.originalScreenHeight = 1080;
    e.isMaximized = true;
    e.virtualDesktop = -1;
    e.windowTitle = QStringLiteral("Doc %1 – Editor \"quoted\"").arg(index);
    // Quotes, a backslash and text beyond Latin-1 must survive the JSON column.
    e.additionalTabURLs = { QStringLiteral("https://example.org/%1/zwei").arg(index),
        QStringLiteral("https://example.org/ä?q=\"x\"\\%1").arg(index), QString() };
    return e;
}

/// An entry with every optional field absent.
inline EntryData sparseEntry(const QString &type)
{
    EntryData e;
    e.typeRawValue = type;
    e.frameX = 1;
    e.frameY = 2;
    e.width = 3;
    e.height = 4;
    e.isFullscreen = false;
    e.delayAfterLaunch = 0;
    return e;
}

/// A workspace with every field set and entries of every shape.
inline WorkspaceData fullWorkspace(const QString &name, const QDateTime &createdAt)
{
    WorkspaceData w;
    w.name = name;
    w.icon = QStringLiteral("briefcase.fill");
    w.category = QStringLiteral("Video Editing");
    w.createdAt = createdAt;
    w.modifiedAt = createdAt.addMSecs(1234);
    w.autoLaunch = true;
    w.restoreDocuments = false;
    w.isFavorite = true;
    w.launchCount = 7;
    w.lastLaunchedAt = createdAt.addSecs(60);
    w.timeSavedInSeconds = 140.5;
    w.entries
        = { fullEntry(1), sparseEntry(QStringLiteral("website")), fullEntry(2), sparseEntry(QStringLiteral("folder")) };
    // Present but empty is not absent.
    w.entries[1].monitorID = QString();
    w.entries[3].appBundleIdentifier = QStringLiteral("");
    return w;
}

/// A plain workspace with `entries` entries on two monitors.
inline WorkspaceData simpleWorkspace(const QString &name, const QDateTime &createdAt, int entries = 2)
{
    WorkspaceData w;
    w.name = name;
    w.icon = QStringLiteral("star");
    w.category = QStringLiteral("Development");
    w.createdAt = createdAt;
    w.modifiedAt = createdAt;
    for (int i = 0; i < entries; ++i)
        w.entries.append(fullEntry(i));
    return w;
}

inline QByteArray fileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result();
}

/// Runs `sql` on the file through a connection of its own; the first column
/// of the first row, or an invalid variant. Fails the test on an SQL error.
inline QVariant rawSql(const QString &path, const QString &sql, bool *ok = nullptr)
{
    StoreConnection connection(path, StoreConnection::Mode::readWrite, QStringLiteral("test"));
    QSqlQuery query(connection.database());
    const bool done = query.exec(sql);
    if (ok)
        *ok = done;
    if (!done)
        qWarning("raw SQL failed: %s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
    return done && query.next() ? query.value(0) : QVariant();
}

} // namespace storetest
