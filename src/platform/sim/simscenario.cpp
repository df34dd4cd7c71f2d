// Reads a scenario file's JSON into a simulated desktop (the format is in docs/scenario-format.md).
#include "simscenario.h"

#include "simjsonreader.h"
#include "simulateddesktop.h"
#include "simwindowreader.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

/// The scenario's sections, each read in full before the next; the first
/// malformed value stops the reading.
struct ScenarioReader : SimJsonReader {
    /// An application id under its typed name "appId" or its old name "bundleIdentifier".
    bool appId(const QJsonObject &object, const QString &where, std::optional<QString> *out)
    {
        QString key;
        return eitherKey(object, QStringLiteral("bundleIdentifier"), QStringLiteral("appId"), where, &key)
            && optionalString(object, key, where, out);
    }

    /// "regular" (a bool) or the old "policy" (a number or a policy name).
    bool policy(const QJsonObject &object, const QString &where, int *out)
    {
        QString key;
        if (!eitherKey(object, QStringLiteral("policy"), QStringLiteral("regular"), where, &key))
            return false;
        const QJsonValue value = object.value(key);
        if (value.isUndefined())
            return true;
        if (key == QLatin1String("regular")) {
            bool regular = true;
            if (!boolean(object, key, where, &regular))
                return false;
            *out = regular ? SimPolicy::regular : SimPolicy::accessory;
            return true;
        }
        static const QHash<QString, int> names { { QStringLiteral("regular"), SimPolicy::regular },
            { QStringLiteral("accessory"), SimPolicy::accessory },
            { QStringLiteral("prohibited"), SimPolicy::prohibited } };
        if (value.isString() && names.contains(value.toString())) {
            *out = names.value(value.toString());
            return true;
        }
        double number = 0;
        if (!integer(
                value, -1e9 + 1, 1e9 - 1, at(where, key), QStringLiteral("expected 0, 1, 2 or a policy name"), &number))
            return false;
        *out = int(number);
        return true;
    }

    bool profile(const QJsonValue &value, PlatformProfile *out)
    {
        const QString where = QStringLiteral("profile");
        if (value.isUndefined() || value == QJsonValue(QStringLiteral("classic")))
            return true;
        if (!value.isObject())
            return fail(where, QStringLiteral("expected \"classic\" or an object"));
        const QJsonObject object = value.toObject();
        if (!checkKeys(object, where,
                { QStringLiteral("browsers"), QStringLiteral("fileManager"), QStringLiteral("ide"),
                    QStringLiteral("websiteFallback"), QStringLiteral("folderFallback") }))
            return false;
        PlatformProfile profile;
        const QJsonValue browsers = object.value(QStringLiteral("browsers"));
        if (!browsers.isUndefined()) {
            const QJsonArray array = browsers.toArray();
            const QString expected = QStringLiteral("expected up to four strings");
            if (!browsers.isArray() || array.size() > 4)
                return fail(at(where, QStringLiteral("browsers")), expected);
            for (qsizetype i = 0; i < array.size(); ++i) {
                if (!array[i].isString())
                    return fail(at(where, QStringLiteral("browsers")), expected);
                profile.browsers[size_t(i)] = array[i].toString();
            }
        }
        const std::pair<QString, QString *> fields[] = {
            { QStringLiteral("fileManager"), &profile.fileManager },
            { QStringLiteral("ide"), &profile.ide },
            { QStringLiteral("websiteFallback"), &profile.websiteFallback },
            { QStringLiteral("folderFallback"), &profile.folderFallback },
        };
        for (const auto &[key, field] : fields) {
            std::optional<QString> text;
            if (!optionalString(object, key, where, &text))
                return false;
            *field = text.value_or(QString());
        }
        *out = profile;
        return true;
    }

