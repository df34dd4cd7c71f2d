// The hotkey as a GNOME custom keybinding, on GSettings' memory backend: written with the command and the
// accelerator, listed beside the user's own, refused when GNOME already binds the same keys, removed again.
#include "platform/gnome/gnomecustomkeybinding.h"

#include <QTest>
// GIO names a struct member "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

namespace {

QString stringAt(const char *schema, const char *path, const char *key)
{
    GSettings *settings = path ? g_settings_new_with_path(schema, path) : g_settings_new(schema);
    gchar *value = g_settings_get_string(settings, key);
    const QString text = QString::fromUtf8(value);
    g_free(value);
    g_object_unref(settings);
    return text;
}

QStringList customList()
{
    GSettings *settings = g_settings_new("org.gnome.settings-daemon.plugins.media-keys");
    gchar **values = g_settings_get_strv(settings, "custom-keybindings");
    QStringList list;
    for (gchar **value = values; value && *value; ++value)
        list.append(QString::fromUtf8(*value));
    g_strfreev(values);
    g_object_unref(settings);
    return list;
}

} // namespace

class TestGnomeCustomKeybinding : public QObject
{
    Q_OBJECT

    static constexpr const char *customSchema = "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding";

private slots:
    void initTestCase()
    {
        // Nothing of the user's own settings is touched.
        qputenv("GSETTINGS_BACKEND", "memory");
        GSettingsSchemaSource *source = g_settings_schema_source_get_default();
        GSettingsSchema *schema = source ? g_settings_schema_source_lookup(source, customSchema, TRUE) : nullptr;
        if (!schema)
            QSKIP("GNOME's keybinding schema is not installed");
        g_settings_schema_unref(schema);
    }

    void acceleratorsAreWrittenAsGtkWritesThem()
    {
        QCOMPARE(GnomeCustomKeybinding::accelerator(*KeyCombination::fromText(QStringLiteral("Super+Alt+D"))),
            QStringLiteral("<Super><Alt>d"));
        QCOMPARE(GnomeCustomKeybinding::accelerator(*KeyCombination::fromText(QStringLiteral("Ctrl+Shift+Space"))),
            QStringLiteral("<Control><Shift>space"));
    }

    void theKeybindingRunsTheLauncherCommandAndGoesAwayAgain()
    {
        GnomeCustomKeybinding binding(QStringLiteral("/opt/Corvalint Beta/corvalint"));
        QCOMPARE(binding.setCombination(*KeyCombination::fromText(QStringLiteral("Super+Alt+D"))),
            GlobalHotkey::Result::registered);
        const QByteArray path = QByteArray(GnomeCustomKeybinding::path.data(), GnomeCustomKeybinding::path.size());
        QVERIFY(customList().contains(QString::fromLatin1(path)));
        QCOMPARE(stringAt(customSchema, path.constData(), "binding"), QStringLiteral("<Super><Alt>d"));
        QCOMPARE(stringAt(customSchema, path.constData(), "command"),
            QStringLiteral("'/opt/Corvalint Beta/corvalint' launcher"));
        // Changed: one entry still, with the new keys.
        QCOMPARE(binding.setCombination(*KeyCombination::fromText(QStringLiteral("Ctrl+Alt+L"))),
            GlobalHotkey::Result::registered);
        QCOMPARE(customList().count(QString::fromLatin1(path)), 1);
        QCOMPARE(stringAt(customSchema, path.constData(), "binding"), QStringLiteral("<Control><Alt>l"));
        binding.clear();
        QVERIFY(!customList().contains(QString::fromLatin1(path)));
    }

    void keysGnomeAlreadyBindsAreTaken()
    {
        // The user's own custom keybinding on the same keys, written in another modifier order.
        const char *own = "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom0/";
        GSettings *custom = g_settings_new_with_path(customSchema, own);
        g_settings_set_string(custom, "binding", "<Alt><Super>D");
        g_object_unref(custom);
        GSettings *mediaKeys = g_settings_new("org.gnome.settings-daemon.plugins.media-keys");
        const gchar *list[] = { own, nullptr };
        g_settings_set_strv(mediaKeys, "custom-keybindings", list);
        g_object_unref(mediaKeys);

        GnomeCustomKeybinding binding(QStringLiteral("/usr/bin/corvalint"));
        QCOMPARE(binding.setCombination(*KeyCombination::fromText(QStringLiteral("Super+Alt+D"))),
            GlobalHotkey::Result::taken);
        QCOMPARE(customList(), QStringList { QString::fromLatin1(own) });
    }
};

QTEST_GUILESS_MAIN(TestGnomeCustomKeybinding)
#include "tst_gnomecustomkeybinding.moc"
