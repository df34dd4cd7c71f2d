// The installed desktop entries (through GIO) and the rules that tie a client window to one of them.
// Built without Qt's keywords: GIO names a struct member "signals".
#include "desktopentryindex.h"

#include <QFileInfo>
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <memory>

namespace {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
struct GFree {
    void operator()(gpointer memory) const { g_free(memory); }
};

QString withoutDesktopSuffix(const char *id)
{
    QString text = QString::fromUtf8(id);
    if (text.endsWith(QLatin1String(".desktop")))
        text.chop(8);
    return text;
}

QString canonicalProgram(const char *executable)
{
    if (!executable || !*executable)
        return {};
    std::unique_ptr<gchar, GFree> found(g_find_program_in_path(executable));
    return found ? QFileInfo(QString::fromLocal8Bit(found.get())).canonicalFilePath() : QString();
}

} // namespace

DesktopEntryIndex::DesktopEntryIndex(const QList<Entry> &entries)
{
    for (const Entry &entry : entries) {
        if (entry.id.isEmpty() || m_byId.contains(entry.id))
            continue;
        m_byId.insert(entry.id, m_entries.size());
        m_entries.append(entry);
        if (!entry.startupWMClass.isEmpty() && !m_byStartupWMClass.contains(entry.startupWMClass))
            m_byStartupWMClass.insert(entry.startupWMClass, entry.id);
        if (!entry.startupWMClass.isEmpty() && !m_byLowerStartupWMClass.contains(entry.startupWMClass.toLower()))
            m_byLowerStartupWMClass.insert(entry.startupWMClass.toLower(), entry.id);
        if (!entry.path.isEmpty())
            m_byPath.insert(QFileInfo(entry.path).absoluteFilePath(), entry.id);
        if (!entry.executable.isEmpty())
            m_byExecutable[entry.executable].append(entry.id);
    }
}

QList<DesktopEntryIndex::Entry> DesktopEntryIndex::installedEntries()
{
    QList<Entry> entries;
    GList *all = g_app_info_get_all();
    for (GList *item = all; item; item = item->next) {
        std::unique_ptr<GAppInfo, GObjectUnref> info(G_APP_INFO(item->data));
        if (!G_IS_DESKTOP_APP_INFO(info.get()))
            continue;
        auto *desktop = G_DESKTOP_APP_INFO(info.get());
        if (g_desktop_app_info_get_is_hidden(desktop) || !g_app_info_get_id(info.get()))
            continue;
        Entry entry;
        entry.id = withoutDesktopSuffix(g_app_info_get_id(info.get()));
        entry.path = QString::fromUtf8(g_desktop_app_info_get_filename(desktop));
        entry.startupWMClass = QString::fromUtf8(g_desktop_app_info_get_startup_wm_class(desktop));
        entry.executable = canonicalProgram(g_app_info_get_executable(info.get()));
        entries.append(entry);
    }
    g_list_free(all); // the items were released one by one above
    return entries;
}

std::optional<QString> DesktopEntryIndex::path(const QString &id) const
{
    const auto found = m_byId.constFind(id);
    if (found == m_byId.constEnd())
        return std::nullopt;
    return m_entries[*found].path;
}

std::optional<QString> DesktopEntryIndex::idForPath(const QString &path) const
{
    const auto found = m_byPath.constFind(QFileInfo(path).absoluteFilePath());
    if (found == m_byPath.constEnd())
        return std::nullopt;
    return *found;
}

std::optional<QString> DesktopEntryIndex::asEntryId(const QString &name) const
{
    if (name.isEmpty())
        return std::nullopt;
    if (m_byId.contains(name))
        return name;
    const QString lowered = name.toLower().replace(QLatin1Char(' '), QLatin1Char('-'));
    if (m_byId.contains(lowered))
        return lowered;
    return std::nullopt;
}

std::optional<QString> DesktopEntryIndex::byExecutable(const WindowClues &clues) const
{
    const QStringList ids = m_byExecutable.value(clues.executable);
    if (ids.size() == 1)
        return ids.first();
    // Entries that share a program (an editor and its settings dialog, "org.xfce.mousepad" and
    // "org.xfce.mousepad-settings"): the one whose name ends as the window's class does, when only one does.
    std::optional<QString> named;
    for (const QString &id : ids) {
        const QString name = id.mid(id.lastIndexOf(QLatin1Char('.')) + 1);
        if (name.compare(clues.instance, Qt::CaseInsensitive) != 0
            && name.compare(clues.className, Qt::CaseInsensitive) != 0)
            continue;
        if (named)
            return std::nullopt;
        named = id;
    }
    return named;
}

std::optional<QString> DesktopEntryIndex::resolve(const WindowClues &clues) const
{
    for (const QString &name : { clues.instance, clues.className }) {
        const auto found = m_byStartupWMClass.constFind(name);
        if (!name.isEmpty() && found != m_byStartupWMClass.constEnd())
            return *found;
    }
    if (clues.lowerCased) {
        for (const QString &name : { clues.instance, clues.className }) {
            const auto found = m_byLowerStartupWMClass.constFind(name.toLower());
            if (!name.isEmpty() && found != m_byLowerStartupWMClass.constEnd())
                return *found;
        }
    }
    for (const QString &name : { clues.instance, clues.className }) {
        if (auto id = asEntryId(name))
            return id;
    }
    for (QString name : { clues.gtkApplicationId, clues.kdeDesktopFile }) {
        if (name.endsWith(QLatin1String(".desktop")))
            name.chop(8);
        if (!name.isEmpty() && m_byId.contains(name))
            return name;
    }
    if (auto id = byExecutable(clues))
        return id;
    if (!clues.className.isEmpty())
        return clues.className;
    if (!clues.instance.isEmpty())
        return clues.instance;
    return std::nullopt;
}
