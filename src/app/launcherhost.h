// Opens the quick launcher window on the monitor under the pointer, made once and then only shown again.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWindow>
#include <functional>

class LauncherHost : public QObject
{
    Q_OBJECT

public:
    /// `create` makes the window (from QML); it is called once, on the first `open`.
    using Create = std::function<QWindow *()>;
    explicit LauncherHost(Create create, QObject *parent = nullptr);

    /// Shows the launcher centred near the top of the monitor under the pointer, raised and focused; a
    /// second `open` while it shows only brings it forward. False when the window could not be made.
    bool open();
    /// Makes the window without showing it, so that the first `open` is as quick as the others.
    void prepare();
    /// The launcher window, once made.
    QWindow *window() const { return m_window; }

    /// Where the launcher of this size stands on a monitor with these bounds: centred, a fifth down.
    static QPoint positionOn(const QRect &monitor, const QSize &size);

signals:
    /// The launcher shows (for the bench and tests).
    void opened();

private:
    Create m_create;
    QPointer<QWindow> m_window;
};
