// The IPC connection against a stand-in window manager on a Unix socket: replies in pieces, events before
// the reply, and sockets that close, stay silent or answer garbage, each ending in an error, never a hang.
#include "platform/i3ipc/ipcsocket.h"

#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

/// Accepts one connection on a thread of its own and hands it to `serve`.
class StandInServer
{
public:
    explicit StandInServer(const QString &path, std::function<void(int)> serve)
    {
        m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        const QByteArray native = path.toLocal8Bit();
        std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
        ::bind(m_listener, reinterpret_cast<const sockaddr *>(&address), sizeof address);
        ::listen(m_listener, 1);
        m_thread = std::thread([this, serve = std::move(serve)] {
            const int client = ::accept(m_listener, nullptr, nullptr);
            if (client >= 0) {
                serve(client);
                ::close(client);
            }
        });
    }
    ~StandInServer()
    {
        ::shutdown(m_listener, SHUT_RDWR);
        m_thread.join();
        ::close(m_listener);
    }

private:
    int m_listener = -1;
    std::thread m_thread;
};

/// Reads one whole request frame (header and payload).
void readRequest(int fd)
{
    char header[IpcFrameCodec::headerSize];
    if (::recv(fd, header, sizeof header, MSG_WAITALL) != qsizetype(sizeof header))
        return;
    quint32 length = 0;
    std::memcpy(&length, header + 6, 4);
    QByteArray payload(qsizetype(length), '\0');
    if (length > 0)
        ::recv(fd, payload.data(), length, MSG_WAITALL);
}

void writeBytes(int fd, const QByteArray &bytes)
{
    ::send(fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL);
}

} // namespace

class TestIpcSocket : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_count = 0;
    QString nextPath() { return m_dir.filePath(QStringLiteral("s%1").arg(++m_count)); }

private slots:
    void readsAReplyThatArrivesInPiecesAfterAnEvent()
    {
        const QString path = nextPath();
        StandInServer server(path, [](int fd) {
            readRequest(fd);
            const QByteArray event = IpcFrameCodec::encode(IpcMessage::windowEvent, R"({"change":"new"})");
            const QByteArray reply = IpcFrameCodec::encode(IpcMessage::getTree, R"({"id":1})");
            writeBytes(fd, event);
            for (const char c : reply)
                writeBytes(fd, QByteArray(1, c));
            readRequest(fd); // holds the connection open until the client is done
        });
        QString error;
        auto socket = IpcSocket::connect(path, &error);
        QVERIFY2(socket, qPrintable(error));
        const auto reply = socket->request(IpcMessage::getTree, {}, &error, 5000);
        QVERIFY2(reply, qPrintable(error));
        QCOMPARE(reply->payload, QByteArray(R"({"id":1})"));
        const QList<IpcMessage> events = socket->readEvents();
        QCOMPARE(events.size(), 1);
        QCOMPARE(events.front().type, IpcMessage::windowEvent);
        ::shutdown(socket->descriptor(), SHUT_WR);
    }

    void aClosedSocketIsAnError()
    {
        const QString path = nextPath();
        StandInServer server(path, [](int fd) { readRequest(fd); });
        QString error;
        auto socket = IpcSocket::connect(path, &error);
        QVERIFY(socket);
        QVERIFY(!socket->request(IpcMessage::getTree, {}, &error, 5000));
        QVERIFY(error.contains(QLatin1String("closed")));
        QVERIFY(socket->broken());
        QVERIFY(!socket->request(IpcMessage::getTree, {}, &error));
    }

    void aSilentWindowManagerTimesOut()
    {
        const QString path = nextPath();
        StandInServer server(path, [](int fd) {
            readRequest(fd);
            readRequest(fd); // answers nothing until the client gives up and closes
        });
        QString error;
        auto socket = IpcSocket::connect(path, &error);
        QVERIFY(socket);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!socket->request(IpcMessage::getTree, {}, &error, 150));
        QVERIFY(timer.elapsed() < 3000);
        QVERIFY(error.contains(QLatin1String("in time")));
        QVERIFY(socket->broken());
    }

    void garbageAndOversizedRepliesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("expected");
        QByteArray huge("i3-ipc");
        const quint32 length = 0x7FFFFFFFu;
        const quint32 type = IpcMessage::getTree;
        huge.append(reinterpret_cast<const char *>(&length), 4);
        huge.append(reinterpret_cast<const char *>(&type), 4);
        QTest::newRow("garbage") << QByteArray("not the i3 ipc at all") << QStringLiteral("not an i3 IPC");
        QTest::newRow("oversized") << huge << QStringLiteral("too large");
    }

    void garbageAndOversizedRepliesAreRefused()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, expected);
        const QString path = nextPath();
        StandInServer server(path, [answer](int fd) {
            readRequest(fd);
            writeBytes(fd, answer);
            readRequest(fd);
        });
        QString error;
        auto socket = IpcSocket::connect(path, &error);
        QVERIFY(socket);
        QVERIFY(!socket->request(IpcMessage::getTree, {}, &error, 5000));
        QVERIFY2(error.contains(expected), qPrintable(error));
        QVERIFY(socket->broken());
    }

    void nobodyListeningIsAnError()
    {
        QString error;
        QVERIFY(!IpcSocket::connect(m_dir.filePath(QStringLiteral("nobody")), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!IpcSocket::connect(QString(200, QLatin1Char('x')), &error));
    }
};

QTEST_GUILESS_MAIN(TestIpcSocket)
#include "tst_ipcsocket.moc"
