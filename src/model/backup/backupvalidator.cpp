// Checks a parsed backup document field by field and turns it into workspaces.
#include "backupvalidator.h"

#include "backuplimits.h"

#include <QHash>
#include <QJsonArray>
#include <QLocale>
#include <QRegularExpression>
#include <limits>

namespace {
QString quoted(const char *key)
{
    return QStringLiteral("„%1“").arg(QLatin1String(key));
}

QString germanCount(qsizetype n)
{
    return QLocale(QLocale::German).toString(qint64(n));
}

// JSON numbers that Qt keeps as integers give the same value whatever the
// fallback; anything fractional or out of range falls back and so differs.
std::optional<qint64> wholeNumber(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const qint64 a = value.toInteger(0);
    const qint64 b = value.toInteger(1);
    if (a != b)
        return std::nullopt;
    return a;
}

// Reads the members of one object; the first problem is written to `error`
// with the place of the object, and every later read then fails too.
class FieldReader
{
public:
    FieldReader(const QJsonObject &object, QString place, QString &error)
        : m_object(object)
        , m_place(std::move(place))
        , m_error(error)
    {
    }

    bool string(const char *key, QString &out)
    {
        QJsonValue v;
        if (!present(key, v))
            return false;
        if (!v.isString())
            return fail(key, QStringLiteral("muss Text sein"));
        return text(key, v, out);
    }

    bool optionalString(const char *key, std::optional<QString> &out)
    {
        QJsonValue v;
        if (!present(key, v))
            return false;
        if (v.isNull()) {
            out.reset();
            return true;
        }
        if (!v.isString())
            return fail(key, QStringLiteral("muss Text oder null sein"));
        QString s;
        if (!text(key, v, s))
            return false;
        out = std::move(s);
        return true;
    }

    bool number(const char *key, double &out)
    {
        QJsonValue v;
        if (!present(key, v))
            return false;
        if (!toDouble(v, out))
            return fail(key, QStringLiteral("muss eine Zahl sein"));
        return true;
    }

    bool optionalNumber(const char *key, std::optional<double> &out)
    {
        QJsonValue v;
        if (!present(key, v))
            return false;
        if (v.isNull()) {
            out.reset();
            return true;
        }
        double d = 0;
        if (!toDouble(v, d))
            return fail(key, QStringLiteral("muss eine Zahl oder null sein"));
        out = d;
        return true;
    }

    bool integer(const char *key, qint64 &out)
    {
        QJsonValue v;
        if (!present(key, v))
            return false;
        const std::optional<qint64> n = wholeNumber(v);
        if (!n)
            return fail(key, QStringLiteral("muss eine ganze Zahl sein"));
        out = *n;
        return true;
    }

    bool boolean(const char *key, bool &out)
    {
        QJsonValue v;
        if (!present(key, v))
            return false;
        if (!v.isBool())
            return fail(key, QStringLiteral("muss true oder false sein"));
        out = v.toBool();
        return true;
    }

    // Members added to the format later: a file from before them lacks them,
    // and that reads as the default. Present, they are checked as strictly
    // as every other member.
    bool laterBoolean(const char *key, bool &out)
    {
        if (m_error.isEmpty() && !m_object.contains(QLatin1String(key)))
            return true;
        return boolean(key, out);
    }

    // A virtual desktop number: -1 (every desktop) up to the largest kept; absent or null is unknown.
    bool laterDesktop(const char *key, std::optional<int> &out)
    {
        if (m_error.isEmpty() && !m_object.contains(QLatin1String(key)))
            return true;
        QJsonValue v;
        if (!present(key, v))
            return false;
        if (v.isNull()) {
            out.reset();
            return true;
        }
        const std::optional<qint64> n = wholeNumber(v);
        if (!n || *n < -1 || *n > EntryLimits::largestVirtualDesktop)
            return fail(key,
                QStringLiteral("muss eine ganze Zahl von -1 bis %1 oder null sein")
                    .arg(germanCount(EntryLimits::largestVirtualDesktop)));
        out = int(*n);
        return true;
    }

    // A text or null added later; absent reads as none.
    bool laterOptionalText(const char *key, std::optional<QString> &out)
    {
        if (m_error.isEmpty() && !m_object.contains(QLatin1String(key)))
            return true;
        return optionalString(key, out);
    }

