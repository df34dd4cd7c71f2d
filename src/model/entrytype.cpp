// The kind of a workspace entry and its stored text form.
#include "entrytype.h"

QString entryTypeText(EntryType type)
{
    switch (type) {
    case EntryType::application:
        return QStringLiteral("application");
    case EntryType::website:
        return QStringLiteral("website");
    case EntryType::file:
        return QStringLiteral("file");
    case EntryType::folder:
        return QStringLiteral("folder");
    }
    return QStringLiteral("application");
}

EntryType entryTypeFromText(const QString &text)
{
    for (EntryType t : { EntryType::application, EntryType::website, EntryType::file, EntryType::folder }) {
        if (text == entryTypeText(t))
            return t;
    }
    return EntryType::application;
}
