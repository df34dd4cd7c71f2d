// The window manager's events on a connection of their own: new windows (for launches) and output changes.
#pragma once

#include <QObject>
#include <memory>

class IpcSocket;
class QSocketNotifier;

class IpcEvents : public QObject
{
    Q_OBJECT

public:
    /// Subscribes to window and output events on a second connection to `socketPath`; nothing when that
    /// fails (the caller then polls).
    static std::unique_ptr<IpcEvents> subscribe(const QString &socketPath, QObject *parent = nullptr);
    ~IpcEvents() override;

signals:
    /// A window was created or closed, or changed its title.
    void windowsChanged();
    /// Outputs or workspaces changed: the outputs may have (compare them to know).
    void outputsMayHaveChanged();
    /// The connection ended (the window manager quit or restarts).
    void lost();

private:
    IpcEvents(std::unique_ptr<IpcSocket> socket, QObject *parent);
    void readEvents();

    std::unique_ptr<IpcSocket> m_socket;
    QSocketNotifier *m_notifier = nullptr;
};
