// The desktop platform of an X11 session with an EWMH window manager: RandR monitors, client windows
// grouped into applications by their desktop entries, placement through the window manager, GIO launching.
#pragma once

#include "automation/desktopplatform.h"
#include "desktoplauncher.h"
#include "desktopentryindex.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPoint>
#include <memory>
#include <optional>
#include <vector>

class LinuxDocuments;
class X11Connection;
class X11Screens;
class X11WindowMover;
struct RootState;
struct WindowFacts;

class X11Desktop : public DesktopPlatform
{
    Q_OBJECT

public:
    /// Corvalint's own desktop entry ID.
    static constexpr QLatin1StringView ownIdentifier{"corvalint"};
    /// How long a launch may take to show its first window before it counts as failed.
    static constexpr int launchTimeoutMs = 10000;

    /// Connects to `display` (empty: $DISPLAY). Nothing, with `error` filled, when there is no X server.
    static std::unique_ptr<X11Desktop> connect(const QString &display, QString *error);
    ~X11Desktop() override;

    QList<PlatformScreen> screens() const override;
    std::optional<int> mainScreenIndex() const override;
    QRectF displayBounds(quint32 displayNumber) const override;
    std::optional<QString> displayUUID(quint32 displayNumber) const override;

    QList<RunningApplication> runningApplications() const override;
    std::optional<QString> ownBundleIdentifier() const override;
    void terminate(const RunningApplication &application) override;
    std::optional<QString> applicationLocation(const QString &bundleIdentifier) const override;
    void openApplication(const QString &location, LaunchCompletion completion) override;
    void openDocuments(const QList<QUrl> &urls, const QString &location, LaunchCompletion completion) override;
    void openURL(const QUrl &url) override;
    FileStatus fileStatus(const QString &path) const override;

    bool isTrusted() const override;
    std::optional<QList<WindowRef>> copyWindowList(qint64 processIdentifier) override;
    QVariant copyAttribute(WindowRef window, QLatin1StringView attribute) override;
    void setAttribute(WindowRef window, QLatin1StringView attribute, const QVariant &value) override;

    ScriptResult runScript(DocumentRole role, const QString &applicationIdentifier) override;
    PlatformProfile profile() const override;

    /// X errors no request collected, after a round trip (a diagnostic for tests: it stays 0).
    quint64 strayErrorCount();
    /// Round trips to the X server so far (a diagnostic for the bench).
    quint64 roundTripCount() const;

private:
    struct Application {
        RunningApplication info;
        /// Indexes into Snapshot::windows, client-list order.
        std::vector<size_t> windows;
    };
    /// What one read of the desktop found; kept until control returns to the event loop or a write.
    struct Snapshot;
    struct PendingMove {
        quint64 window = 0;
        QPoint frameTopLeft;
    };

    X11Desktop(std::unique_ptr<X11Connection> connection, QString display);

    Snapshot &snapshot() const;
    void invalidate() const;
    const WindowFacts *facts(WindowRef window) const;
    const Application *applicationWithPid(qint64 processIdentifier) const;
    const Application *applicationWithId(const QString &identifier) const;
    QString identifierOf(size_t windowIndex, int depth = 0) const;
    bool isReady(const WindowFacts &facts) const;
    QString roleOf(const WindowFacts &facts) const;
    const DesktopEntryIndex &entries() const;
    void flushPendingMove();
    void launchAndWatch(const QString &location, const QStringList &uris, LaunchCompletion completion);
    void watchForWindow(const QString &identifier, qint64 pid, LaunchCompletion completion);
    static void complete(LaunchCompletion completion, std::optional<RunningApplication> application);

    std::unique_ptr<X11Connection> m_connection;
    std::unique_ptr<X11Screens> m_screens;
    std::unique_ptr<X11WindowMover> m_mover;
    std::unique_ptr<LinuxDocuments> m_documents;
    DesktopLauncher m_launcher;
    mutable std::unique_ptr<Snapshot> m_snapshot;
    mutable bool m_dropScheduled = false;
    mutable DesktopEntryIndex m_entries;
    mutable QElapsedTimer m_entriesAge;
    std::optional<PendingMove> m_pendingMove;
};