    // A list of texts, each bounded like any text member, at most `maxCount`
    // of them; absent or null is the empty list.
    bool laterStrings(const char *key, qsizetype maxCount, QStringList &out)
    {
        if (m_error.isEmpty() && !m_object.contains(QLatin1String(key)))
            return true;
        QJsonValue v;
        if (!present(key, v))
            return false;
        if (v.isNull()) {
            out.clear();
            return true;
        }
        if (!v.isArray())
            return fail(key, QStringLiteral("muss eine Liste von Texten oder null sein"));
        const QJsonArray items = v.toArray();
        if (items.size() > maxCount)
            return fail(key, QStringLiteral("hat mehr als %1 Einträge").arg(germanCount(maxCount)));
        QStringList texts;
        texts.reserve(items.size());
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (!items[i].isString())
                return fail(key, QStringLiteral("enthält an Stelle %1 keinen Text").arg(i + 1));
            QString s;
            if (!text(key, items[i], s))
                return false;
            texts.append(std::move(s));
        }
        out = std::move(texts);
        return true;
    }

    bool uuid(const char *key, QUuid &out)
    {
        static const QRegularExpression pattern(
            QStringLiteral("^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}$"));
        QJsonValue v;
        if (!present(key, v))
            return false;
        if (!v.isString() || !pattern.match(v.toString()).hasMatch())
            return fail(key, QStringLiteral("ist keine gültige UUID"));
        out = QUuid::fromString(v.toString());
        return true;
    }

    // null stands for a date that had no text when written (an invalid one).
    bool date(const char *key, QDateTime &out)
    {
        std::optional<QDateTime> d;
        if (!optionalDate(key, d))
            return false;
        out = d.value_or(QDateTime());
        return true;
    }

    bool optionalDate(const char *key, std::optional<QDateTime> &out)
    {
        // A zone is required: without one the same text would mean another
        // moment on every machine.
        static const QRegularExpression pattern(
            QStringLiteral("^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}(\\.\\d{1,3})?(Z|[+-]\\d{2}:\\d{2})$"));
        QJsonValue v;
        if (!present(key, v))
            return false;
        if (v.isNull()) {
            out.reset();
            return true;
        }
        const QString s = v.toString();
        if (!v.isString() || !pattern.match(s).hasMatch())
            return fail(key, QStringLiteral("ist kein gültiges Datum"));
        const QDateTime d = QDateTime::fromString(s, Qt::ISODateWithMs);
        if (!d.isValid())
            return fail(key, QStringLiteral("ist kein gültiges Datum"));
        out = d.toUTC();
        return true;
    }

    bool array(const char *key, QJsonArray &out)
    {
        QJsonValue v;
        if (!present(key, v))
            return false;
        if (!v.isArray())
            return fail(key, QStringLiteral("muss eine Liste sein"));
        out = v.toArray();
        return true;
    }

    bool fail(const char *key, const QString &problem)
    {
        if (m_error.isEmpty())
            m_error = m_place + QStringLiteral("Feld %1 %2").arg(quoted(key), problem);
        return false;
    }

private:
    bool present(const char *key, QJsonValue &out)
    {
        if (!m_error.isEmpty())
            return false;
        const auto it = m_object.constFind(QLatin1String(key));
        if (it == m_object.constEnd())
            return fail(key, QStringLiteral("fehlt"));
        out = it.value();
        return true;
    }

    bool text(const char *key, const QJsonValue &v, QString &out)
    {
        out = v.toString();
        if (out.size() > BackupLimits::maxStringLength)
            return fail(key,
                QStringLiteral("ist zu lang (mehr als %1 Zeichen)").arg(germanCount(BackupLimits::maxStringLength)));
        return true;
    }

    static bool toDouble(const QJsonValue &v, double &out)
    {
        if (v.isDouble()) {
            out = v.toDouble();
            return true;
        }
        const QString s = v.toString();
        if (s == QLatin1String("NaN"))
            out = std::numeric_limits<double>::quiet_NaN();
        else if (s == QLatin1String("Infinity"))
            out = std::numeric_limits<double>::infinity();
        else if (s == QLatin1String("-Infinity"))
            out = -std::numeric_limits<double>::infinity();
        else
            return false;
        return true;
    }

    const QJsonObject &m_object;
    QString m_place;
    QString &m_error;
};

// Ids seen so far, with the place where each first appeared.
using SeenIds = QHash<QUuid, QString>;

