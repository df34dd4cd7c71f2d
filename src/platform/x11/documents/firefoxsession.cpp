// Reads the tab addresses out of a Firefox session store (the decoded JSON).
#include "firefoxsession.h"

#include "boundedfile.h"
#include "mozlz4.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
QString currentUrl(const QJsonObject &tab)
{
    const QJsonArray entries = tab.value(QLatin1String("entries")).toArray();
    if (entries.isEmpty())
        return {};
    const QJsonValue indexValue = tab.value(QLatin1String("index"));
    // Firefox leaves the index out when the last entry is current; a stray value
    // (zero, negative, beyond the end, not a number) still names some entry.
    qsizetype index = entries.size();
    if (indexValue.isDouble())
        index = qsizetype(qBound(1.0, indexValue.toDouble(), double(entries.size())));
    return entries.at(index - 1).toObject().value(QLatin1String("url")).toString();
}
} // namespace

QStringList FirefoxSession::tabUrls(const QByteArray &json)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    QStringList urls;
    const QJsonArray windows = document.object().value(QLatin1String("windows")).toArray();
    for (const QJsonValue &window : windows) {
        const QJsonArray tabs = window.toObject().value(QLatin1String("tabs")).toArray();
        for (const QJsonValue &tab : tabs) {
            const QString url = currentUrl(tab.toObject());
            if (!url.isEmpty())
                urls.append(url);
        }
    }
    return urls;
}

QStringList FirefoxSession::tabUrlsFromFile(const QString &path)
{
    const std::optional<QByteArray> file = BoundedFile::read(path, maxFileSize);
    if (!file)
        return {};
    const std::optional<QByteArray> json = MozLz4::decode(*file);
    return json ? tabUrls(*json) : QStringList();
}
