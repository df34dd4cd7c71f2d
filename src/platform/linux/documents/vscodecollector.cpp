// Collects the folders and workspace files a running VS Code has open, from its window state.
#include "vscodecollector.h"

#include "automation/localfileurl.h"
#include "boundedfile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace {
// A file URI as a local path, a plain absolute path as it is, anything else empty.
QString localPath(const QString &location)
{
    if (location.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(location);
    const auto path = localPathOfFileUrl(QUrl(location));
    return path ? QDir::cleanPath(*path) : QString();
}

QString windowPath(const QJsonObject &window)
{
    for (const char *key : { "folder", "folderUri", "folderPath" }) {
        const QString path = localPath(window.value(QLatin1String(key)).toString());
        if (!path.isEmpty())
            return path;
    }
    const QString workspace = window.value(QLatin1String("workspaceIdentifier"))
                                  .toObject()
                                  .value(QLatin1String("configURIPath"))
                                  .toString();
    if (!workspace.isEmpty())
        return localPath(workspace);
    return localPath(window.value(QLatin1String("workspace")).toObject().value(QLatin1String("configPath")).toString());
}
} // namespace

VsCodeCollector::VsCodeCollector(QString userDir)
    : m_dir(std::move(userDir))
{
}

QStringList VsCodeCollector::collect() const
{
    const std::optional<QByteArray> data
        = BoundedFile::read(QDir(m_dir).filePath(QStringLiteral("globalStorage/storage.json")), 32 * 1024 * 1024);
    return data ? windowPaths(*data) : QStringList();
}

QStringList VsCodeCollector::windowPaths(const QByteArray &storageJson)
{
    const QJsonObject state
        = QJsonDocument::fromJson(storageJson).object().value(QLatin1String("windowsState")).toObject();
    QStringList paths;
    for (const QJsonValue &window : state.value(QLatin1String("openedWindows")).toArray()) {
        const QString path = windowPath(window.toObject());
        if (!path.isEmpty())
            paths.append(path);
    }
    const QString lastActive = windowPath(state.value(QLatin1String("lastActiveWindow")).toObject());
    if (!lastActive.isEmpty() && !paths.contains(lastActive))
        paths.append(lastActive);
    return paths;
}