    bool screen(const QJsonValue &value, const QString &where, SimScreen *out)
    {
        if (!value.isObject())
            return fail(where, QStringLiteral("expected an object"));
        const QJsonObject object = value.toObject();
        if (!checkKeys(object, where,
                { QStringLiteral("displayNumber"), QStringLiteral("uuid"), QStringLiteral("bounds"),
                    QStringLiteral("identifier"), QStringLiteral("connector"), QStringLiteral("primary") }))
            return false;
        // The typed identifier says all the old pair said; both would disagree sooner or later.
        if (object.contains(QLatin1String("identifier"))
            && (object.contains(QLatin1String("uuid")) || object.contains(QLatin1String("displayNumber"))))
            return fail(where, QStringLiteral("give \"identifier\" or \"displayNumber\" and \"uuid\", not both"));
        const QJsonValue number = object.value(QStringLiteral("displayNumber"));
        if (!number.isUndefined() && !number.isNull()) {
            double n = 0;
            if (!integer(number, 0, 4294967295.0, at(where, QStringLiteral("displayNumber")),
                    QStringLiteral("expected an unsigned 32-bit integer"), &n))
                return false;
            out->displayNumber = quint32(n);
        }
        std::optional<QString> connector;
        if (!optionalString(object, QStringLiteral("uuid"), where, &out->uuid)
            || !optionalString(object, QStringLiteral("identifier"), where, &out->identifier)
            || !optionalString(object, QStringLiteral("connector"), where, &connector))
            return false;
        if (out->identifier && out->identifier->isEmpty())
            return fail(at(where, QStringLiteral("identifier")), QStringLiteral("expected a non-empty string or null"));
        out->connector = connector.value_or(QString());
        if (object.contains(QLatin1String("primary"))) {
            bool primary = false;
            if (!boolean(object, QStringLiteral("primary"), where, &primary))
                return false;
            out->primary = primary;
        }
        QList<double> bounds;
        if (!numbers(object.value(QStringLiteral("bounds")), 4, at(where, QStringLiteral("bounds")), &bounds))
            return false;
        out->bounds = QRectF(bounds[0], bounds[1], bounds[2], bounds[3]);
        return true;
    }

    /// `key` is "screens" or "monitors", whichever the scenario uses.
    bool screens(const QString &key, const QJsonValue &value, QList<SimScreen> *out)
    {
        if (value.isUndefined())
            return true;
        if (!value.isArray())
            return fail(key, QStringLiteral("expected an array"));
        const QJsonArray array = value.toArray();
        for (qsizetype i = 0; i < array.size(); ++i) {
            SimScreen one;
            if (!screen(array[i], QStringLiteral("%1[%2]").arg(key).arg(i), &one))
                return false;
            out->append(one);
        }
        return true;
    }

    /// The screen holding the focused window: the first unless the scenario says otherwise.
    bool focused(const QString &key, const QJsonValue &value, qsizetype screenCount, std::optional<int> *out)
    {
        if (screenCount > 0)
            *out = 0;
        if (value.isNull()) {
            out->reset();
            return true;
        }
        if (value.isUndefined())
            return true;
        double index = 0;
        const QString expected
            = QStringLiteral("expected an index into %1 or null")
                  .arg(key == QLatin1String("mainScreen") ? QStringLiteral("screens") : QStringLiteral("monitors"));
        if (screenCount == 0 || !integer(value, 0, double(screenCount - 1), key, expected, &index))
            return fail(key, expected);
        *out = int(index);
        return true;
    }

    bool application(const QJsonValue &value, const QString &where, SimApplication *out)
    {
        if (!value.isObject())
            return fail(where, QStringLiteral("expected an object"));
        const QJsonObject object = value.toObject();
        if (!checkKeys(object, where,
                { QStringLiteral("bundleIdentifier"), QStringLiteral("appId"), QStringLiteral("policy"),
                    QStringLiteral("regular"), QStringLiteral("pid"), QStringLiteral("windows"),
                    QStringLiteral("quitsOnTerminate") }))
            return false;
        if (!appId(object, where, &out->appId) || !policy(object, where, &out->activationPolicy)
            || !boolean(object, QStringLiteral("quitsOnTerminate"), where, &out->quitsOnTerminate))
            return false;
        const QJsonValue pid = object.value(QStringLiteral("pid"));
        double number = 0;
        if (!pid.isUndefined()) {
            if (!integer(pid, 1, 4e9, at(where, QStringLiteral("pid")), QStringLiteral("expected a positive integer"),
                    &number))
                return false;
            out->processIdentifier = qint64(number);
        }
        const QJsonValue list = object.value(QStringLiteral("windows"));
        if (list.isNull())
            out->windowListMissing = true;
        else if (!list.isUndefined()
            && !SimWindowReader::readList(*this, list, at(where, QStringLiteral("windows")), &out->windows))
            return false;
        return true;
    }

