// Asks GIO which desktop entries are installed and which ones handle a content type by default.
#include "desktopentries.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <memory>

namespace {
struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

QString withoutSuffix(const char *desktopId)
{
    QString id = QString::fromUtf8(desktopId);
    if (id.endsWith(QLatin1String(".desktop")))
        id.chop(8);
    return id;
}
} // namespace

bool DesktopEntries::isInstalled(const QString &id)
{
    if (id.isEmpty())
        return false;
    const QByteArray desktopId = (id + QLatin1String(".desktop")).toUtf8();
    // Nothing for entries that are missing or fail to parse; a Hidden entry (the
    // desktop entry way of deleting one) is returned and checked here.
    const GObjectPtr<GDesktopAppInfo> info(g_desktop_app_info_new(desktopId.constData()));
    return info && !g_desktop_app_info_get_is_hidden(info.get());
}

QString DesktopEntries::firstInstalled(const QStringList &ids)
{
    for (const QString &id : ids) {
        if (isInstalled(id))
            return id;
    }
    return {};
}

QString DesktopEntries::defaultFor(const QString &contentType)
{
    const QByteArray type = contentType.toUtf8();
    const GObjectPtr<GAppInfo> info(g_app_info_get_default_for_type(type.constData(), FALSE));
    if (!info)
        return {};
    const char *id = g_app_info_get_id(info.get());
    return id ? withoutSuffix(id) : QString();
}
