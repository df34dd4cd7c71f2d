// One computer's file in a sync folder: a backup file of its workspaces plus the ones it deleted.
#include "syncfile.h"

#include "model/backup/backupfile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QLatin1String deletedKey { "deletedWorkspaces" };

QString isoText(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

} // namespace

QByteArray SyncFile::serialize(const SyncFileContent &content)
{
    QByteArray bytes = BackupFile::serialize(content.workspaces);
    // The backup text ends with the envelope's closing brace; the deletions go in as its last member.
    QJsonArray deleted;
    for (const SyncTombstone &tombstone : content.tombstones) {
        deleted.append(QJsonObject { { QStringLiteral("id"), tombstone.id.toString(QUuid::WithoutBraces).toUpper() },
            { QStringLiteral("deletedAt"), isoText(tombstone.deletedAt) } });
    }
    const qsizetype end = bytes.lastIndexOf('}');
    bytes.insert(end,
        QByteArray(",\"") + QByteArray(deletedKey.data(), deletedKey.size())
            + "\":" + QJsonDocument(deleted).toJson(QJsonDocument::Compact));
    return bytes;
}

bool SyncFile::parse(const QByteArray &bytes, SyncFileContent &content, QString *error)
{
    BackupParseResult parsed = BackupFile::parse(bytes);
    if (!parsed.ok()) {
        if (error)
            *error = parsed.error;
        return false;
    }
    // The backup reader has checked the text as JSON already; only the deletions are left to read.
    const QJsonArray deleted = QJsonDocument::fromJson(bytes).object().value(deletedKey).toArray();
    QList<SyncTombstone> tombstones;
    for (const QJsonValue &value : deleted) {
        const QJsonObject object = value.toObject();
        SyncTombstone tombstone { QUuid::fromString(object.value(QLatin1String("id")).toString()),
            QDateTime::fromString(object.value(QLatin1String("deletedAt")).toString(), Qt::ISODateWithMs) };
        // A deletion that names no workspace or no time says nothing that could be applied.
        if (tombstone.id.isNull() || !tombstone.deletedAt.isValid()) {
            if (error)
                *error = QStringLiteral("Eine Löschung im Feld „deletedWorkspaces“ ist unvollständig");
            return false;
        }
        tombstones.append(tombstone);
    }
    content.workspaces = std::move(parsed.workspaces);
    content.tombstones = std::move(tombstones);
    return true;
}

QString SyncFile::fileNameFor(const QString &computer)
{
    QString name = computer;
    // A computer name is no path: separators and dots at the start would leave the folder or hide the file.
    for (QChar &c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20)
            c = QLatin1Char('_');
    }
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    if (name.isEmpty())
        name = QStringLiteral("computer");
    return prefix + name + suffix;
}
