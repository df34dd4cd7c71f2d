// The global hotkey on GNOME: a custom keybinding of GNOME's own keyboard settings that runs `corvalint launcher`.
#include "gnomecustomkeybinding.h"

#include <QHash>
#include <QStringList>
// GIO names a struct member "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")
#include <memory>

namespace {

constexpr const char *mediaKeysSchema = "org.gnome.settings-daemon.plugins.media-keys";
constexpr const char *customSchema = "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding";
constexpr const char *customListKey = "custom-keybindings";

struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using Settings = std::unique_ptr<GSettings, ObjectUnref>;

bool schemaInstalled(const char *id)
{
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    if (!source)
        return false;
    GSettingsSchema *schema = g_settings_schema_source_lookup(source, id, TRUE);
    if (!schema)
        return false;
    g_settings_schema_unref(schema);
    return true;
}

QStringList strings(GSettings *settings, const char *key)
{
    QStringList list;
    gchar **values = g_settings_get_strv(settings, key);
    for (gchar **value = values; value && *value; ++value)
        list.append(QString::fromUtf8(*value));
    g_strfreev(values);
    return list;
}

void setStrings(GSettings *settings, const char *key, const QStringList &list)
{
    std::vector<QByteArray> bytes;
    std::vector<const gchar *> values;
    for (const QString &value : list)
        bytes.push_back(value.toUtf8());
    for (const QByteArray &value : bytes)
        values.push_back(value.constData());
    values.push_back(nullptr);
    g_settings_set_strv(settings, key, values.data());
}

QString stringValue(GSettings *settings, const char *key)
{
    gchar *value = g_settings_get_string(settings, key);
    const QString text = QString::fromUtf8(value);
    g_free(value);
    return text;
}

/// Accelerators compare without regard to case and to the order of their modifiers.
QString normalized(QString accelerator)
{
    accelerator = accelerator.toLower().replace(QLatin1String("<primary>"), QLatin1String("<control>"));
    QStringList modifiers;
    while (accelerator.startsWith(QLatin1Char('<'))) {
        const qsizetype end = accelerator.indexOf(QLatin1Char('>'));
        if (end < 0)
            break;
        modifiers.append(accelerator.left(end + 1));
        accelerator.remove(0, end + 1);
    }
    modifiers.sort();
    return modifiers.join(QString()) + accelerator;
}

/// Whether a keybinding of GNOME itself (window manager, shell, another custom one) has this accelerator.
bool takenElsewhere(const QString &accelerator, GSettings *mediaKeys)
{
    const QString wanted = normalized(accelerator);
    for (const QString &other : strings(mediaKeys, customListKey)) {
        if (other == QLatin1String(GnomeCustomKeybinding::path))
            continue;
        Settings custom(g_settings_new_with_path(customSchema, other.toUtf8().constData()));
        if (normalized(stringValue(custom.get(), "binding")) == wanted)
            return true;
    }
    for (const char *schema : { "org.gnome.desktop.wm.keybindings", "org.gnome.shell.keybindings" }) {
        if (!schemaInstalled(schema))
            continue;
        Settings settings(g_settings_new(schema));
        GSettingsSchema *described = nullptr;
        g_object_get(settings.get(), "settings-schema", &described, nullptr);
        gchar **keys = described ? g_settings_schema_list_keys(described) : nullptr;
        bool found = false;
        for (gchar **key = keys; key && *key && !found; ++key) {
            GVariant *value = g_settings_get_value(settings.get(), *key);
            if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING_ARRAY)) {
                const gchar **values = g_variant_get_strv(value, nullptr);
                for (const gchar **v = values; v && *v && !found; ++v)
                    found = normalized(QString::fromUtf8(*v)) == wanted;
                g_free(values);
            }
            g_variant_unref(value);
        }
        g_strfreev(keys);
        if (described)
            g_settings_schema_unref(described);
        if (found)
            return true;
    }
    return false;
}

} // namespace

GnomeCustomKeybinding::GnomeCustomKeybinding(const QString &program, QObject *parent)
    : GlobalHotkey(parent)
    , m_program(program)
{
}

QString GnomeCustomKeybinding::accelerator(const KeyCombination &combination)
{
    QString text;
    if (combination.modifiers & KeyCombination::super)
        text += QLatin1String("<Super>");
    if (combination.modifiers & KeyCombination::control)
        text += QLatin1String("<Control>");
    if (combination.modifiers & KeyCombination::alt)
        text += QLatin1String("<Alt>");
    if (combination.modifiers & KeyCombination::shift)
        text += QLatin1String("<Shift>");
    // GTK's key names: letters in lower case, "space", "Page_Up" and so on.
    static const QHash<QString, QString> names { { QStringLiteral("Space"), QStringLiteral("space") },
        { QStringLiteral("PageUp"), QStringLiteral("Page_Up") },
        { QStringLiteral("PageDown"), QStringLiteral("Page_Down") },
        { QStringLiteral("Backspace"), QStringLiteral("BackSpace") } };
    const QString &key = combination.key;
    text += key.size() == 1 ? key.toLower() : names.value(key, key);
    return text;
}

GlobalHotkey::Result GnomeCustomKeybinding::setCombination(const KeyCombination &combination)
{
    if (!schemaInstalled(mediaKeysSchema) || !schemaInstalled(customSchema))
        return Result::failed;
    Settings mediaKeys(g_settings_new(mediaKeysSchema));
    const QString binding = accelerator(combination);
    if (takenElsewhere(binding, mediaKeys.get())) {
        clear();
        return Result::taken;
    }
    Settings custom(g_settings_new_with_path(customSchema, path.data()));
    gchar *quoted = g_shell_quote(m_program.toUtf8().constData());
    const QByteArray command = QByteArray(quoted) + " launcher";
    g_free(quoted);
    g_settings_set_string(custom.get(), "name", "Corvalint Launcher");
    g_settings_set_string(custom.get(), "command", command.constData());
    g_settings_set_string(custom.get(), "binding", binding.toUtf8().constData());
    QStringList list = strings(mediaKeys.get(), customListKey);
    if (!list.contains(QLatin1String(path))) {
        list.append(QLatin1String(path));
        setStrings(mediaKeys.get(), customListKey, list);
    }
    g_settings_sync();
    return Result::registered;
}

void GnomeCustomKeybinding::clear()
{
    if (!schemaInstalled(mediaKeysSchema) || !schemaInstalled(customSchema))
        return;
    Settings mediaKeys(g_settings_new(mediaKeysSchema));
    QStringList list = strings(mediaKeys.get(), customListKey);
    if (list.removeAll(QLatin1String(path)) > 0)
        setStrings(mediaKeys.get(), customListKey, list);
    Settings custom(g_settings_new_with_path(customSchema, path.data()));
    g_settings_reset(custom.get(), "binding");
    g_settings_reset(custom.get(), "command");
    g_settings_reset(custom.get(), "name");
    g_settings_sync();
}
