// Sample workspaces for the backup tests, and a field-by-field comparison that
// treats NaN as equal to NaN (and negative zero as zero, which the file keeps as 0).
#pragma once

#include "model/workspacedata.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <cmath>
#include <cstring>
#include <limits>

namespace backupsamples {

inline QDateTime utc(int y, int mo, int d, int h, int mi, int s, int ms)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

/// A fixed id, so that samples built twice compare equal.
inline QUuid sampleId(int n)
{
    return QUuid::fromString(QStringLiteral("00000000-0000-4000-8000-%1").arg(n, 12, 10, QLatin1Char('0')));
}

inline EntryData applicationEntry()
{
    EntryData e;
    e.id = sampleId(101);
    e.typeRawValue = QStringLiteral("application");
    e.appBundleIdentifier = QStringLiteral("org.kde.kate");
    e.filePath = QStringLiteral("/home/anna/Notizen/Plan „2025“.md");
    e.monitorID = QStringLiteral("3F1C2A9B-0D4E-4B6A-9C1F-2E7D8A5B6C40");
    e.frameX = 1920.5;
    e.frameY = -24;
    e.width = 1280;
    e.height = 1000.25;
    e.isFullscreen = true;
    e.delayAfterLaunch = 0.5;
    e.originalScreenX = 1920;
    e.originalScreenY = 0;
    e.originalScreenWidth = 2560;
    e.originalScreenHeight = 1440;
    return e;
}

inline EntryData websiteEntryWithAbsences()
{
    EntryData e;
    e.id = sampleId(102);
    e.typeRawValue = QStringLiteral("website");
    e.websiteURL = QStringLiteral("https://example.org/suche?q=\"a\\b\"&x=1#teil");
    e.frameX = 0;
    e.frameY = 0;
    e.width = 800;
    e.height = 600;
    e.delayAfterLaunch = -1;
    return e;
}

/// A captured browser window: its first tab in websiteURL, the rest in order,
/// the browser that showed it, maximised.
inline EntryData browserWindowEntry()
{
    EntryData e;
    e.id = sampleId(104);
    e.typeRawValue = QStringLiteral("website");
    e.appBundleIdentifier = QStringLiteral("firefox-esr");
    e.websiteURL = QStringLiteral("https://example.org/erster");
    e.additionalTabURLs = { QStringLiteral("https://example.org/zweiter?q=\"ä\""),
        QStringLiteral("data:text/plain,\\x"), QStringLiteral("https://example.org/erster") };
    e.isMaximized = true;
    e.virtualDesktop = 2;
    e.width = 2560;
    e.height = 1400;
    return e;
}

/// Three workspaces covering every field, absent and present, known and unknown texts.
inline QList<WorkspaceData> richWorkspaces()
{
    WorkspaceData a;
    a.id = sampleId(1);
    a.name = QStringLiteral("Entwicklung");
    a.icon = QStringLiteral("hammer.fill");
    a.category = QStringLiteral("Development");
    a.createdAt = utc(2024, 3, 1, 8, 15, 30, 123);
    a.modifiedAt = utc(2024, 3, 2, 9, 0, 0, 1);
    a.autoLaunch = true;
    a.restoreDocuments = false;
    a.isFavorite = true;
    a.launchCount = 42;
    a.lastLaunchedAt = utc(2024, 3, 5, 17, 45, 12, 999);
    a.timeSavedInSeconds = 2520;
    a.entries = { applicationEntry(), websiteEntryWithAbsences() };
    EntryData folder;
    folder.id = sampleId(103);
    folder.typeRawValue = QStringLiteral("folder");
    folder.filePath = QStringLiteral("/home/anna/Projekte");
    a.entries.append(folder);
    a.entries.append(browserWindowEntry());

    WorkspaceData b;
    b.id = sampleId(2);
    b.name = QStringLiteral("Leer");
    b.icon = QString();
    b.category = QStringLiteral("Video Editing");
    b.createdAt = utc(2023, 12, 31, 23, 59, 59, 0);
    b.modifiedAt = b.createdAt;

    WorkspaceData c;
    c.id = sampleId(3);
    c.name = QStringLiteral("Zukunft 🚀");
    c.icon = QStringLiteral("star");
    c.category = QStringLiteral("Something Later"); // not one of the eight: kept as stored
    c.createdAt = utc(2025, 1, 1, 0, 0, 0, 0);
    c.modifiedAt = utc(2025, 1, 1, 0, 0, 0, 0);
    c.launchCount = std::numeric_limits<qint64>::max();
    c.timeSavedInSeconds = 0.1;
    EntryData odd;
    odd.id = sampleId(301);
    odd.typeRawValue = QStringLiteral("Website"); // wrong case: reads as application, stored as is
    odd.monitorID = QString(); // present but empty
    c.entries = { odd };
    return { a, b, c };
}

inline bool sameDouble(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    return a == b;
}

inline bool sameDouble(std::optional<double> a, std::optional<double> b)
{
    return a.has_value() == b.has_value() && (!a || sameDouble(*a, *b));
}

// QDateTime equality compares instants; the zone written is always UTC, so
// the comparison also insists on that.
inline bool sameDate(const QDateTime &a, const QDateTime &b)
{
    return a.isValid() == b.isValid() && (!a.isValid() || a.toMSecsSinceEpoch() == b.toMSecsSinceEpoch());
}

#define BACKUP_SAME(cond, what)                                                                                        \
    if (!(cond))                                                                                                       \
        return where + QStringLiteral(what);

inline QString entryDifference(const EntryData &a, const EntryData &b, const QString &where)
{
    BACKUP_SAME(a.id == b.id, "id")
    BACKUP_SAME(a.typeRawValue == b.typeRawValue, "typeRawValue")
    BACKUP_SAME(a.appBundleIdentifier == b.appBundleIdentifier, "appBundleIdentifier")
    BACKUP_SAME(a.filePath == b.filePath, "filePath")
    BACKUP_SAME(a.websiteURL == b.websiteURL, "websiteURL")
    BACKUP_SAME(a.monitorID == b.monitorID, "monitorID")
    BACKUP_SAME(sameDouble(a.frameX, b.frameX), "frameX")
    BACKUP_SAME(sameDouble(a.frameY, b.frameY), "frameY")
    BACKUP_SAME(sameDouble(a.width, b.width), "width")
    BACKUP_SAME(sameDouble(a.height, b.height), "height")
    BACKUP_SAME(a.isFullscreen == b.isFullscreen, "isFullscreen")
    BACKUP_SAME(a.isMaximized == b.isMaximized, "isMaximized")
    BACKUP_SAME(a.additionalTabURLs == b.additionalTabURLs, "additionalTabURLs")
    BACKUP_SAME(sameDouble(a.delayAfterLaunch, b.delayAfterLaunch), "delayAfterLaunch")
    BACKUP_SAME(sameDouble(a.originalScreenX, b.originalScreenX), "originalScreenX")
    BACKUP_SAME(sameDouble(a.originalScreenY, b.originalScreenY), "originalScreenY")
    BACKUP_SAME(sameDouble(a.originalScreenWidth, b.originalScreenWidth), "originalScreenWidth")
    BACKUP_SAME(sameDouble(a.originalScreenHeight, b.originalScreenHeight), "originalScreenHeight")
    return {};
}

/// Empty when both lists hold the same workspaces in the same order, otherwise
/// the first field that differs.
inline QString difference(const QList<WorkspaceData> &x, const QList<WorkspaceData> &y)
{
    if (x.size() != y.size())
        return QStringLiteral("count %1 vs %2").arg(x.size()).arg(y.size());
    for (qsizetype i = 0; i < x.size(); ++i) {
        const WorkspaceData &a = x[i];
        const WorkspaceData &b = y[i];
        const QString where = QStringLiteral("workspace %1: ").arg(i);
        BACKUP_SAME(a.id == b.id, "id")
        BACKUP_SAME(a.name == b.name, "name")
        BACKUP_SAME(a.icon == b.icon, "icon")
        BACKUP_SAME(a.category == b.category, "category")
        BACKUP_SAME(sameDate(a.createdAt, b.createdAt), "createdAt")
        BACKUP_SAME(sameDate(a.modifiedAt, b.modifiedAt), "modifiedAt")
        BACKUP_SAME(a.autoLaunch == b.autoLaunch, "autoLaunch")
        BACKUP_SAME(a.restoreDocuments == b.restoreDocuments, "restoreDocuments")
        BACKUP_SAME(a.isFavorite == b.isFavorite, "isFavorite")
        BACKUP_SAME(a.launchCount == b.launchCount, "launchCount")
        BACKUP_SAME(a.lastLaunchedAt.has_value() == b.lastLaunchedAt.has_value(), "lastLaunchedAt presence")
        BACKUP_SAME(!a.lastLaunchedAt || sameDate(*a.lastLaunchedAt, *b.lastLaunchedAt), "lastLaunchedAt")
        BACKUP_SAME(sameDouble(a.timeSavedInSeconds, b.timeSavedInSeconds), "timeSavedInSeconds")
        BACKUP_SAME(a.entries.size() == b.entries.size(), "entry count")
        for (qsizetype j = 0; j < a.entries.size(); ++j) {
            const QString d = entryDifference(a.entries[j], b.entries[j], where + QStringLiteral("entry %1: ").arg(j));
            if (!d.isEmpty())
                return d;
        }
    }
    return {};
}

#undef BACKUP_SAME

// Random text drawn from awkward characters: quotes, escapes, controls,
// non-ASCII, pairs and lone halves of surrogates.
inline QString randomText(QRandomGenerator &rng)
{
    static const char16_t pool[] = { u'a', u'Z', u'"', u'\\', u'/', u'\n', u'\t', 0x0000, 0x001F, 0x007F, u'ä', 0x20AC,
        0xFFFF, 0xFEFF, 0x2028, 0xD83D, 0xDE80, 0xDC00, u' ', u'{' };
    QString s;
    const int n = int(rng.bounded(12));
    for (int i = 0; i < n; ++i)
        s.append(QChar(pool[rng.bounded(int(std::size(pool)))]));
    return s;
}

inline double randomDouble(QRandomGenerator &rng)
{
    switch (rng.bounded(8)) {
    case 0:
        return std::numeric_limits<double>::quiet_NaN();
    case 1:
        return rng.bounded(2) ? std::numeric_limits<double>::infinity() : -std::numeric_limits<double>::infinity();
    case 2:
        return -0.0;
    case 3:
        return std::numeric_limits<double>::denorm_min();
    case 4:
        return std::numeric_limits<double>::max();
    default: {
        double d;
        const quint64 bits = rng.generate64();
        std::memcpy(&d, &bits, sizeof d);
        return std::isfinite(d) ? d : rng.generateDouble() * 1e6 - 5e5;
    }
    }
}

inline std::optional<QDateTime> randomDate(QRandomGenerator &rng)
{
    if (rng.bounded(4) == 0)
        return std::nullopt;
    const qint64 lowest = utc(1, 1, 1, 0, 0, 0, 0).toMSecsSinceEpoch();
    const qint64 highest = utc(9999, 12, 31, 23, 59, 59, 999).toMSecsSinceEpoch();
    return QDateTime::fromMSecsSinceEpoch(lowest + qint64(rng.bounded(quint64(highest - lowest))), Qt::UTC);
}

/// Workspaces with random values in every field, seeded so a failure repeats.
inline QList<WorkspaceData> randomWorkspaces(quint32 seed, int count)
{
    QRandomGenerator rng(seed);
    auto optionalText = [&rng]() -> std::optional<QString> {
        if (rng.bounded(3) == 0)
            return std::nullopt;
        return randomText(rng);
    };
    auto optionalNumber = [&rng]() -> std::optional<double> {
        if (rng.bounded(3) == 0)
            return std::nullopt;
        return randomDouble(rng);
    };
    QList<WorkspaceData> list;
    for (int i = 0; i < count; ++i) {
        WorkspaceData w;
        w.name = randomText(rng);
        w.icon = randomText(rng);
        w.category = randomText(rng);
        w.createdAt = randomDate(rng).value_or(QDateTime());
        w.modifiedAt = randomDate(rng).value_or(QDateTime());
        w.autoLaunch = rng.bounded(2);
        w.restoreDocuments = rng.bounded(2);
        w.isFavorite = rng.bounded(2);
        w.launchCount = qint64(rng.generate64());
        w.lastLaunchedAt = randomDate(rng);
        w.timeSavedInSeconds = randomDouble(rng);
        const int entries = int(rng.bounded(6));
        for (int j = 0; j < entries; ++j) {
            EntryData e;
            e.typeRawValue = randomText(rng);
            e.appBundleIdentifier = optionalText();
            e.filePath = optionalText();
            e.websiteURL = optionalText();
            e.monitorID = optionalText();
            e.frameX = randomDouble(rng);
            e.frameY = randomDouble(rng);
            e.width = randomDouble(rng);
            e.height = randomDouble(rng);
            e.isFullscreen = rng.bounded(2);
            e.delayAfterLaunch = randomDouble(rng);
            e.originalScreenX = optionalNumber();
            e.originalScreenY = optionalNumber();
            e.originalScreenWidth = optionalNumber();
            e.originalScreenHeight = optionalNumber();
            w.entries.append(e);
        }
        list.append(w);
    }
    return list;
}

} // namespace backupsamples
