// Typed reads of the members of one JSON object: each read checks the member's
// type and bounds and, when it does not fit, says which member and why in a
// form every reader can word in its own language.
#include "jsonfieldreader.h"

#include <QJsonArray>
#include <QRegularExpression>

using Kind = JsonFieldProblem::Kind;

JsonFieldReader::JsonFieldReader(const QJsonObject &object)
    : JsonFieldReader(object, Options {})
{
}

JsonFieldReader::JsonFieldReader(const QJsonObject &object, Options options)
    : m_object(object)
    , m_options(options)
{
}

std::optional<qint64> JsonFieldReader::wholeNumber(const QJsonValue &value)
{
    // JSON numbers that Qt keeps as integers give the same value whatever the
    // fallback; anything fractional or out of range falls back and so differs.
    if (!value.isDouble())
        return std::nullopt;
    const qint64 a = value.toInteger(0);
    const qint64 b = value.toInteger(1);
    if (a != b)
        return std::nullopt;
    return a;
}

bool JsonFieldReader::text(const QString &key, QString &out, Presence presence)
{
    QJsonValue v;
    if (find(key, presence, v) != Found::value)
        return !m_problem || m_options.lenient;
    if (!v.isString())
        return fail(key, Kind::notText);
    const QString s = v.toString();
    if (!checkLength(key, s))
        return m_options.lenient;
    out = s;
    return true;
}

bool JsonFieldReader::optionalText(const QString &key, std::optional<QString> &out, Presence presence)
{
    QJsonValue v;
    if (find(key, presence, v) != Found::value)
        return !m_problem || m_options.lenient;
    if (v.isNull()) {
        out.reset();
        return true;
    }
    if (!v.isString())
        return fail(key, Kind::notTextOrNull);
    const QString s = v.toString();
    if (!checkLength(key, s))
        return m_options.lenient;
    out = s;
    return true;
}

bool JsonFieldReader::number(const QString &key, double &out, Presence presence)
{
    QJsonValue v;
    if (find(key, presence, v) != Found::value)
        return !m_problem || m_options.lenient;
    double d = 0;
    if (!toDouble(v, d))
        return fail(key, Kind::notNumber);
    out = d;
    return true;
}

bool JsonFieldReader::numberFrom(const QString &key, double minimum, double &out, Presence presence)
{
    QJsonValue v;
    if (find(key, presence, v) != Found::value)
        return !m_problem || m_options.lenient;
    double d = 0;
    if (!toDouble(v, d) || !(d >= minimum)) {
        if (m_options.lenient)
            return true;
        if (!m_problem)
            m_problem = JsonFieldProblem { key, Kind::numberBelowMinimum, 0, qint64(minimum), 0 };
        return false;
    }
    out = d;
    return true;
}

bool JsonFieldReader::optionalNumber(const QString &key, std::optional<double> &out, Presence presence)
{
    QJsonValue v;
    if (find(key, presence, v) != Found::value)
        return !m_problem || m_options.lenient;
    if (v.isNull()) {
        out.reset();
        return true;
    }
    double d = 0;
    if (!toDouble(v, d))
        return fail(key, Kind::notNumberOrNull);
    out = d;
    return true;
}

bool JsonFieldReader::wholeNumber(const QString &key, qint64 &out, Presence presence)
{
    QJsonValue v;
    if (find(key, presence, v) != Found::value)
        return !m_problem || m_options.lenient;
    const std::optional<qint64> n = wholeNumber(v);
    if (!n)
        return fail(key, Kind::notWholeNumber);
    out = *n;
    return true;
}

bool JsonFieldReader::optionalWholeNumber(
    const QString &key, qint64 minimum, qint64 maximum, std::optional<int> &out, Presence presence)
{
    QJsonValue v;
    if (find(key, presence, v) != Found::value)
        return !m_problem || m_options.lenient;
    if (v.isNull()) {
        out.reset();
        return true;
    }
    const std::optional<qint64> n = wholeNumber(v);
    if (!n || *n < minimum || *n > maximum) {
        if (m_options.lenient)
            return true;
        if (!m_problem)
            m_problem = JsonFieldProblem { key, Kind::notWholeNumberInRangeOrNull, 0, minimum, maximum };
        return false;
    }
    out = int(*n);
    return true;
}

