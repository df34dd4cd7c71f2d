// Reads the tab addresses out of a Firefox session store (the decoded JSON).
#include "firefoxsession.h"

#include "boundedfile.h"
#include "mozlz4.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
QJsonObject currentEntry(const QJsonObject &tab)
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
    return entries.at(index - 1).toObject();
}
} // namespace

QList<BrowserWindowTabs> FirefoxSession::windows(const QByteArray &json)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    QList<BrowserWindowTabs> result;
    const QJsonArray windows = document.object().value(QLatin1String("windows")).toArray();
    for (const QJsonValue &windowValue : windows) {
        const QJsonObject window = windowValue.toObject();
        const QJsonArray tabs = window.value(QLatin1String("tabs")).toArray();
        BrowserWindowTabs listed;
        for (const QJsonValue &tab : tabs) {
            const QString url = currentEntry(tab.toObject()).value(QLatin1String("url")).toString();
            if (!url.isEmpty())
                listed.urls.append(url);
        }
        if (!tabs.isEmpty()) {
            const QJsonValue selected = window.value(QLatin1String("selected"));
            const qsizetype index
                = selected.isDouble() ? qsizetype(qBound(1.0, selected.toDouble(), double(tabs.size()))) : 1;
            listed.title = currentEntry(tabs.at(index - 1).toObject()).value(QLatin1String("title")).toString();
        }
        result.append(listed);
    }
    return result;
}

QStringList FirefoxSession::tabUrls(const QByteArray &json)
{
    QStringList urls;
    for (const BrowserWindowTabs &window : windows(json))
        urls.append(window.urls);
    return urls;
}

QList<BrowserWindowTabs> FirefoxSession::windowsFromFile(const QString &path)
{
    const std::optional<QByteArray> file = BoundedFile::read(path, maxFileSize);
    if (!file)
        return {};
    const std::optional<QByteArray> json = MozLz4::decode(*file);
    return json ? windows(*json) : QList<BrowserWindowTabs>();
}

QStringList FirefoxSession::tabUrlsFromFile(const QString &path)
{
    const std::optional<QByteArray> file = BoundedFile::read(path, maxFileSize);
    if (!file)
        return {};
    const std::optional<QByteArray> json = MozLz4::decode(*file);
    return json ? tabUrls(*json) : QStringList();
}
