// Typed reads of the members of one JSON object: each read checks the member's
// type and bounds and, when it does not fit, says which member and why in a
// form every reader can word in its own language.
#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <limits>
#include <optional>

/// Why one member could not be read. Each reader turns it into its own words.
struct JsonFieldProblem {
    enum class Kind {
        missing,
        notText,
        notTextOrNull,
        notNumber,
        notNumberOrNull,
        notWholeNumber,
        notBoolean,
        notUuid,
        notDate,
        notList,
        notTextListOrNull,
        /// An item of a list of texts is no text; `count` is its position, from 1.
        itemNotText,
        /// `count` is the most characters a text may have.
        tooLong,
        /// `count` is the most items a list may have.
        tooManyItems,
        /// A whole number (or null) from `minimum` to `maximum` was expected.
        notWholeNumberInRangeOrNull,
        /// A number of at least `minimum` was expected.
        numberBelowMinimum,
    };

    QString key;
    Kind kind = Kind::missing;
    qint64 count = 0;
    qint64 minimum = 0;
    qint64 maximum = 0;

    bool operator==(const JsonFieldProblem &) const = default;
};

class JsonFieldReader
{
public:
    /// What an absent member means.
    enum class Presence {
        required, ///< absent is a problem
        optional, ///< absent keeps the value the output already holds
    };

    struct Options {
        /// Longest text of a text member or of a list item, in UTF-16 code units.
        qsizetype maxTextLength = std::numeric_limits<qsizetype>::max();
        /// Numbers may also be the texts "NaN", "Infinity" and "-Infinity",
        /// the way files keep what JSON cannot write as a number.
        bool nonFiniteAsText = false;
        /// Every member reads as optional, a member that does not fit keeps
        /// the output's value instead of stopping the reads, and a list of
        /// texts drops the items that do not fit and keeps the first allowed.
        /// For data this program wrote itself and only passes along.
        bool lenient = false;
    };

    explicit JsonFieldReader(const QJsonObject &object);
    JsonFieldReader(const QJsonObject &object, Options options);

    // Each read fills `out` and returns true, or records the problem and
    // returns false. After the first problem every later read fails too
    // (unless lenient), so a chain of reads stops at the first.

    bool text(const QString &key, QString &out, Presence presence = Presence::required);
    /// Text or null (null reads as none).
    bool optionalText(const QString &key, std::optional<QString> &out, Presence presence = Presence::required);
    bool number(const QString &key, double &out, Presence presence = Presence::required);
    /// A number of at least `minimum`.
    bool numberFrom(const QString &key, double minimum, double &out, Presence presence = Presence::required);
    /// A number or null (null reads as none).
    bool optionalNumber(const QString &key, std::optional<double> &out, Presence presence = Presence::required);
    bool wholeNumber(const QString &key, qint64 &out, Presence presence = Presence::required);
    /// A whole number from `minimum` to `maximum`, or null (none).
    bool optionalWholeNumber(const QString &key, qint64 minimum, qint64 maximum, std::optional<int> &out,
        Presence presence = Presence::required);
    bool boolean(const QString &key, bool &out, Presence presence = Presence::required);
    /// A list of texts with at most `maxCount` items; null reads as the empty list.
    bool texts(const QString &key, qsizetype maxCount, QStringList &out, Presence presence = Presence::required);
    /// A UUID written as 8-4-4-4-12 hexadecimal digits, without braces.
    bool uuid(const QString &key, QUuid &out, Presence presence = Presence::required);
    /// An ISO 8601 date and time with a zone, or null (none); read as UTC.
    bool optionalDate(const QString &key, std::optional<QDateTime> &out, Presence presence = Presence::required);
    bool array(const QString &key, QJsonArray &out, Presence presence = Presence::required);

    /// Records a problem found by the caller (a value the reads accepted but
    /// the caller does not); returns false.
    bool fail(const JsonFieldProblem &problem);

    /// The first problem; nothing while every read succeeded.
    const std::optional<JsonFieldProblem> &problem() const { return m_problem; }

    /// A JSON number that is a whole number a qint64 holds exactly.
    static std::optional<qint64> wholeNumber(const QJsonValue &value);

private:
    enum class Found { value, absent, stopped };
    Found find(const QString &key, Presence presence, QJsonValue &out);
    bool fail(const QString &key, JsonFieldProblem::Kind kind, qint64 count = 0);
    bool checkLength(const QString &key, const QString &text);
    bool toDouble(const QJsonValue &value, double &out) const;

    const QJsonObject &m_object;
    Options m_options;
    std::optional<JsonFieldProblem> m_problem;
};
