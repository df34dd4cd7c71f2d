// Reads the windows of a scenario, given by typed keys or by the old attribute keys ("AXTitle", "AXPosition", ...).
#include "simwindowreader.h"

#include "simtranslation.h"

#include <QJsonArray>
#include <QPointF>
#include <QSizeF>
#include <climits>

namespace {

const QString refusesWritesKey = QStringLiteral("refusesWrites");

const QSet<QString> &typedKeys()
{
    static const QSet<QString> keys { QStringLiteral("title"), QStringLiteral("frame"), QStringLiteral("kind"),
        QStringLiteral("state"), QStringLiteral("desktop"), QStringLiteral("document") };
    return keys;
}

bool isAttribute(const QString &key)
{
    return key.startsWith(QLatin1String("AX"));
}

/// The attribute map of an old-form window. Two numbers make a point or a
/// size; anything else is kept as it is, so that scenarios can give
/// attributes of a wrong type and see how they read.
QVariantMap attributes(const QJsonObject &object)
{
    QVariantMap map;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!isAttribute(it.key()))
            continue;
        const QString &key = it.key();
        const QJsonValue value = it.value();
        const QJsonArray array = value.toArray();
        const bool pair = value.isArray() && array.size() == 2 && array[0].isDouble() && array[1].isDouble();
        if (pair && key == SimTranslation::Attribute::position)
            map.insert(key, QPointF(array[0].toDouble(), array[1].toDouble()));
        else if (pair && key == SimTranslation::Attribute::size)
            map.insert(key, QSizeF(array[0].toDouble(), array[1].toDouble()));
        else
            map.insert(key, value.toVariant());
    }
    return map;
}

bool readKind(SimJsonReader &reader, const QJsonValue &value, const QString &where, WindowKind *out)
{
    static const QHash<QString, WindowKind> kinds { { QStringLiteral("normal"), WindowKind::normal },
        { QStringLiteral("dialog"), WindowKind::dialog }, { QStringLiteral("utility"), WindowKind::utility },
        { QStringLiteral("other"), WindowKind::other } };
    if (!value.isString() || !kinds.contains(value.toString()))
        return reader.fail(where, QStringLiteral("expected \"normal\", \"dialog\", \"utility\" or \"other\""));
    *out = kinds.value(value.toString());
    return true;
}

bool readState(SimJsonReader &reader, const QJsonValue &value, const QString &where, WindowState *out)
{
    if (!value.isObject())
        return reader.fail(where, QStringLiteral("expected an object"));
    const QJsonObject object = value.toObject();
    const std::pair<QString, bool *> flags[] = {
        { QStringLiteral("maximizedHorizontally"), &out->maximizedHorizontally },
        { QStringLiteral("maximizedVertically"), &out->maximizedVertically },
        { QStringLiteral("fullScreen"), &out->fullScreen },
        { QStringLiteral("minimized"), &out->minimized },
    };
    QSet<QString> known;
    for (const auto &[key, flag] : flags)
        known.insert(key);
    if (!reader.checkKeys(object, where, known))
        return false;
    for (const auto &[key, flag] : flags) {
        if (!reader.boolean(object, key, where, flag))
            return false;
    }
    return true;
}

bool readDesktop(SimJsonReader &reader, const QJsonValue &value, const QString &where, std::optional<int> *out)
{
    if (value.isNull())
        return true;
    if (value == QJsonValue(QStringLiteral("all"))) {
        *out = allDesktops;
        return true;
    }
    double number = 0;
    if (!reader.integer(value, allDesktops, INT_MAX, where,
            QStringLiteral("expected a desktop number (0 first), -1 or \"all\" for every desktop, or null"), &number))
        return false;
    *out = int(number);
    return true;
}

bool readTyped(SimJsonReader &reader, const QJsonObject &object, const QString &where, SimWindow *out)
{
    const auto value = [&](const char *key) { return object.value(QLatin1String(key)); };
    const auto at = [&](const char *key) { return SimJsonReader::at(where, QLatin1String(key)); };
    std::optional<QString> title;
    if (!reader.optionalString(object, QStringLiteral("title"), where, &title)
        || !reader.optionalString(object, QStringLiteral("document"), where, &out->document))
        return false;
    out->title = title.value_or(QString());
    if (object.contains(QLatin1String("frame"))) {
        QList<double> frame;
        if (!reader.numbers(value("frame"), 4, at("frame"), &frame))
            return false;
        out->frame = QRectF(frame[0], frame[1], frame[2], frame[3]);
    }
    return (!object.contains(QLatin1String("kind")) || readKind(reader, value("kind"), at("kind"), &out->kind))
        && (!object.contains(QLatin1String("state")) || readState(reader, value("state"), at("state"), &out->state))
        && (!object.contains(QLatin1String("desktop"))
            || readDesktop(reader, value("desktop"), at("desktop"), &out->desktop));
}

/// Fails on a key of neither form, and on a window that mixes the two.
bool checkForm(SimJsonReader &reader, const QJsonObject &object, const QString &where, bool *typed)
{
    QString attributeKey;
    QString typedKey;
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString &key = it.key();
        if (isAttribute(key))
            attributeKey = key;
        else if (typedKeys().contains(key))
            typedKey = key;
        else if (key != refusesWritesKey)
            return reader.fail(where,
                QStringLiteral("unknown key \"%1\" (typed keys are title, frame, kind, state, desktop "
                               "and document; attributes start with \"AX\")")
                    .arg(key));
    }
    if (!attributeKey.isEmpty() && !typedKey.isEmpty())
        return reader.fail(where,
            QStringLiteral("mixes the attribute \"%1\" with the typed key \"%2\"; use one form")
                .arg(attributeKey, typedKey));
    *typed = !typedKey.isEmpty();
    return true;
}

} // namespace

bool SimWindowReader::read(SimJsonReader &reader, const QJsonValue &value, const QString &where, SimWindow *out)
{
    if (!value.isObject())
        return reader.fail(where, QStringLiteral("expected an object"));
    const QJsonObject object = value.toObject();
    bool typed = false;
    if (!checkForm(reader, object, where, &typed))
        return false;
    SimWindow window;
    if (typed) {
        if (!readTyped(reader, object, where, &window))
            return false;
    } else {
        window = SimTranslation::windowFromAttributes(attributes(object));
    }
    if (!reader.boolean(object, refusesWritesKey, where, &window.refusesWrites))
        return false;
    *out = window;
    return true;
}

bool SimWindowReader::readList(
    SimJsonReader &reader, const QJsonValue &value, const QString &where, QList<SimWindow> *out)
{
    if (!value.isArray())
        return reader.fail(where, QStringLiteral("expected an array of windows"));
    const QJsonArray array = value.toArray();
    for (qsizetype i = 0; i < array.size(); ++i) {
        SimWindow window;
        if (!read(reader, array[i], QStringLiteral("%1[%2]").arg(where).arg(i), &window))
            return false;
        out->append(window);
    }
    return true;
}
