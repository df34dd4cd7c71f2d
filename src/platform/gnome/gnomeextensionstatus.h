// Whether Corvalint's GNOME Shell extension works in this session, and if not, the one sentence that tells the user
// what to do.
#pragma once

#include <QDBusConnection>
#include <QString>

namespace GnomeExtensionStatus {

inline constexpr QLatin1StringView uuid { "corvalint@corvalint.org" };

enum class State {
    /// On the bus and speaking our interface.
    active,
    /// GNOME Shell does not run in this session.
    noShell,
    /// Neither the running shell nor the user's extension folder has it.
    notInstalled,
    /// Installed, but the running shell has not loaded it: shells look for extensions only when they start.
    needsLogin,
    /// The shell knows it, and it is switched off.
    disabled,
    /// The shell tried and failed (an error, or a shell version the installed form is not made for).
    failed,
};

struct Report {
    State state = State::noShell;
    /// The running shell's version ("43.9"); empty without a shell.
    QString shellVersion;
    /// What the shell said about a failure, for the log.
    QString detail;
};

/// Asks the session bus: org.corvalint.Shell, then GNOME Shell's own Extensions interface, then the user's folder.
Report inspect(const QDBusConnection &bus);

/// The one sentence for the command line; empty when the extension is active.
QString instruction(State state);
/// The same for the app's banner and settings page, in the app's language.
QString appInstruction(State state);

} // namespace GnomeExtensionStatus
