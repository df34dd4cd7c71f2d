// Captures the desktop on a thread of its own, through a second connection to it.
#include "capturereader.h"

#include "desktopcapture.h"
#include "documentcollector.h"

#include <QPointer>

/// Lives in the reader thread with the reader connection it opened there.
class CaptureReader::Worker : public QObject
{
public:
    explicit Worker(const DesktopPlatform &source)
        : m_source(source)
    {
    }

    QList<EntryData> capture()
    {
        if (!m_reader)
            m_reader = m_source.openReader();
        if (!m_reader)
            return {};
        const DocumentCollector documents(*m_reader);
        return DesktopCapture(*m_reader, documents).capture();
    }

private:
    const DesktopPlatform &m_source;
    std::unique_ptr<DesktopPlatform> m_reader;
};

CaptureReader::CaptureReader(const DesktopPlatform &source, QObject *parent)
    : QObject(parent)
{
    m_worker = new Worker(source);
    m_worker->moveToThread(&m_thread);
    m_thread.setObjectName(QStringLiteral("corvalint-capture"));
    m_thread.start();
}

CaptureReader::~CaptureReader()
{
    if (!m_worker)
        return;
    // Its connection's objects belong to the reader thread: delete them there.
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker] { delete worker; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void CaptureReader::capture(QObject *context, std::function<void(QList<EntryData>)> done)
{
    if (!m_worker) {
        done({});
        return;
    }
    QPointer<QObject> answerTo(context);
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, answerTo, done = std::move(done)]() mutable {
        QList<EntryData> entries = worker->capture();
        if (!answerTo)
            return;
        QMetaObject::invokeMethod(
            answerTo.data(), [done = std::move(done), entries = std::move(entries)] { done(entries); },
            Qt::QueuedConnection);
    });
}