bool JsonFieldReader::boolean(const QString &key, bool &out, Presence presence)
{
    QJsonValue v;
    if (find(key, presence, v) != Found::value)
        return !m_problem || m_options.lenient;
    if (!v.isBool())
        return fail(key, Kind::notBoolean);
    out = v.toBool();
    return true;
}

bool JsonFieldReader::texts(const QString &key, qsizetype maxCount, QStringList &out, Presence presence)
{
    QJsonValue v;
    if (find(key, presence, v) != Found::value)
        return !m_problem || m_options.lenient;
    if (v.isNull()) {
        out.clear();
        return true;
    }
    if (!v.isArray())
        return fail(key, Kind::notTextListOrNull);
    const QJsonArray items = v.toArray();
    QStringList result;
    if (m_options.lenient) {
        for (const QJsonValue &item : items) {
            if (result.size() == maxCount)
                break;
            if (item.isString() && item.toString().size() <= m_options.maxTextLength)
                result.append(item.toString());
        }
        out = std::move(result);
        return true;
    }
    if (items.size() > maxCount)
        return fail(key, Kind::tooManyItems, maxCount);
    result.reserve(items.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (!items[i].isString())
            return fail(key, Kind::itemNotText, i + 1);
        const QString s = items[i].toString();
        if (!checkLength(key, s))
            return false;
        result.append(s);
    }
    out = std::move(result);
    return true;
}

bool JsonFieldReader::uuid(const QString &key, QUuid &out, Presence presence)
{
    static const QRegularExpression pattern(
        QStringLiteral("^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}$"));
    QJsonValue v;
    if (find(key, presence, v) != Found::value)
        return !m_problem || m_options.lenient;
    if (!v.isString() || !pattern.match(v.toString()).hasMatch())
        return fail(key, Kind::notUuid);
    out = QUuid::fromString(v.toString());
    return true;
}

bool JsonFieldReader::optionalDate(const QString &key, std::optional<QDateTime> &out, Presence presence)
{
    // A zone is required: without one the same text would mean another
    // moment on every machine.
    static const QRegularExpression pattern(
        QStringLiteral("^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}(\\.\\d{1,3})?(Z|[+-]\\d{2}:\\d{2})$"));
    QJsonValue v;
    if (find(key, presence, v) != Found::value)
        return !m_problem || m_options.lenient;
    if (v.isNull()) {
        out.reset();
        return true;
    }
    const QString s = v.toString();
    if (!v.isString() || !pattern.match(s).hasMatch())
        return fail(key, Kind::notDate);
    const QDateTime d = QDateTime::fromString(s, Qt::ISODateWithMs);
    if (!d.isValid())
        return fail(key, Kind::notDate);
    out = d.toUTC();
    return true;
}

bool JsonFieldReader::array(const QString &key, QJsonArray &out, Presence presence)
{
    QJsonValue v;
    if (find(key, presence, v) != Found::value)
        return !m_problem || m_options.lenient;
    if (!v.isArray())
        return fail(key, Kind::notList);
    out = v.toArray();
    return true;
}

bool JsonFieldReader::fail(const JsonFieldProblem &problem)
{
    if (!m_problem)
        m_problem = problem;
    return false;
}

JsonFieldReader::Found JsonFieldReader::find(const QString &key, Presence presence, QJsonValue &out)
{
    if (m_problem && !m_options.lenient)
        return Found::stopped;
    const auto it = m_object.constFind(key);
    if (it == m_object.constEnd()) {
        if (presence == Presence::required && !m_options.lenient) {
            fail(key, Kind::missing);
            return Found::stopped;
        }
        return Found::absent;
    }
    out = it.value();
    return Found::value;
}

bool JsonFieldReader::fail(const QString &key, Kind kind, qint64 count)
{
    // Lenient reads keep the output as it was and go on.
    if (m_options.lenient)
        return true;
    if (!m_problem)
        m_problem = JsonFieldProblem { key, kind, count, 0, 0 };
    return false;
}

bool JsonFieldReader::checkLength(const QString &key, const QString &text)
{
    if (text.size() <= m_options.maxTextLength)
        return true;
    if (m_options.lenient)
        return false;
    return fail(key, Kind::tooLong, m_options.maxTextLength);
}

bool JsonFieldReader::toDouble(const QJsonValue &value, double &out) const
{
    if (value.isDouble()) {
        out = value.toDouble();
        return true;
    }
    if (!m_options.nonFiniteAsText || !value.isString())
        return false;
    const QString s = value.toString();
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
