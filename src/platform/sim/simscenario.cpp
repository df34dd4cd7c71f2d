// Reads a scenario file's JSON into a simulated desktop (the format is in docs/scenario-format.md).
#include "simscenario.h"

#include "automation/axattributes.h"
#include "simulateddesktop.h"

#include <QJsonArray>
#include <QPointF>
#include <QSet>
#include <QSizeF>
#include <cmath>

namespace {

/// Thrown nowhere: each reader returns false and leaves its message here.
struct Reader {
    QString error;

    bool fail(const QString &where, const QString &what)
    {
        error = QStringLiteral("%1: %2").arg(where, what);
        return false;
    }

    bool checkKeys(const QJsonObject &object, const QString &where, const QSet<QString> &known)
    {
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (!known.contains(it.key()))
                return fail(where, QStringLiteral("unknown key \"%1\"").arg(it.key()));
        }
        return true;
    }

    bool numbers(const QJsonValue &value, qsizetype count, const QString &where, QList<double> *out)
    {
        const QJsonArray array = value.toArray();
        if (!value.isArray() || array.size() != count)
            return fail(where, QStringLiteral("expected an array of %1 numbers").arg(count));
        for (const QJsonValue &item : array) {
            if (!item.isDouble())
                return fail(where, QStringLiteral("expected an array of %1 numbers").arg(count));
            out->append(item.toDouble());
        }
        return true;
    }

    bool optionalString(
        const QJsonObject &object, const QString &key, const QString &where, std::optional<QString> *out)
    {
        const QJsonValue value = object.value(key);
        if (value.isUndefined() || value.isNull())
            return true;
        if (!value.isString())
            return fail(where + QLatin1Char('.') + key, QStringLiteral("expected a string"));
        *out = value.toString();
        return true;
    }

    bool boolean(const QJsonObject &object, const QString &key, const QString &where, bool *out)
    {
        const QJsonValue value = object.value(key);
        if (value.isUndefined())
            return true;
        if (!value.isBool())
            return fail(where + QLatin1Char('.') + key, QStringLiteral("expected true or false"));
        *out = value.toBool();
        return true;
    }

    bool seconds(const QJsonObject &object, const QString &key, const QString &where, double *out)
    {
        const QJsonValue value = object.value(key);
        if (value.isUndefined())
            return true;
        if (!value.isDouble() || value.toDouble() < 0)
            return fail(where + QLatin1Char('.') + key, QStringLiteral("expected a number of seconds, at least 0"));
        *out = value.toDouble();
        return true;
    }

    bool policy(const QJsonObject &object, const QString &where, int *out)
    {
        const QJsonValue value = object.value(QStringLiteral("policy"));
        if (value.isUndefined())
            return true;
        static const QHash<QString, int> names { { QStringLiteral("regular"), regularPolicy },
            { QStringLiteral("accessory"), accessoryPolicy }, { QStringLiteral("prohibited"), prohibitedPolicy } };
        if (value.isString() && names.contains(value.toString())) {
            *out = names.value(value.toString());
            return true;
        }
        if (value.isDouble() && value.toDouble() == std::floor(value.toDouble()) && std::abs(value.toDouble()) < 1e9) {
            *out = int(value.toDouble());
            return true;
        }
        return fail(where + QStringLiteral(".policy"), QStringLiteral("expected 0, 1, 2 or a policy name"));
    }