    bool running(const QJsonValue &value, SimulatedDesktop &desktop)
    {
        if (value.isUndefined())
            return true;
        if (!value.isArray())
            return fail(QStringLiteral("running"), QStringLiteral("expected an array"));
        const QJsonArray array = value.toArray();
        for (qsizetype i = 0; i < array.size(); ++i) {
            SimApplication one;
            if (!application(array[i], QStringLiteral("running[%1]").arg(i), &one))
                return false;
            desktop.addRunningApplication(one);
        }
        return true;
    }

    bool launchPlan(const QJsonValue &value, const QString &where, SimLaunchPlan *plan)
    {
        if (value.isUndefined())
            return true;
        if (!value.isObject())
            return fail(where, QStringLiteral("expected an object"));
        const QJsonObject object = value.toObject();
        if (!checkKeys(object, where,
                { QStringLiteral("completionAfter"), QStringLiteral("windowAfter"), QStringLiteral("neverCompletes"),
                    QStringLiteral("fails"), QStringLiteral("policy"), QStringLiteral("regular"),
                    QStringLiteral("windows") }))
            return false;
        if (!seconds(object, QStringLiteral("completionAfter"), where, &plan->completionDelay)
            || !boolean(object, QStringLiteral("neverCompletes"), where, &plan->neverCompletes)
            || !boolean(object, QStringLiteral("fails"), where, &plan->fails)
            || !policy(object, where, &plan->activationPolicy))
            return false;
        const QJsonValue windowAfter = object.value(QStringLiteral("windowAfter"));
        if (windowAfter.isNull()) {
            plan->windowDelay.reset();
        } else if (!windowAfter.isUndefined()) {
            double delay = 0;
            if (!seconds(object, QStringLiteral("windowAfter"), where, &delay))
                return false;
            plan->windowDelay = delay;
        }
        const QJsonValue list = object.value(QStringLiteral("windows"));
        return list.isUndefined()
            || SimWindowReader::readList(*this, list, at(where, QStringLiteral("windows")), &plan->windows);
    }

    bool installed(const QJsonValue &value, SimulatedDesktop &desktop)
    {
        if (value.isUndefined())
            return true;
        if (!value.isArray())
            return fail(QStringLiteral("installed"), QStringLiteral("expected an array"));
        const QJsonArray array = value.toArray();
        for (qsizetype i = 0; i < array.size(); ++i) {
            const QString where = QStringLiteral("installed[%1]").arg(i);
            if (!array[i].isObject())
                return fail(where, QStringLiteral("expected an object"));
            const QJsonObject object = array[i].toObject();
            if (!checkKeys(object, where,
                    { QStringLiteral("bundleIdentifier"), QStringLiteral("appId"), QStringLiteral("location"),
                        QStringLiteral("launch") }))
                return false;
            std::optional<QString> identifier;
            std::optional<QString> location;
            if (!appId(object, where, &identifier)
                || !optionalString(object, QStringLiteral("location"), where, &location))
                return false;
            if (!identifier || identifier->isEmpty()) {
                const bool typed = object.contains(QLatin1String("appId"));
                return fail(at(where, typed ? QStringLiteral("appId") : QStringLiteral("bundleIdentifier")),
                    QStringLiteral("required"));
            }
            SimInstalledApplication application;
            application.appId = *identifier;
            application.location
                = location.value_or(QStringLiteral("/usr/share/applications/%1.desktop").arg(*identifier));
            if (!launchPlan(
                    object.value(QStringLiteral("launch")), at(where, QStringLiteral("launch")), &application.plan))
                return false;
            desktop.installApplication(application);
        }
        return true;
    }

