// Installs Corvalint's GNOME Shell extension for the user: the form that fits the shell (imports for 43 and 44,
// ES modules from 45 on) into the user's extension folder, switched on in GNOME Shell's settings.
#pragma once

#include <QDBusConnection>
#include <QString>
#include <optional>

namespace GnomeExtensionInstaller {

/// "legacy" for GNOME Shell 43 and 44 (and older), "modules" for 45 and later; nothing for text without a version.
std::optional<QString> formFor(const QString &shellVersion);

/// The running shell's version over the bus, else `gnome-shell --version`; empty when neither answers.
QString shellVersion(const QDBusConnection &bus);

/// The folder holding both built forms (FOLDER/legacy/UUID, FOLDER/modules/UUID): Corvalint's installed data,
/// or the build tree's copy when Corvalint runs from there. Empty when neither has them.
QString formsFolder();

/// Copies the form into $XDG_DATA_HOME/gnome-shell/extensions/UUID (replacing an older copy) and switches it on
/// (enabled-extensions, user extensions allowed; a running shell that already knows it is asked over the bus).
/// `done` says what happens next (at once, or at the next login); false with `error` filled when it cannot.
bool install(
    const QDBusConnection &bus, const QString &formsFolder, const QString &shellVersion, QString *done, QString *error);

} // namespace GnomeExtensionInstaller
