// A workspace entry's members, named and ordered once: the backup file, the
// command line's JSON and the store's entry columns all hold them under these
// names and in this order, each written in its own form.
#pragma once

#include "entrydata.h"
#include "jsonfieldreader.h"

#include <QJsonObject>
#include <array>
#include <optional>

namespace EntryJson {

/// The members every entry of the first files has.
inline constexpr std::array<const char *, 16> firstMembers { "id", "typeRawValue", "appBundleIdentifier", "filePath",
    "websiteURL", "monitorID", "frameX", "frameY", "width", "height", "isFullscreen", "delayAfterLaunch",
    "originalScreenX", "originalScreenY", "originalScreenWidth", "originalScreenHeight" };
/// The members added since, after the first ones: files and stores from
/// before them lack them, and that reads as their defaults (not maximised,
/// no further tabs, no virtual desktop, no window title).
inline constexpr std::array<const char *, 4> laterMembers { "isMaximized", "additionalTabURLs", "virtualDesktop",
    "windowTitle" };

/// Takes an entry's members one at a time, typed, in member order: each
/// form (backup text, JSON object, store row) writes them its own way.
class MemberWriter
{
public:
    virtual ~MemberWriter() = default;
    virtual void uuid(const char *key, const QUuid &value) = 0;
    virtual void text(const char *key, const QString &value) = 0;
    virtual void optionalText(const char *key, const std::optional<QString> &value) = 0;
    virtual void number(const char *key, double value) = 0;
    virtual void optionalNumber(const char *key, std::optional<double> value) = 0;
    virtual void boolean(const char *key, bool value) = 0;
    virtual void texts(const char *key, const QStringList &value) = 0;
    virtual void optionalWholeNumber(const char *key, std::optional<int> value) = 0;
};

/// Hands every member of `entry` to `writer`, first members then later ones.
void write(const EntryData &entry, MemberWriter &writer);

/// Every member, absences as null, the id in upper case without braces.
/// Non-finite numbers stay doubles (QJsonDocument writes them as null).
QJsonObject toJson(const EntryData &entry);

/// How strictly `read` takes an object.
enum class Reading {
    /// A backup file: every first member must be there and of its type, the
    /// later ones may be absent; texts and the tab list are bounded like
    /// the rest of the file; numbers may be "NaN", "Infinity", "-Infinity".
    /// The first problem ends the read.
    strict,
    /// Entries passed between the command line and the application: a
    /// member that is absent or does not fit keeps its default (a fresh
    /// id, "application", nothing optional, delay 0.5), and the further
    /// tabs are read as the store reads them (items that are not text or
    /// too long left out, at most as many as a backup may carry).
    lenient,
};

/// The entry `object` holds; nothing (strict reading only) with the first
/// problem in `problem`.
std::optional<EntryData> read(const QJsonObject &object, Reading reading, JsonFieldProblem *problem = nullptr);

} // namespace EntryJson
