// Telling apart the reasons why Corvalint's extension is not there, from what GNOME Shell itself reports.
#include "gnomeextensionstatus.h"

#include "gnomeshellclient.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFileInfo>
#include <QStandardPaths>
#include <QVariantMap>

namespace GnomeExtensionStatus {

namespace {

constexpr int timeoutMs = 2000;
const QString shellService = QStringLiteral("org.gnome.Shell");

// GNOME Shell's ExtensionState (js/misc/extensionUtils.js).
enum ShellExtensionState { enabled = 1, disabledState = 2, error = 3, outOfDate = 4, initialized = 6 };

bool installedForUser()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/gnome-shell/extensions/") + uuid;
    return QFileInfo::exists(folder + QStringLiteral("/metadata.json"));
}

} // namespace

Report inspect(const QDBusConnection &bus)
{
    Report report;
    if (!bus.isConnected() || !bus.interface())
        return report;
    const auto shell = bus.interface()->isServiceRegistered(shellService);
    if (!shell.isValid() || !shell.value())
        return report;

    QDBusMessage version = QDBusMessage::createMethodCall(shellService, QStringLiteral("/org/gnome/Shell"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    version.setArguments({ QStringLiteral("org.gnome.Shell"), QStringLiteral("ShellVersion") });
    report.shellVersion
        = bus.call(version, QDBus::Block, timeoutMs).arguments().value(0).value<QDBusVariant>().variant().toString();

    GnomeShellClient client(bus, false);
    QString ignored;
    if (client.ready(&ignored)) {
        report.state = State::active;
        return report;
    }
    QDBusMessage info = QDBusMessage::createMethodCall(shellService, QStringLiteral("/org/gnome/Shell"),
        QStringLiteral("org.gnome.Shell.Extensions"), QStringLiteral("GetExtensionInfo"));
    info.setArguments({ QString(uuid) });
    const QDBusMessage reply = bus.call(info, QDBus::Block, timeoutMs);
    const QVariantMap known = qdbus_cast<QVariantMap>(reply.arguments().value(0));
    if (known.isEmpty()) {
        // The shell has not seen it: either it is not there, or it came after the shell started.
        report.state = installedForUser() ? State::needsLogin : State::notInstalled;
        return report;
    }
    report.detail = known.value(QStringLiteral("error")).toString();
    switch (int(known.value(QStringLiteral("state")).toDouble())) {
    case error:
    case outOfDate:
        report.state = State::failed;
        break;
    case enabled:
        // Enabled, yet not on the bus: it failed in a way the shell did not notice.
        report.state = State::failed;
        break;
    default:
        report.state = State::disabled;
        break;
    }
    return report;
}

QString instruction(State state)
{
    switch (state) {
    case State::active:
        return {};
    case State::noShell:
        return QStringLiteral("needs GNOME Shell on the session bus, and it is not there");
    case State::notInstalled:
        return QStringLiteral("GNOME Shell needs Corvalint's extension: run \"corvalint gnome-extension install\", "
                              "then log out and back in");
    case State::needsLogin:
        return QStringLiteral("Corvalint's GNOME Shell extension is installed but GNOME Shell loads it only at login: "
                              "log out and back in");
    case State::disabled:
        return QStringLiteral("Corvalint's GNOME Shell extension is switched off: run "
                              "\"corvalint gnome-extension install\" to switch it on");
    case State::failed:
        return QStringLiteral(
            "Corvalint's GNOME Shell extension failed in this GNOME Shell: run "
            "\"corvalint gnome-extension install\" for the form that fits it, then log out and back in");
    }
    return {};
}

QString appInstruction(State state)
{
    switch (state) {
    case State::active:
        return {};
    case State::noShell:
        return QStringLiteral("GNOME Shell läuft in dieser Sitzung nicht.");
    case State::notInstalled:
        return QStringLiteral("Corvalint braucht unter GNOME seine Shell-Erweiterung: im Terminal "
                              "„corvalint gnome-extension install“ ausführen, dann ab- und wieder anmelden.");
    case State::needsLogin:
        return QStringLiteral("Die GNOME-Erweiterung von Corvalint ist installiert und wird nach dem nächsten "
                              "Anmelden aktiv: ab- und wieder anmelden.");
    case State::disabled:
        return QStringLiteral("Die GNOME-Erweiterung von Corvalint ist ausgeschaltet: im Terminal "
                              "„corvalint gnome-extension install“ ausführen, um sie einzuschalten.");
    case State::failed:
        return QStringLiteral("Die GNOME-Erweiterung von Corvalint passt nicht zu dieser GNOME Shell: im Terminal "
                              "„corvalint gnome-extension install“ ausführen, dann ab- und wieder anmelden.");
    }
    return {};
}

} // namespace GnomeExtensionStatus