    bool scripts(const QJsonValue &value, SimulatedDesktop &desktop)
    {
        if (value.isUndefined())
            return true;
        if (!value.isObject())
            return fail(QStringLiteral("scripts"), QStringLiteral("expected an object"));
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            ScriptResult result;
            const QJsonValue answer = it.value();
            if (answer.isObject() && answer.toObject().contains(QStringLiteral("failed")))
                result.failed = answer.toObject().value(QStringLiteral("failed")).toBool(true);
            else
                result.value = answer.toVariant();
            desktop.setScriptResult(it.key(), result);
        }
        return true;
    }

    bool files(const QJsonValue &value, SimulatedDesktop &desktop)
    {
        if (value.isUndefined())
            return true;
        if (!value.isObject())
            return fail(QStringLiteral("files"), QStringLiteral("expected an object"));
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            const QString kind = it.value().toString();
            if (kind != QLatin1String("file") && kind != QLatin1String("directory"))
                return fail(QStringLiteral("files.") + it.key(), QStringLiteral("expected \"file\" or \"directory\""));
            desktop.setFile(it.key(), kind == QLatin1String("directory"));
        }
        return true;
    }
};

} // namespace

bool SimScenario::apply(const QJsonObject &scenario, SimulatedDesktop &desktop, QString *error)
{
    ScenarioReader reader;
    const auto done = [&](bool ok) {
        if (!ok && error)
            *error = reader.error;
        return ok;
    };
    const QString where = QStringLiteral("scenario");
    if (!reader.checkKeys(scenario, where,
            { QStringLiteral("description"), QStringLiteral("trusted"), QStringLiteral("canControlWindows"),
                QStringLiteral("ownBundleIdentifier"), QStringLiteral("ownAppId"), QStringLiteral("profile"),
                QStringLiteral("screens"), QStringLiteral("monitors"), QStringLiteral("mainScreen"),
                QStringLiteral("focusedMonitor"), QStringLiteral("running"), QStringLiteral("installed"),
                QStringLiteral("scripts"), QStringLiteral("files") }))
        return done(false);

    QString trustedKey;
    QString ownKey;
    QString screensKey;
    QString focusedKey;
    if (!reader.eitherKey(scenario, QStringLiteral("trusted"), QStringLiteral("canControlWindows"), where, &trustedKey)
        || !reader.eitherKey(
            scenario, QStringLiteral("ownBundleIdentifier"), QStringLiteral("ownAppId"), where, &ownKey)
        || !reader.eitherKey(scenario, QStringLiteral("screens"), QStringLiteral("monitors"), where, &screensKey)
        || !reader.eitherKey(
            scenario, QStringLiteral("mainScreen"), QStringLiteral("focusedMonitor"), where, &focusedKey))
        return done(false);

    bool trusted = true;
    std::optional<QString> own;
    PlatformProfile profile = PlatformProfile::classic();
    QList<SimScreen> screens;
    std::optional<int> focused;
    if (!reader.boolean(scenario, trustedKey, where, &trusted) || !reader.optionalString(scenario, ownKey, where, &own)
        || !reader.profile(scenario.value(QStringLiteral("profile")), &profile)
        || !reader.screens(screensKey, scenario.value(screensKey), &screens)
        || !reader.focused(focusedKey, scenario.value(focusedKey), screens.size(), &focused))
        return done(false);

    desktop.setTrusted(trusted);
    desktop.setOwnAppId(own);
    desktop.setProfile(profile);
    desktop.setScreens(screens);
    desktop.setMainScreenIndex(focused);
    return done(reader.running(scenario.value(QStringLiteral("running")), desktop)
        && reader.installed(scenario.value(QStringLiteral("installed")), desktop)
        && reader.scripts(scenario.value(QStringLiteral("scripts")), desktop)
        && reader.files(scenario.value(QStringLiteral("files")), desktop));
}

bool SimScenario::readFile(const QString &path, QJsonObject *scenario, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        if (error)
            *error = QStringLiteral("%1 is not a JSON object: %2").arg(path, parseError.errorString());
        return false;
    }
    *scenario = document.object();
    return true;
}