    bool window(const QJsonValue &value, const QString &where, SimWindow *out)
    {
        if (!value.isObject())
            return fail(where, QStringLiteral("expected an object"));
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            const QString key = it.key();
            const QJsonValue attribute = it.value();
            if (key == QLatin1String("refusesWrites")) {
                if (!boolean(object, key, where, &out->refusesWrites))
                    return false;
                continue;
            }
            if (!key.startsWith(QLatin1String("AX")))
                return fail(where, QStringLiteral("unknown key \"%1\" (attributes start with \"AX\")").arg(key));
            // Two numbers make a point or a size; anything else is kept as it
            // is, so that scenarios can give attributes of a wrong type.
            const bool pair = attribute.isArray() && attribute.toArray().size() == 2
                && attribute.toArray().at(0).isDouble() && attribute.toArray().at(1).isDouble();
            if (pair && key == Ax::position)
                out->attributes.insert(key, QPointF(attribute[0].toDouble(), attribute[1].toDouble()));
            else if (pair && key == Ax::size)
                out->attributes.insert(key, QSizeF(attribute[0].toDouble(), attribute[1].toDouble()));
            else
                out->attributes.insert(key, attribute.toVariant());
        }
        return true;
    }

    bool windows(const QJsonValue &value, const QString &where, QList<SimWindow> *out)
    {
        if (!value.isArray())
            return fail(where, QStringLiteral("expected an array of windows"));
        const QJsonArray array = value.toArray();
        for (qsizetype i = 0; i < array.size(); ++i) {
            SimWindow w;
            if (!window(array[i], QStringLiteral("%1[%2]").arg(where).arg(i), &w))
                return false;
            out->append(w);
        }
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
            if (!browsers.isArray() || array.size() > 4)
                return fail(where + QStringLiteral(".browsers"), QStringLiteral("expected up to four strings"));
            for (qsizetype i = 0; i < array.size(); ++i) {
                if (!array[i].isString())
                    return fail(where + QStringLiteral(".browsers"), QStringLiteral("expected up to four strings"));
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

    bool screens(const QJsonValue &value, QList<SimScreen> *out)
    {
        if (value.isUndefined())
            return true;
        if (!value.isArray())
            return fail(QStringLiteral("screens"), QStringLiteral("expected an array"));
        const QJsonArray array = value.toArray();
        for (qsizetype i = 0; i < array.size(); ++i) {
            const QString where = QStringLiteral("screens[%1]").arg(i);
            const QJsonObject object = array[i].toObject();
            if (!array[i].isObject())
                return fail(where, QStringLiteral("expected an object"));
            if (!checkKeys(object, where,
                    { QStringLiteral("displayNumber"), QStringLiteral("uuid"), QStringLiteral("bounds") }))
                return false;
            SimScreen screen;
            const QJsonValue number = object.value(QStringLiteral("displayNumber"));
            if (!number.isUndefined() && !number.isNull()) {
                const double n = number.toDouble(-1);
                if (!number.isDouble() || n < 0 || n > 4294967295.0 || n != std::floor(n))
                    return fail(where + QStringLiteral(".displayNumber"),
                        QStringLiteral("expected an unsigned 32-bit integer"));
                screen.displayNumber = quint32(n);
            }
            if (!optionalString(object, QStringLiteral("uuid"), where, &screen.uuid))
                return false;
            QList<double> bounds;
            if (!numbers(object.value(QStringLiteral("bounds")), 4, where + QStringLiteral(".bounds"), &bounds))
                return false;
            screen.bounds = QRectF(bounds[0], bounds[1], bounds[2], bounds[3]);
            out->append(screen);
        }
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
            const QString where = QStringLiteral("running[%1]").arg(i);
            if (!array[i].isObject())
                return fail(where, QStringLiteral("expected an object"));
            const QJsonObject object = array[i].toObject();
            if (!checkKeys(object, where,
                    { QStringLiteral("bundleIdentifier"), QStringLiteral("policy"), QStringLiteral("pid"),
                        QStringLiteral("windows"), QStringLiteral("quitsOnTerminate") }))
                return false;
            SimApplication application;
            if (!optionalString(object, QStringLiteral("bundleIdentifier"), where, &application.bundleIdentifier)
                || !policy(object, where, &application.activationPolicy)
                || !boolean(object, QStringLiteral("quitsOnTerminate"), where, &application.quitsOnTerminate))
                return false;
            const QJsonValue pid = object.value(QStringLiteral("pid"));
            if (!pid.isUndefined()) {
                if (!pid.isDouble() || pid.toDouble() < 1 || pid.toDouble() > 4e9
                    || pid.toDouble() != std::floor(pid.toDouble()))
                    return fail(where + QStringLiteral(".pid"), QStringLiteral("expected a positive integer"));
                application.processIdentifier = qint64(pid.toDouble());
            }
            const QJsonValue list = object.value(QStringLiteral("windows"));
            if (list.isNull())
                application.windowListMissing = true;
            else if (!list.isUndefined() && !windows(list, where + QStringLiteral(".windows"), &application.windows))
                return false;
            desktop.addRunningApplication(application);
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
                    QStringLiteral("fails"), QStringLiteral("policy"), QStringLiteral("windows") }))
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
        return list.isUndefined() || windows(list, where + QStringLiteral(".windows"), &plan->windows);
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
                    { QStringLiteral("bundleIdentifier"), QStringLiteral("location"), QStringLiteral("launch") }))
                return false;
            std::optional<QString> identifier;
            std::optional<QString> location;
            if (!optionalString(object, QStringLiteral("bundleIdentifier"), where, &identifier)
                || !optionalString(object, QStringLiteral("location"), where, &location))
                return false;
            if (!identifier || identifier->isEmpty())
                return fail(where + QStringLiteral(".bundleIdentifier"), QStringLiteral("required"));
            SimInstalledApplication application;
            application.bundleIdentifier = *identifier;
            application.location
                = location.value_or(QStringLiteral("/usr/share/applications/%1.desktop").arg(*identifier));
            if (!launchPlan(
                    object.value(QStringLiteral("launch")), where + QStringLiteral(".launch"), &application.plan))
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
    Reader reader;
    const auto done = [&](bool ok) {
        if (!ok && error)
            *error = reader.error;
        return ok;
    };
    if (!reader.checkKeys(scenario, QStringLiteral("scenario"),
            { QStringLiteral("description"), QStringLiteral("trusted"), QStringLiteral("ownBundleIdentifier"),
                QStringLiteral("profile"), QStringLiteral("screens"), QStringLiteral("mainScreen"),
                QStringLiteral("running"), QStringLiteral("installed"), QStringLiteral("scripts"),
                QStringLiteral("files") }))
        return done(false);

    bool trusted = true;
    std::optional<QString> own;
    PlatformProfile profile = PlatformProfile::classic();
    QList<SimScreen> screens;
    if (!reader.boolean(scenario, QStringLiteral("trusted"), QStringLiteral("scenario"), &trusted)
        || !reader.optionalString(scenario, QStringLiteral("ownBundleIdentifier"), QStringLiteral("scenario"), &own)
        || !reader.profile(scenario.value(QStringLiteral("profile")), &profile)
        || !reader.screens(scenario.value(QStringLiteral("screens")), &screens))
        return done(false);

    // The first screen is the main one unless the scenario says otherwise.
    std::optional<int> mainScreen;
    if (!screens.isEmpty())
        mainScreen = 0;
    const QJsonValue main = scenario.value(QStringLiteral("mainScreen"));
    if (main.isNull()) {
        mainScreen.reset();
    } else if (!main.isUndefined()) {
        const double index = main.toDouble(-1);
        if (!main.isDouble() || index < 0 || index >= double(screens.size()) || index != std::floor(index))
            return done(
                reader.fail(QStringLiteral("mainScreen"), QStringLiteral("expected an index into screens or null")));
        mainScreen = int(index);
    }

    desktop.setTrusted(trusted);
    desktop.setOwnBundleIdentifier(own);
    desktop.setProfile(profile);
    desktop.setScreens(screens);
    desktop.setMainScreenIndex(mainScreen);
    return done(reader.running(scenario.value(QStringLiteral("running")), desktop)
        && reader.installed(scenario.value(QStringLiteral("installed")), desktop)
        && reader.scripts(scenario.value(QStringLiteral("scripts")), desktop)
        && reader.files(scenario.value(QStringLiteral("files")), desktop));
}
