// The desktop a command or the application works on — the X11 session or a
// simulated desktop from a scenario file — with its clock and automation service.
#pragma once

#include "model/entrydata.h"

#include <QList>
#include <QString>
#include <memory>

class AutomationClock;
class AutomationService;
class DesktopPlatform;
class SimulatedDesktop;
class VirtualClock;

class DesktopSession
{
public:
    /// The value of `--desktop` when none is given.
    static constexpr char x11Choice[] = "x11";
    /// sway and i3 through their IPC socket; "sway" and "i3" name the same desktop.
    static constexpr char i3ipcChoice[] = "i3ipc";
    /// KWin on Wayland, through scripts it runs over D-Bus.
    static constexpr char kwinChoice[] = "kwin";
    /// GNOME Shell on Wayland, through Corvalint's shell extension.
    static constexpr char gnomeChoice[] = "gnome";
    static constexpr char simPrefix[] = "sim:";

    /// The desktop when none is named: sway's or i3's IPC when the session is one of theirs (SWAYSOCK or
    /// I3SOCK set, or the desktop named so), else KWin's on a Wayland session with org.kde.KWin on the bus, else X11.
    static QString automaticChoice();
    /// The choice `--desktop` gave, or else the automatic one.
    static QString choiceFor(const QString &given, bool chosen) { return chosen ? given : automaticChoice(); }
    /// Whether open() knows a desktop of this name (a scenario path is not checked).
    static bool knows(const QString &choice);

    /// Opens "x11" (the session on $DISPLAY), "i3ipc" (sway or i3, their socket found by SWAYSOCK, I3SOCK or
    /// the window manager), "kwin" (KWin on the session bus) or "sim:SCENARIO.json". Nothing,
    /// with one line in `error`, when there is no X display, no window manager
    /// (when `needWindowManager`), or the scenario cannot be read.
    static std::unique_ptr<DesktopSession> open(const QString &choice, bool needWindowManager, QString *error);
    ~DesktopSession();

    DesktopSession(const DesktopSession &) = delete;
    DesktopSession &operator=(const DesktopSession &) = delete;

    DesktopPlatform &platform() const { return *m_platform; }
    AutomationClock &clock() const { return *m_clock; }
    AutomationService &automation() const { return *m_automation; }
    bool isSimulated() const { return m_simulated != nullptr; }
    /// The simulated desktop, or nullptr on X11.
    SimulatedDesktop *simulatedDesktop() const { return m_simulated; }

    /// The desktop Corvalint's own windows live on, for their taskbar and
    /// virtual-desktop hints: the automated desktop itself, except on a
    /// simulated desktop, whose scenario has no windows of ours; then the
    /// real display when there is one (connected on first use).
    DesktopPlatform &ownWindows();

    /// Runs a launch to its end and waits for its placements as well: in
    /// virtual time on a simulated desktop, on the event loop (at most
    /// `placementWaitMs` after the launch itself) on X11.
    void runLaunch(const QList<EntryData> &entries, bool restoreDocuments, bool focusMode, int placementWaitMs = 30000);

    /// Lets virtual time run until nothing is left (placements started from the
    /// tray menu); nothing on X11.
    void drainVirtualTime();

    /// For the application on a simulated desktop: whenever something waits
    /// on the virtual clock, lets it run (from the event loop) until nothing
    /// does, so that launches from the views and the tray finish by themselves.
    void driveVirtualTime();

    /// Writes the simulated desktop's request log to `path` as JSON lines (one
    /// request per line). On X11 there is no log: false with a reason.
    bool writeRequestLog(const QString &path, QString *error) const;

private:
    DesktopSession() = default;

    std::unique_ptr<DesktopPlatform> m_ownWindows;

    // Declared in the order they must be built; destroyed in reverse.
    std::unique_ptr<AutomationClock> m_clock;
    std::unique_ptr<DesktopPlatform> m_platform;
    std::unique_ptr<AutomationService> m_automation;
    VirtualClock *m_virtualClock = nullptr;
    SimulatedDesktop *m_simulated = nullptr;
    bool m_drainQueued = false;
};