bool readEntry(const QJsonObject &object, const QString &place, SeenIds &seen, EntryData &e, QString &error)
{
    FieldReader r(object, place + QStringLiteral(": "), error);
    const bool ok = r.uuid("id", e.id) && r.string("typeRawValue", e.typeRawValue)
        && r.optionalString("appBundleIdentifier", e.appBundleIdentifier) && r.optionalString("filePath", e.filePath)
        && r.optionalString("websiteURL", e.websiteURL) && r.optionalString("monitorID", e.monitorID)
        && r.number("frameX", e.frameX) && r.number("frameY", e.frameY) && r.number("width", e.width)
        && r.number("height", e.height) && r.boolean("isFullscreen", e.isFullscreen)
        && r.number("delayAfterLaunch", e.delayAfterLaunch) && r.optionalNumber("originalScreenX", e.originalScreenX)
        && r.optionalNumber("originalScreenY", e.originalScreenY)
        && r.optionalNumber("originalScreenWidth", e.originalScreenWidth)
        && r.optionalNumber("originalScreenHeight", e.originalScreenHeight)
        && r.laterBoolean("isMaximized", e.isMaximized)
        && r.laterStrings("additionalTabURLs", BackupLimits::maxAdditionalTabs, e.additionalTabURLs)
        && r.laterDesktop("virtualDesktop", e.virtualDesktop) && r.laterOptionalText("windowTitle", e.windowTitle);
    if (!ok)
        return false;
    // Entry ids identify rows in lists, so two entries may not share one.
    if (const auto it = seen.constFind(e.id); it != seen.constEnd()) {
        error = place + QStringLiteral(": ID kommt doppelt vor (wie %1)").arg(it.value());
        return false;
    }
    seen.insert(e.id, place);
    return true;
}

bool readWorkspace(const QJsonObject &object, const QString &place, SeenIds &seenWorkspaces, SeenIds &seenEntries,
    WorkspaceData &w, QString &error)
{
    FieldReader r(object, place + QStringLiteral(": "), error);
    QJsonArray entries;
    const bool ok = r.uuid("id", w.id) && r.string("name", w.name) && r.string("icon", w.icon)
        && r.string("category", w.category) && r.date("createdAt", w.createdAt) && r.date("modifiedAt", w.modifiedAt)
        && r.boolean("autoLaunch", w.autoLaunch) && r.boolean("restoreDocuments", w.restoreDocuments)
        && r.boolean("isFavorite", w.isFavorite) && r.integer("launchCount", w.launchCount)
        && r.optionalDate("lastLaunchedAt", w.lastLaunchedAt) && r.number("timeSavedInSeconds", w.timeSavedInSeconds)
        && r.array("entries", entries);
    if (!ok)
        return false;
    if (const auto it = seenWorkspaces.constFind(w.id); it != seenWorkspaces.constEnd()) {
        error = place + QStringLiteral(": ID kommt doppelt vor (wie %1)").arg(it.value());
        return false;
    }
    seenWorkspaces.insert(w.id, place);
    w.entries.reserve(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString entryPlace = place + QStringLiteral(", Eintrag %1").arg(i + 1);
        if (!entries[i].isObject()) {
            error = entryPlace + QStringLiteral(" ist kein Objekt");
            return false;
        }
        EntryData e;
        if (!readEntry(entries[i].toObject(), entryPlace, seenEntries, e, error))
            return false;
        w.entries.append(std::move(e));
    }
    return true;
}

// Counted before anything is converted, so an oversized file costs no more
// than its parse.
QString countProblem(const QJsonArray &workspaces)
{
    if (workspaces.size() > BackupLimits::maxWorkspaces)
        return QStringLiteral("Mehr als %1 Workspaces").arg(germanCount(BackupLimits::maxWorkspaces));
    qsizetype entries = 0;
    for (const QJsonValue &w : workspaces)
        entries += w.toObject().value(QLatin1String("entries")).toArray().size();
    if (entries > BackupLimits::maxEntries)
        return QStringLiteral("Mehr als %1 Einträge").arg(germanCount(BackupLimits::maxEntries));
    return {};
}
} // namespace

BackupParseResult BackupValidator::validate(const QJsonObject &root)
{
    QString error;
    FieldReader envelope(root, QString(), error);
    qint64 version = 0;
    if (!envelope.integer("version", version))
        return BackupParseResult::refused(error);
    // A newer version may mean anything; guessing could import it wrongly.
    if (version != 1)
        return BackupParseResult::refused(QStringLiteral("Unbekannte Version %1").arg(version));
    QJsonArray workspaces;
    if (!envelope.array("workspaces", workspaces))
        return BackupParseResult::refused(error);
    if (const QString problem = countProblem(workspaces); !problem.isEmpty())
        return BackupParseResult::refused(problem);

    BackupParseResult result;
    result.workspaces.reserve(workspaces.size());
    SeenIds seenWorkspaces;
    SeenIds seenEntries;
    for (qsizetype i = 0; i < workspaces.size(); ++i) {
        const QString place = QStringLiteral("Workspace %1").arg(i + 1);
        if (!workspaces[i].isObject())
            return BackupParseResult::refused(place + QStringLiteral(" ist kein Objekt"));
        WorkspaceData w;
        if (!readWorkspace(workspaces[i].toObject(), place, seenWorkspaces, seenEntries, w, error))
            return BackupParseResult::refused(error);
        result.workspaces.append(std::move(w));
    }
    return result;
}
