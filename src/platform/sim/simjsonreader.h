// Checked reads of scenario JSON: each read either fills its output or leaves a message naming the offending key.
#pragma once

#include "model/jsonfieldreader.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QSet>
#include <QString>
#include <optional>

/// The reads every section of a scenario needs. A failed read returns false and
/// keeps its message in `error` as "where: what"; callers stop at the first.
class SimJsonReader
{
public:
    QString error;

    /// Records the message and returns false.
    bool fail(const QString &where, const QString &what);

    /// Fails on the first key of `object` that is not in `known`.
    bool checkKeys(const QJsonObject &object, const QString &where, const QSet<QString> &known);

    /// Fails when both names of one field are given; otherwise `*used` is the
    /// key present (`newKey` when neither is).
    bool eitherKey(
        const QJsonObject &object, const QString &oldKey, const QString &newKey, const QString &where, QString *used);

    /// An array of exactly `count` numbers.
    bool numbers(const QJsonValue &value, qsizetype count, const QString &where, QList<double> *out);

    /// A string at `key`; missing or null leaves `*out` alone.
    bool optionalString(
        const QJsonObject &object, const QString &key, const QString &where, std::optional<QString> *out);

    /// A bool at `key`; missing leaves `*out` alone.
    bool boolean(const QJsonObject &object, const QString &key, const QString &where, bool *out);

    /// A number of seconds, at least 0, at `key`; missing leaves `*out` alone.
    bool seconds(const QJsonObject &object, const QString &key, const QString &where, double *out);

    /// A whole number in [minimum, maximum]; `where` already names the key,
    /// `expected` says what it should have been.
    bool integer(const QJsonValue &value, double minimum, double maximum, const QString &where, const QString &expected,
        double *out);

    /// Records the problem of a failed typed read as "where.key: expected ..."; returns false.
    bool failed(const JsonFieldReader &reader, const QString &where);

    /// `where.key`, the name of a key in messages.
    static QString at(const QString &where, const QString &key) { return where + QLatin1Char('.') + key; }
};
