// Checked reads of scenario JSON: each read either fills its output or leaves a message naming the offending key.
#include "simjsonreader.h"

#include <QJsonArray>

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
    // Null leaves the value alone here, as absence does.
    if (object.value(key).isNull())
        return true;
    JsonFieldReader reader(object);
    return reader.optionalText(key, *out, JsonFieldReader::Presence::optional) || failed(reader, where);
}

bool SimJsonReader::boolean(const QJsonObject &object, const QString &key, const QString &where, bool *out)
{
    JsonFieldReader reader(object);
    return reader.boolean(key, *out, JsonFieldReader::Presence::optional) || failed(reader, where);
}

bool SimJsonReader::seconds(const QJsonObject &object, const QString &key, const QString &where, double *out)
{
    JsonFieldReader reader(object);
    return reader.numberFrom(key, 0, *out, JsonFieldReader::Presence::optional) || failed(reader, where);
}

bool SimJsonReader::integer(
    const QJsonValue &value, double minimum, double maximum, const QString &where, const QString &expected, double *out)
{
    const std::optional<qint64> n = JsonFieldReader::wholeNumber(value);
    if (!n || double(*n) < minimum || double(*n) > maximum)
        return fail(where, expected);
    *out = double(*n);
    return true;
}

bool SimJsonReader::failed(const JsonFieldReader &reader, const QString &where)
{
    const JsonFieldProblem problem = reader.problem().value_or(JsonFieldProblem {});
    QString expected;
    switch (problem.kind) {
    case JsonFieldProblem::Kind::notText:
    case JsonFieldProblem::Kind::notTextOrNull:
        expected = QStringLiteral("expected a string");
        break;
    case JsonFieldProblem::Kind::notBoolean:
        expected = QStringLiteral("expected true or false");
        break;
    case JsonFieldProblem::Kind::notNumber:
    case JsonFieldProblem::Kind::numberBelowMinimum:
        expected = QStringLiteral("expected a number of seconds, at least 0");
        break;
    default:
        expected = QStringLiteral("unexpected value");
        break;
    }
    return fail(at(where, problem.key), expected);
}
