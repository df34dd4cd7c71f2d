// Checked reads of scenario JSON: each read either fills its output or leaves a message naming the offending key.
#include "simjsonreader.h"

#include <QJsonArray>
#include <cmath>

bool SimJsonReader::fail(const QString &where, const QString &what)
{
    error = QStringLiteral("%1: %2").arg(where, what);
    return false;
}

bool SimJsonReader::checkKeys(const QJsonObject &object, const QString &where, const QSet<QString> &known)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!known.contains(it.key()))
            return fail(where, QStringLiteral("unknown key \"%1\"").arg(it.key()));
    }
    return true;
}

bool SimJsonReader::eitherKey(
    const QJsonObject &object, const QString &oldKey, const QString &newKey, const QString &where, QString *used)
{
    const bool hasOld = object.contains(oldKey);
    if (hasOld && object.contains(newKey))
        return fail(where, QStringLiteral("give \"%1\" or \"%2\", not both").arg(newKey, oldKey));
    *used = hasOld ? oldKey : newKey;
    return true;
}

bool SimJsonReader::numbers(const QJsonValue &value, qsizetype count, const QString &where, QList<double> *out)
{
    const QString expected = QStringLiteral("expected an array of %1 numbers").arg(count);
    const QJsonArray array = value.toArray();
    if (!value.isArray() || array.size() != count)
        return fail(where, expected);
    for (const QJsonValue &item : array) {
        if (!item.isDouble())
            return fail(where, expected);
        out->append(item.toDouble());
    }
    return true;
}

bool SimJsonReader::optionalString(
    const QJsonObject &object, const QString &key, const QString &where, std::optional<QString> *out)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return true;
    if (!value.isString())
        return fail(at(where, key), QStringLiteral("expected a string"));
    *out = value.toString();
    return true;
}

bool SimJsonReader::boolean(const QJsonObject &object, const QString &key, const QString &where, bool *out)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        return true;
    if (!value.isBool())
        return fail(at(where, key), QStringLiteral("expected true or false"));
    *out = value.toBool();
    return true;
}

bool SimJsonReader::seconds(const QJsonObject &object, const QString &key, const QString &where, double *out)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        return true;
    if (!value.isDouble() || value.toDouble() < 0)
        return fail(at(where, key), QStringLiteral("expected a number of seconds, at least 0"));
    *out = value.toDouble();
    return true;
}

bool SimJsonReader::integer(
    const QJsonValue &value, double minimum, double maximum, const QString &where, const QString &expected, double *out)
{
    const double n = value.toDouble();
    if (!value.isDouble() || n < minimum || n > maximum || n != std::floor(n))
        return fail(where, expected);
    *out = n;
    return true;
}
