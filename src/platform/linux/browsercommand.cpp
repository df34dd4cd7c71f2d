// The command-line words that make a browser open a new window or further tabs.
#include "browsercommand.h"

#include <QFileInfo>

namespace {

QString argument(const QUrl &url)
{
    return QString::fromUtf8(url.toEncoded());
}

} // namespace

std::optional<BrowserCommand::Family> BrowserCommand::familyOf(const QString &program)
{
    const QString name = QFileInfo(program).fileName().toLower();
    if (name.startsWith(QLatin1String("firefox")) || name == QLatin1String("librewolf")
        || name == QLatin1String("waterfox"))
        return Family::firefox;
    for (const char *prefix : { "chromium", "chrome", "google-chrome", "brave", "vivaldi", "microsoft-edge" }) {
        if (name.startsWith(QLatin1String(prefix)))
            return Family::chromium;
    }
    return std::nullopt;
}

QStringList BrowserCommand::newWindow(const QUrl &url)
{
    return { QStringLiteral("--new-window"), argument(url) };
}

QStringList BrowserCommand::newTabs(const QList<QUrl> &urls)
{
    QStringList arguments;
    for (const QUrl &url : urls)
        arguments << QStringLiteral("--new-tab") << argument(url);
    return arguments;
}
