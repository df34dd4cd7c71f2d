// Keeps Corvalint's main window: creates it, shows it with the taskbar presence
// applied, brings it back on reopen, and creates it again if it was destroyed.
#pragma once

#include "taskbarpresence.h"

#include <QObject>
#include <QPointer>
#include <QWindow>
#include <functional>
#include <optional>

class MainWindowHost : public QObject
{
    Q_OBJECT

public:
    /// The main window's title, which the reopen rules look for.
    static constexpr char mainWindowTitle[] = "Corvalint";

    /// Creates a new main window, not yet shown (or nullptr when it cannot).
    /// The factory keeps ownership (a QML engine, say); the host only watches it.
    using Factory = std::function<QWindow *()>;

    /// Tells the desktop whether a window of ours belongs in the taskbar
    /// (by its native id); only the desktop backend knows how.
    using TaskbarHint = std::function<void(quintptr nativeWindow, bool skipTaskbar)>;

    explicit MainWindowHost(Factory factory, QObject *parent = nullptr);

    void setTaskbarHint(TaskbarHint hint) { m_taskbarHint = std::move(hint); }

    /// The main window, or nullptr before the first show and after it was destroyed.
    QWindow *window() const { return m_window; }
    TaskbarPresence taskbarPresence() const { return m_presence; }

    /// Shows the main window, creating it first when there is none.
    void show();

    /// The reopen rules: the first top-level window titled "Corvalint" is
    /// shown, raised and activated; when there is none, a new main window is
    /// created and shown.
    void reopen();

    /// Switches the taskbar presence at once, and for every later show.
    void setTaskbarPresence(TaskbarPresence policy);

    /// The first top-level window titled "Corvalint", in the application's order.
    static QWindow *findMainWindow();

signals:
    /// A main window became visible; `first` only the very first time.
    void appeared(bool first);

private:
    QWindow *ensureWindow();
    void applyPolicy(QWindow *window);
    void present(QWindow *window);
    void windowBecameVisible(QWindow *window);

    Factory m_factory;
    TaskbarHint m_taskbarHint;
    /// Where the main window stood when it was last closed.
    std::optional<QPoint> m_lastFramePosition;
    std::optional<QSize> m_lastSize;
    QPointer<QWindow> m_window;
    TaskbarPresence m_presence = TaskbarPresence::listed;
    bool m_appearedOnce = false;
};
