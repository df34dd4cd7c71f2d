// The documents that browsers, the file manager and the IDE show, asked of each running one once per capture.
#include "documentcollector.h"

#include <algorithm>
#include <utility>

namespace {

bool isRunning(const QString &identifier, const QList<RunningApplication> &running)
{
    if (identifier.isEmpty())
        return false;
    return std::any_of(running.begin(), running.end(), [&](const RunningApplication &application) {
        return application.bundleIdentifier && *application.bundleIdentifier == identifier;
    });
}

bool isText(const QVariant &item)
{
    return item.metaType() == QMetaType::fromType<QString>();
}

} // namespace

DocumentCollector::DocumentCollector(DesktopPlatform &platform)
    : m_platform(platform)
{
}

QStringList DocumentCollector::stringsFromResult(const ScriptResult &result)
{
    if (result.failed)
        return {};
    const QVariant &value = result.value;
    QVariantList items;
    if (value.metaType() == QMetaType::fromType<QVariantList>())
        items = value.toList();
    else if (value.metaType() == QMetaType::fromType<QStringList>())
        items = value.toList();
    if (!items.isEmpty()) {
        QStringList strings;
        for (const QVariant &item : std::as_const(items)) {
            if (isText(item))
                strings.append(item.toString());
        }
        return strings;
    }
    if (isText(value))
        return { value.toString() };
    return {};
}

QStringList DocumentCollector::run(DocumentRole role, const QString &applicationIdentifier) const
{
    return stringsFromResult(m_platform.runScript(role, applicationIdentifier));
}

ScriptedDocuments DocumentCollector::collect(
    const QList<RunningApplication> &running, const PlatformProfile &profile) const
{
    const std::pair<DocumentRole, QString> roles[] = {
        { DocumentRole::browser0, profile.browsers[0] },
        { DocumentRole::browser1, profile.browsers[1] },
        { DocumentRole::browser2, profile.browsers[2] },
        { DocumentRole::browser3, profile.browsers[3] },
        { DocumentRole::fileManager, profile.fileManager },
        { DocumentRole::ide, profile.ide },
    };
    ScriptedDocuments documents;
    for (const auto &[role, identifier] : roles) {
        if (isRunning(identifier, running))
            documents.list(role) = run(role, identifier);
    }
    return documents;
}
