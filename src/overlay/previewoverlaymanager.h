// Puts the preview overlay on the desktop: one transparent, frameless, always-on-top window per
// screen showing where each entry's window will be placed; closes them all again.
#pragma once

#include "automation/desktopplatform.h"
#include "model/entrydata.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <functional>
#include <memory>
#include <vector>

class QQmlEngine;
class QQuickView;
class QWindow;

class PreviewOverlayManager : public QObject
{
    Q_OBJECT
    /// How many overlay windows are open (one per screen while showing, else 0).
    Q_PROPERTY(int windows READ windowCount NOTIFY windowsChanged)

public:
    /// One instance is made at start-up; `platform` must outlive it.
    explicit PreviewOverlayManager(DesktopPlatform &platform, QObject *parent = nullptr);
    /// Closes what is still open.
    ~PreviewOverlayManager() override;

    PreviewOverlayManager(const PreviewOverlayManager &) = delete;
    PreviewOverlayManager &operator=(const PreviewOverlayManager &) = delete;

    /// Closes any open overlay, then opens one window per screen the platform
    /// lists now, each given every entry (each screen draws those that touch it).
    /// No screens: nothing opens.
    void show(const QList<EntryData> &entries);
    int windowCount() const { return int(m_windows.size()); }
    bool isShowing() const { return !m_windows.empty(); }
    /// The open windows in screen order (for tests and screenshots).
    QList<QQuickView *> windowList() const;

    /// Where the windows' own hints (no taskbar entry, every virtual desktop)
    /// go, when that is another desktop than the one whose monitors they cover.
    void setHintsPlatform(DesktopPlatform *platform) { m_hintsPlatform = platform; }

public slots:
    /// Closes every overlay window; nothing when none is open.
    void close();

signals:
    void windowsChanged();
    /// The overlay was closed (by Escape, its close button, or `close`).
    void closed();

protected:
    /// Escape anywhere in this program closes the overlay and goes no further,
    /// like a key monitor of the whole application; other keys pass on.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::unique_ptr<QQuickView> createWindow(const DesktopMonitor &monitor, const QList<EntryData> &entries);
    QQmlEngine &engine();

    DesktopPlatform &m_platform;
    DesktopPlatform *m_hintsPlatform = nullptr;
    std::unique_ptr<QQmlEngine> m_engine;
    std::vector<std::unique_ptr<QQuickView>> m_windows;
    /// Closed windows waiting for deletion; they must go before the engine.
    QList<QPointer<QQuickView>> m_retired;
};
