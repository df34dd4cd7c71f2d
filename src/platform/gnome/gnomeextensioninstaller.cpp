// Copying the extension and switching it on through GSettings (GIO), the way GNOME's own tools do.
#include "gnomeextensioninstaller.h"

#include "gnomeextensionstatus.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QVariantMap>

#undef signals
#include <gio/gio.h>
#define signals Q_SIGNALS

#ifndef CORVALINT_GNOME_EXTENSION_BUILD_DIR
#define CORVALINT_GNOME_EXTENSION_BUILD_DIR ""
#endif

namespace GnomeExtensionInstaller {

namespace {

const QString uuid = QString(GnomeExtensionStatus::uuid);
// The extension's own files; nothing else from the folder is copied.
const QStringList files { QStringLiteral("metadata.json"), QStringLiteral("extension.js"),
    QStringLiteral("shellservice.js"), QStringLiteral("topbarmenu.js") };

bool copyForm(const QString &from, const QString &to, QString *error)
{
    QDir().mkpath(to);
    for (const QString &name : files) {
        const QString target = to + QLatin1Char('/') + name;
        QFile::remove(target);
        if (!QFile::copy(from + QLatin1Char('/') + name, target)) {
            *error = QStringLiteral("cannot copy %1 to %2").arg(name, to);
            return false;
        }
    }
    return true;
}

/// The schema's GSettings, or nothing where GNOME Shell's schema is not installed (asking for a missing schema
/// would abort the program).
GSettings *shellSettings()
{
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    GSettingsSchema *schema = source ? g_settings_schema_source_lookup(source, "org.gnome.shell", TRUE) : nullptr;
    if (!schema)
        return nullptr;
    g_settings_schema_unref(schema);
    return g_settings_new("org.gnome.shell");
}

/// Adds or removes the uuid in a string-list key; whether it changed.
bool editList(GSettings *settings, const char *key, bool present)
{
    gchar **values = g_settings_get_strv(settings, key);
    GPtrArray *next = g_ptr_array_new();
    bool found = false;
    const QByteArray id = uuid.toUtf8();
    for (gchar **v = values; *v; ++v) {
        if (id == *v)
            found = true;
        else
            g_ptr_array_add(next, *v);
    }
    if (present)
        g_ptr_array_add(next, const_cast<char *>(id.constData()));
    g_ptr_array_add(next, nullptr);
    const bool changed = found != present;
    if (changed)
        g_settings_set_strv(settings, key, reinterpret_cast<const gchar *const *>(next->pdata));
    g_ptr_array_free(next, TRUE);
    g_strfreev(values);
    return changed;
}

bool switchOn(QString *error)
{
    GSettings *settings = shellSettings();
    if (!settings) {
        *error = QStringLiteral("GNOME Shell's settings schema (org.gnome.shell) is not installed");
        return false;
    }
    g_settings_set_boolean(settings, "disable-user-extensions", FALSE);
    editList(settings, "disabled-extensions", false);
    editList(settings, "enabled-extensions", true);
    // Written through dconf's service, which this short-lived program must wait for.
    g_settings_sync();
    g_object_unref(settings);
    return true;
}

bool shellKnowsIt(const QDBusConnection &bus)
{
    QDBusMessage info
        = QDBusMessage::createMethodCall(QStringLiteral("org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"),
            QStringLiteral("org.gnome.Shell.Extensions"), QStringLiteral("GetExtensionInfo"));
    info.setArguments({ uuid });
    const QDBusMessage reply = bus.call(info, QDBus::Block, 2000);
    return !qdbus_cast<QVariantMap>(reply.arguments().value(0)).isEmpty();
}

} // namespace

std::optional<QString> formFor(const QString &shellVersion)
{
    static const QRegularExpression major(QStringLiteral("^\\s*(?:GNOME Shell\\s+)?(\\d{1,4})(?:[.\\s]|$)"));
    const auto match = major.match(shellVersion);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt() >= 45 ? QStringLiteral("modules") : QStringLiteral("legacy");
}

QString shellVersion(const QDBusConnection &bus)
{
    QDBusMessage get = QDBusMessage::createMethodCall(QStringLiteral("org.gnome.Shell"),
        QStringLiteral("/org/gnome/Shell"), QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get.setArguments({ QStringLiteral("org.gnome.Shell"), QStringLiteral("ShellVersion") });
    if (bus.isConnected()) {
        const QString running
            = bus.call(get, QDBus::Block, 2000).arguments().value(0).value<QDBusVariant>().variant().toString();
        if (!running.isEmpty())
            return running;
    }
    // No shell in this session (an installation ahead of the first login): the installed one says.
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral("gnome-shell"), { QStringLiteral("--version") });
    if (!process.waitForFinished(5000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString formsFolder()
{
    const QString relative = QStringLiteral("corvalint/gnome-shell");
    QStringList candidates;
    // Next to the program first: an installed Corvalint under any prefix, then the build tree it was built in.
    candidates << QCoreApplication::applicationDirPath() + QStringLiteral("/../share/") + relative;
    candidates << QStandardPaths::locateAll(
        QStandardPaths::GenericDataLocation, relative, QStandardPaths::LocateDirectory);
    candidates << QStringLiteral(CORVALINT_GNOME_EXTENSION_BUILD_DIR);
    for (const QString &folder : std::as_const(candidates)) {
        if (!folder.isEmpty()
            && QFileInfo::exists(folder + QStringLiteral("/legacy/") + uuid + QStringLiteral("/metadata.json")))
            return QDir::cleanPath(folder);
    }
    return {};
}

bool install(const QDBusConnection &bus, const QString &folder, const QString &version, QString *done, QString *error)
{
    const auto form = formFor(version);
    if (!form) {
        *error = QStringLiteral("cannot tell which GNOME Shell this is (no running shell, no gnome-shell --version)");
        return false;
    }
    const QString source = folder + QLatin1Char('/') + *form + QLatin1Char('/') + uuid;
    if (folder.isEmpty() || !QFileInfo::exists(source + QStringLiteral("/metadata.json"))) {
        *error = QStringLiteral("Corvalint's GNOME Shell extension is not among its installed files");
        return false;
    }
    const QString target = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/gnome-shell/extensions/") + uuid;
    if (!copyForm(source, target, error) || !switchOn(error))
        return false;
    // A shell that has seen the extension (installed earlier, switched off since) takes it at once.
    if (bus.isConnected() && shellKnowsIt(bus)) {
        QDBusMessage enable
            = QDBusMessage::createMethodCall(QStringLiteral("org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"),
                QStringLiteral("org.gnome.Shell.Extensions"), QStringLiteral("EnableExtension"));
        enable.setArguments({ uuid });
        bus.call(enable, QDBus::Block, 2000);
        *done = QStringLiteral("Corvalint's GNOME Shell extension (%1 form) is installed in %2 and switched on")
                    .arg(*form, target);
        return true;
    }
    *done = QStringLiteral("Corvalint's GNOME Shell extension (%1 form) is installed in %2 and switched on; "
                           "GNOME Shell loads it at the next login")
                .arg(*form, target);
    return true;
}

} // namespace GnomeExtensionInstaller
