// The kind of a workspace entry and its stored text form.
#pragma once

#include <QString>

enum class EntryType { application, website, file, folder };

/// The stored text of a kind: "application", "website", "file" or "folder".
QString entryTypeText(EntryType type);

/// The kind whose text equals `text` exactly; any other text (a misspelt or
/// future value, a different letter case, the empty string) reads as application.
EntryType entryTypeFromText(const QString &text);
