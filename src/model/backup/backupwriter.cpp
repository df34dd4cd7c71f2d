// Turns workspaces into the exact text of a backup file.
#include "backupwriter.h"

#include "model/entryjson.h"

#include <QLocale>
#include <cmath>

namespace {
// The envelope is written by hand so its spacing stays byte-for-byte fixed;
// an empty list gives the 32 bytes older versions of the app wrote.
constexpr char kHead[] = "{\"version\": 1, \"workspaces\": [";
constexpr char kTail[] = "]}";

void appendUtf8(QByteArray &out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

void appendEscape(QByteArray &out, char16_t c)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += kHex[(c >> shift) & 0xF];
}

// A lone surrogate cannot be encoded as UTF-8, so it is kept as a \u escape:
// the file stays valid UTF-8 and the text still reads back unchanged. U+FEFF
// is escaped too: Qt's reader drops it, taken for a byte-order mark, when it
// opens a string.
void appendString(QByteArray &out, QStringView text)
{
    out += '"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        switch (c) {
        case u'"':
            out += "\\\"";
            continue;
        case u'\\':
            out += "\\\\";
            continue;
        case u'\b':
            out += "\\b";
            continue;
        case u'\f':
            out += "\\f";
            continue;
        case u'\n':
            out += "\\n";
            continue;
        case u'\r':
            out += "\\r";
            continue;
        case u'\t':
            out += "\\t";
            continue;
        default:
            break;
        }
        if (c < 0x20) {
            appendEscape(out, c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            appendUtf8(out, QChar::surrogateToUcs4(c, text[i + 1].unicode()));
            ++i;
        } else if (QChar::isSurrogate(c) || c == 0xFEFF) {
            appendEscape(out, c);
        } else {
            appendUtf8(out, c);
        }
    }
    out += '"';
}

// JSON has no NaN or infinity; they are written as the strings "NaN",
// "Infinity" and "-Infinity" so that a backup gives back exactly what was
// stored. Negative zero is written as 0: Qt's reader drops the sign anyway,
// and no stored quantity means anything different by it.
void appendDouble(QByteArray &out, double value)
{
    if (std::isnan(value))
        out += "\"NaN\"";
    else if (std::isinf(value))
        out += value > 0 ? "\"Infinity\"" : "\"-Infinity\"";
    else if (value == 0)
        out += '0';
    else
        out += QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

// ISO 8601 in UTC with milliseconds; a date that has no such text (invalid,
// or a year outside 1 to 9999) is written as null.
void appendDate(QByteArray &out, const QDateTime &value)
{
    if (!value.isValid()) {
        out += "null";
        return;
    }
    const QDateTime utc = value.toUTC();
    if (utc.date().year() < 1 || utc.date().year() > 9999) {
        out += "null";
        return;
    }
    out += '"';
    out += utc.toString(Qt::ISODateWithMs).toLatin1();
    out += '"';
}

// Appends members to one compact object, in the order they are written.
class ObjectText
{
public:
    explicit ObjectText(QByteArray &out)
        : m_out(out)
    {
        m_out += '{';
    }
    ~ObjectText() { m_out += '}'; }
    ObjectText(const ObjectText &) = delete;
    ObjectText &operator=(const ObjectText &) = delete;

    QByteArray &key(const char *name)
    {
        if (!m_first)
            m_out += ',';
        m_first = false;
        m_out += '"';
        m_out += name;
        m_out += "\":";
        return m_out;
    }
    void string(const char *name, QStringView value) { appendString(key(name), value); }
    void optionalString(const char *name, const std::optional<QString> &value)
    {
        if (value)
            string(name, *value);
        else
            key(name) += "null";
    }
    void number(const char *name, double value) { appendDouble(key(name), value); }
    void optionalNumber(const char *name, std::optional<double> value)
    {
        if (value)
            number(name, *value);
        else
            key(name) += "null";
    }
    void strings(const char *name, const QStringList &values)
    {
        QByteArray &out = key(name);
        out += '[';
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (i > 0)
                out += ',';
            appendString(out, values[i]);
        }
        out += ']';
    }
    void integer(const char *name, qint64 value) { key(name) += QByteArray::number(value); }
    void boolean(const char *name, bool value) { key(name) += value ? "true" : "false"; }
    void date(const char *name, const QDateTime &value) { appendDate(key(name), value); }
    void uuid(const char *name, const QUuid &value)
    {
        appendString(key(name), QString::fromLatin1(value.toByteArray(QUuid::WithoutBraces).toUpper()));
    }

private:
    QByteArray &m_out;
    bool m_first = true;
};

// An entry's members in the backup's own text forms; virtualDesktop is
// written as the other numbers are, as earlier files have it.
class EntryText final : public EntryJson::MemberWriter
{
public:
    explicit EntryText(QByteArray &out)
        : m_object(out)
    {
    }

    void uuid(const char *key, const QUuid &value) override { m_object.uuid(key, value); }
    void text(const char *key, const QString &value) override { m_object.string(key, value); }
    void optionalText(const char *key, const std::optional<QString> &value) override
    {
        m_object.optionalString(key, value);
    }
    void number(const char *key, double value) override { m_object.number(key, value); }
    void optionalNumber(const char *key, std::optional<double> value) override { m_object.optionalNumber(key, value); }
    void boolean(const char *key, bool value) override { m_object.boolean(key, value); }
    void texts(const char *key, const QStringList &value) override { m_object.strings(key, value); }
    void optionalWholeNumber(const char *key, std::optional<int> value) override
    {
        m_object.optionalNumber(key, value ? std::optional<double>(*value) : std::optional<double>());
    }

private:
    ObjectText m_object;
};

void appendEntry(QByteArray &out, const EntryData &entry)
{
    EntryText text(out);
    EntryJson::write(entry, text);
}

void appendWorkspace(QByteArray &out, const WorkspaceData &workspace)
{
    ObjectText o(out);
    o.uuid("id", workspace.id);
    o.string("name", workspace.name);
    o.string("icon", workspace.icon);
    o.string("category", workspace.category);
    o.date("createdAt", workspace.createdAt);
    o.date("modifiedAt", workspace.modifiedAt);
    o.boolean("autoLaunch", workspace.autoLaunch);
    o.boolean("restoreDocuments", workspace.restoreDocuments);
    o.boolean("isFavorite", workspace.isFavorite);
    o.integer("launchCount", workspace.launchCount);
    if (workspace.lastLaunchedAt)
        o.date("lastLaunchedAt", *workspace.lastLaunchedAt);
    else
        o.key("lastLaunchedAt") += "null";
    o.number("timeSavedInSeconds", workspace.timeSavedInSeconds);
    QByteArray &entries = o.key("entries");
    entries += '[';
    for (qsizetype i = 0; i < workspace.entries.size(); ++i) {
        if (i > 0)
            entries += ',';
        appendEntry(entries, workspace.entries[i]);
    }
    entries += ']';
}
} // namespace

QByteArray BackupWriter::serialize(const QList<WorkspaceData> &workspaces)
{
    QByteArray out(kHead);
    for (qsizetype i = 0; i < workspaces.size(); ++i) {
        if (i > 0)
            out += ',';
        appendWorkspace(out, workspaces[i]);
    }
    out += kTail;
    return out;
}

QByteArray BackupWriter::workspaceObject(const WorkspaceData &workspace)
{
    QByteArray out;
    appendWorkspace(out, workspace);
    return out;
}
