// Showing, reopening and re-creating the main window.
#include "mainwindowhost.h"

#include <QGuiApplication>

MainWindowHost::MainWindowHost(Factory factory, QObject *parent)
    : QObject(parent)
    , m_factory(std::move(factory))
{
}

QWindow *MainWindowHost::findMainWindow()
{
    const QWindowList windows = QGuiApplication::topLevelWindows();
    for (QWindow *window : windows) {
        if (window->title() == QLatin1String(mainWindowTitle))
            return window;
    }
    return nullptr;
}

void MainWindowHost::show()
{
    if (QWindow *window = ensureWindow())
        present(window);
}

void MainWindowHost::reopen()
{
    QWindow *window = findMainWindow();
    if (!window)
        window = ensureWindow();
    if (window)
        present(window);
}

void MainWindowHost::setTaskbarPresence(TaskbarPresence policy)
{
    m_presence = policy;
    if (m_window)
        applyPolicy(m_window);
}

QWindow *MainWindowHost::ensureWindow()
{
    if (m_window)
        return m_window;
    QWindow *window = m_factory ? m_factory() : nullptr;
    if (!window)
        return nullptr;
    m_window = window;
    connect(window, &QWindow::visibleChanged, this, [this, window](bool visible) {
        if (visible) {
            windowBecameVisible(window);
        } else {
            // Closing only hides the window; it comes back where the user left it.
            m_lastFramePosition = window->framePosition();
            m_lastSize = window->size();
        }
    });
    // A window that shows itself as it is created (QML's visible: true) has
    // appeared already.
    if (window->isVisible())
        windowBecameVisible(window);
    return window;
}

void MainWindowHost::windowBecameVisible(QWindow *window)
{
    // The window manager drops _NET_WM_STATE when a window is withdrawn; ask
    // again each time the window is mapped.
    applyPolicy(window);
    const bool first = !m_appearedOnce;
    m_appearedOnce = true;
    emit appeared(first);
}

void MainWindowHost::applyPolicy(QWindow *window)
{
    if (m_taskbarHint)
        m_taskbarHint(window->winId(), m_presence == TaskbarPresence::trayOnly);
}

void MainWindowHost::present(QWindow *window)
{
    if (!window->isVisible()) {
        // Shown again (or made anew): at the place and size it had, not where
        // the window manager would put a new window.
        if (m_lastSize) {
            window->resize(*m_lastSize);
            window->setFramePosition(*m_lastFramePosition);
        }
        applyPolicy(window);
    }
    if (window->windowStates() & Qt::WindowMinimized)
        window->setWindowStates(window->windowStates() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->requestActivate();
}
