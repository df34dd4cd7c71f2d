// Opens the quick launcher window on the monitor under the pointer, made once and then only shown again.
#include "launcherhost.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

LauncherHost::LauncherHost(Create create, QObject *parent)
    : QObject(parent)
    , m_create(std::move(create))
{
}

QPoint LauncherHost::positionOn(const QRect &monitor, const QSize &size)
{
    return QPoint(monitor.x() + (monitor.width() - size.width()) / 2, monitor.y() + monitor.height() / 5);
}

void LauncherHost::prepare()
{
    if (!m_window && m_create)
        m_window = m_create();
}

bool LauncherHost::open()
{
    // Made once and kept: showing a made window is what lets it open within a frame or two.
    prepare();
    if (!m_window)
        return false;
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        m_window->setScreen(screen);
        m_window->setPosition(positionOn(screen->geometry(), m_window->size()));
    }
    m_window->show();
    m_window->raise();
    m_window->requestActivate();
    emit opened();
    return true;
}
