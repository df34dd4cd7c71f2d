// A store file larger than the size up to which opening checks every page,
// and the damage of one page of its entry table.
#pragma once

#include "model/workspacestore.h"
#include "storetestdata.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace storetest {

constexpr int kLargeWorkspaces = 1000;
constexpr int kLargeEntriesEach = 50;

/// The name of a workspace the large store holds, by its number (1 … kLargeWorkspaces).
inline QString largeWorkspaceName(int number)
{
    return QStringLiteral("Workspace %1").arg(number);
}

/// Builds, in `directory`, a closed store of kLargeWorkspaces workspaces with
/// kLargeEntriesEach entries each, over 16 MiB. Written by SQL in one go: the
/// records would take far longer. False when anything failed.
inline bool buildLargeStore(const QString &directory)
{
    {
        QString error;
        if (!WorkspaceStore::open(directory, &error))
            return false;
    }
    const QString path = directory + QLatin1Char('/') + WorkspaceStore::fileName();
    bool ok = false;
    rawSql(path,
        // Concatenated, not arg(): printf's "%012x" would count as a placeholder.
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ")
            + QString::number(kLargeWorkspaces)
            + QStringLiteral(
                ")"
                " INSERT INTO workspace (id, name, icon, category, createdAt, modifiedAt, autoLaunch,"
                " restoreDocuments, isFavorite, launchCount, timeSavedInSeconds)"
                " SELECT printf('%08x-0000-4000-8000-%012x', i, i), 'Workspace ' || i, 'star', 'Development',"
                " 1700000000000 + i, 1700000000000 + i, 0, 1, 0, 0, 0 FROM n"),
        &ok);
    if (!ok)
        return false;
    // The long path makes the file large; "/ws-<number>/" marks whose entry a
    // page holds.
    rawSql(path,
        QStringLiteral("WITH RECURSIVE k(j) AS (SELECT 0 UNION ALL SELECT j + 1 FROM k WHERE j < ")
            + QString::number(kLargeEntriesEach - 1)
            + QStringLiteral(
                ")"
                " INSERT INTO entry (workspace, position, id, typeRawValue, appBundleIdentifier, filePath,"
                " monitorID, frameX, frameY, width, height, isFullscreen, delayAfterLaunch)"
                " SELECT w.pk, k.j, printf('%08x-%04x-4000-8000-000000000000', w.pk, k.j), 'application',"
                " 'org.example.App', printf('/home/user/ws-%d/entry-%d/%s', w.pk, k.j, hex(zeroblob(150))),"
                " 'MONITOR-' || (k.j % 2), 10, 20, 800, 600, 0, 0.5 FROM workspace w, k ORDER BY w.pk, k.j"),
        &ok);
    return ok && QFileInfo(path).size() > 16 * 1024 * 1024;
}

/// Overwrites with garbage the page of the entry table that holds the first
/// entry of workspace `number`. The page number, or -1 when it was not found.
inline qint64 damageEntryPage(const QString &path, int number)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return -1;
    const QByteArray bytes = file.readAll();
    const qint64 pageSize = qFromBigEndian<quint16>(reinterpret_cast<const uchar *>(bytes.constData()) + 16);
    const qsizetype at = bytes.indexOf(QStringLiteral("/home/user/ws-%1/entry-0/").arg(number).toLatin1());
    if (at < 0 || pageSize < 512)
        return -1;
    const qint64 page = at / pageSize;
    // Pages are numbered from 1 in SQLite; dbstat, where the library has it,
    // confirms that this one is a leaf of the entry table and nothing else.
    bool haveDbstat = false;
    const QVariant owner = rawSql(path,
        QStringLiteral("SELECT name FROM dbstat WHERE pageno = %1 AND pagetype = 'leaf'").arg(page + 1), &haveDbstat);
    if (haveDbstat && owner.toString() != QLatin1String("entry"))
        return -1;
    QByteArray garbage(pageSize, Qt::Uninitialized);
    for (qsizetype i = 0; i < garbage.size(); ++i)
        garbage[i] = char(0xA5 ^ (i * 31));
    if (!file.seek(page * pageSize) || file.write(garbage) != pageSize)
        return -1;
    return page + 1;
}

} // namespace storetest
