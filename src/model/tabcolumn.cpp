// A browser entry's further tabs as the store keeps them: one text column
// holding a JSON array of strings.
#include "tabcolumn.h"

#include "backup/backuplimits.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace TabColumn {

QVariant toValue(const QStringList &tabs)
{
    if (tabs.isEmpty())
        return {};
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(tabs)).toJson(QJsonDocument::Compact));
}

QStringList fromValue(const QVariant &value)
{
    if (value.isNull() || value.typeId() != QMetaType::QString)
        return {};
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(value.toString().toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return {};
    return fromArray(document.array());
}

QStringList fromArray(const QJsonArray &array)
{
    QStringList tabs;
    for (const QJsonValue &item : array) {
        if (tabs.size() == BackupLimits::maxAdditionalTabs)
            break;
        if (item.isString() && item.toString().size() <= BackupLimits::maxStringLength)
            tabs.append(item.toString());
    }
    return tabs;
}

} // namespace TabColumn
