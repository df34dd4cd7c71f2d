// The desktop services capture, launch, placement and the views stand on:
// screens, running applications and launching, window reads and writes, and
// document collectors. The X11 desktop and the simulated desktop implement it.
#pragma once

#include "platformprofile.h"

#include <QList>
#include <QObject>
#include <QRectF>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <functional>
#include <optional>

/// One connected screen as the platform lists it.
struct PlatformScreen {
    /// The display number, valid until the configuration changes; absent when
    /// the platform gives none for this screen.
    std::optional<quint32> displayNumber;
    /// The screen's rectangle as the window toolkit reports it (a fallback for
    /// screens without a display number).
    QRectF frame;
};

/// Activation policies of a running application.
enum ActivationPolicy : int { regularPolicy = 0, accessoryPolicy = 1, prohibitedPolicy = 2 };

/// One running application.
struct RunningApplication {
    std::optional<QString> bundleIdentifier;
    int activationPolicy = regularPolicy;
    qint64 processIdentifier = 0;

    bool operator==(const RunningApplication &) const = default;
};

/// What a file-system existence check reports.
struct FileStatus {
    bool exists = false;
    bool isDirectory = false;
};

/// What a document collector returned, before it is read as a list of strings.
struct ScriptResult {
    /// The collector failed (its error slot was filled); the value is not used.
    bool failed = false;
    /// A QVariantList of items (strings, or items without text), one QString,
    /// or anything else (no text at all).
    QVariant value;
};

/// An opaque handle of one window, valid while the window exists.
using WindowRef = quint64;

class DesktopPlatform : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~DesktopPlatform() override = default;

    // --- Screens -------------------------------------------------------------

    /// The connected screens, primary first; may be empty.
    virtual QList<PlatformScreen> screens() const = 0;
    /// The index in `screens()` of the screen holding the focused window, or
    /// nothing when there is no such screen.
    virtual std::optional<int> mainScreenIndex() const = 0;
    /// A display's rectangle in the global display space (top-left origin at
    /// the primary screen, y down, in points).
    virtual QRectF displayBounds(quint32 displayNumber) const = 0;
    /// The persistent identifier of a display as 36 upper-case UUID characters,
    /// or nothing.
    virtual std::optional<QString> displayUUID(quint32 displayNumber) const = 0;

    // --- Running applications and launching ------------------------------------

    /// Every running application in a stable order.
    virtual QList<RunningApplication> runningApplications() const = 0;
    /// This program's own application identifier, or nothing.
    virtual std::optional<QString> ownBundleIdentifier() const = 0;
    /// Politely asks the application to quit; never waits.
    virtual void terminate(const RunningApplication &application) = 0;
    /// Where the installed application with this identifier lives, or nothing.
    virtual std::optional<QString> applicationLocation(const QString &bundleIdentifier) const = 0;

    /// Called once, later, on the main thread: the running application, or
    /// nothing when the launch failed.
    using LaunchCompletion = std::function<void(std::optional<RunningApplication>)>;
    /// Launches the application at `location` (or brings a running copy forward).
    virtual void openApplication(const QString &location, LaunchCompletion completion) = 0;
    /// Opens `urls` with the application at `location`.
    virtual void openDocuments(const QList<QUrl> &urls, const QString &location, LaunchCompletion completion) = 0;
    /// Opens a location with its default handler; no completion.
    virtual void openURL(const QUrl &url) = 0;
    /// Whether `path` exists, and whether it is a directory.
    virtual FileStatus fileStatus(const QString &path) const = 0;

    // --- Windows (accessibility) -------------------------------------------------

    /// Whether this process may read and move other applications' windows.
    virtual bool isTrusted() const = 0;
    /// The application's windows ("AXWindows") in its order; nothing when the
    /// read fails or the value is not a list (always so while untrusted).
    virtual std::optional<QList<WindowRef>> copyWindowList(qint64 processIdentifier) = 0;
    /// One attribute of a window (see Ax); an invalid QVariant when missing. The
    /// value may be of an unexpected type: callers check.
    virtual QVariant copyAttribute(WindowRef window, QLatin1StringView attribute) = 0;
    /// Writes one attribute; refusals are silent.
    virtual void setAttribute(WindowRef window, QLatin1StringView attribute, const QVariant &value) = 0;

    // --- Documents ---------------------------------------------------------------

    /// Runs the collector of `role` against the running application with this
    /// identifier. Called only while that application runs.
    virtual ScriptResult runScript(DocumentRole role, const QString &applicationIdentifier) = 0;

    /// Which identifiers play which roles here.
    virtual PlatformProfile profile() const = 0;

signals:
    /// Screens were connected, removed or rearranged.
    void screensChanged();
};
