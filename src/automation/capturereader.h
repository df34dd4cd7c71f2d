// Captures the desktop on a thread of its own, through a second connection to it.
#pragma once

#include "desktopplatform.h"
#include "model/entrydata.h"

#include <QList>
#include <QObject>
#include <QThread>
#include <functional>
#include <memory>

/// The window thread asks, the reader thread reads: X round trips and the
/// document collectors' D-Bus calls and file reads never hold up drawing.
/// The reader connection is opened on first use, in the reader thread.
class CaptureReader : public QObject
{
    Q_OBJECT

public:
    /// `source` must offer a reader and outlive this; only its openReader()
    /// is called, from the reader thread.
    explicit CaptureReader(const DesktopPlatform &source, QObject *parent = nullptr);
    /// Stops the reader thread after its current capture.
    ~CaptureReader() override;

    /// Captures on the reader thread and calls `done` on the calling
    /// object's thread with the entries (empty when the reader could not
    /// connect). `context` going away first drops the answer.
    void capture(QObject *context, std::function<void(QList<EntryData>)> done);

private:
    class Worker;

    QThread m_thread;
    Worker *m_worker = nullptr;
};

/// One capture a coroutine waits for: `done` comes once, on the window thread.
class CaptureJob : public QObject
{
    Q_OBJECT

signals:
    void done(const QList<EntryData> &entries);
};
