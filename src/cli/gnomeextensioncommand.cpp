// Installing the GNOME Shell extension from the command line.
#include "gnomeextensioncommand.h"

#include "platform/gnome/gnomeextensioninstaller.h"

#include <QDBusConnection>

namespace GnomeExtensionCommand {

int run(const QString &action, QTextStream &out, QTextStream &err)
{
    if (action != QLatin1String("install")) {
        err << "corvalint: gnome-extension: unknown action \"" << action << "\"; use install\n";
        return 2;
    }
    const QDBusConnection bus = QDBusConnection::sessionBus();
    const QString version = GnomeExtensionInstaller::shellVersion(bus);
    QString done;
    QString error;
    if (!GnomeExtensionInstaller::install(bus, GnomeExtensionInstaller::formsFolder(), version, &done, &error)) {
        err << "corvalint: gnome-extension: " << error << '\n';
        return 1;
    }
    out << done << '\n';
    return 0;
}

} // namespace GnomeExtensionCommand
