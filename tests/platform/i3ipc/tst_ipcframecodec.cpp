// The i3 IPC framing: frames written and read back whole, in pieces, and refused when garbled or oversized.
#include "platform/i3ipc/ipcframecodec.h"

#include <QTest>

class TestIpcFrameCodec : public QObject
{
    Q_OBJECT

private slots:
    void encodesMagicLengthTypeAndPayload()
    {
        const QByteArray frame = IpcFrameCodec::encode(IpcMessage::runCommand, "focus");
        QCOMPARE(frame.size(), IpcFrameCodec::headerSize + 5);
        QVERIFY(frame.startsWith("i3-ipc"));
        quint32 length = 0;
        quint32 type = 99;
        std::memcpy(&length, frame.constData() + 6, 4);
        std::memcpy(&type, frame.constData() + 10, 4);
        QCOMPARE(length, 5u);
        QCOMPARE(type, 0u);
        QCOMPARE(frame.mid(14), QByteArray("focus"));
    }

    void readsMessagesBackToBack()
    {
        IpcFrameCodec codec;
        codec.append(IpcFrameCodec::encode(IpcMessage::getTree, "{}")
            + IpcFrameCodec::encode(IpcMessage::windowEvent, R"({"change":"new"})"));
        const auto first = codec.next();
        QVERIFY(first);
        QCOMPARE(first->type, quint32(IpcMessage::getTree));
        QCOMPARE(first->payload, QByteArray("{}"));
        QVERIFY(!first->isEvent());
        const auto second = codec.next();
        QVERIFY(second);
        QVERIFY(second->isEvent());
        QCOMPARE(second->payload, QByteArray(R"({"change":"new"})"));
        QVERIFY(!codec.next());
        QVERIFY(!codec.failed());
        QCOMPARE(codec.pending(), 0);
    }

    void waitsForShortReadsByteByByte()
    {
        const QByteArray frame = IpcFrameCodec::encode(IpcMessage::getOutputs, "[1,2,3]");
        IpcFrameCodec codec;
        for (qsizetype i = 0; i + 1 < frame.size(); ++i) {
            codec.append(frame.mid(i, 1));
            QVERIFY2(!codec.next(), qPrintable(QString::number(i)));
            QVERIFY(!codec.failed());
        }
        codec.append(frame.right(1));
        const auto message = codec.next();
        QVERIFY(message);
        QCOMPARE(message->payload, QByteArray("[1,2,3]"));
    }

    void readsAnEmptyPayload()
    {
        IpcFrameCodec codec;
        codec.append(IpcFrameCodec::encode(IpcMessage::getVersion, {}));
        const auto message = codec.next();
        QVERIFY(message);
        QVERIFY(message->payload.isEmpty());
    }

    void refusesGarbageAtItsFirstByte()
    {
        IpcFrameCodec codec;
        codec.append("HTTP/1.1 200 OK\r\n");
        QVERIFY(!codec.next());
        QVERIFY(codec.failed());
        QVERIFY(!codec.error().isEmpty());
        // A broken stream stays broken: later good bytes are not read as if nothing happened.
        codec.append(IpcFrameCodec::encode(IpcMessage::getTree, "{}"));
        QVERIFY(!codec.next());
        QCOMPARE(codec.pending(), 0);
    }

    void refusesALengthAboveTheLimitBeforeItsPayloadArrives()
    {
        IpcFrameCodec codec(1024);
        QByteArray header("i3-ipc");
        const quint32 length = 0xFFFFFFF0u;
        const quint32 type = IpcMessage::getTree;
        header.append(reinterpret_cast<const char *>(&length), 4);
        header.append(reinterpret_cast<const char *>(&type), 4);
        codec.append(header);
        QVERIFY(!codec.next());
        QVERIFY(codec.failed());
        QVERIFY(codec.error().contains(QLatin1String("too large")));
    }

    void acceptsAPayloadExactlyAtTheLimit()
    {
        IpcFrameCodec codec(16);
        codec.append(IpcFrameCodec::encode(IpcMessage::getTree, QByteArray(16, 'x')));
        QVERIFY(codec.next());
        IpcFrameCodec smaller(15);
        smaller.append(IpcFrameCodec::encode(IpcMessage::getTree, QByteArray(16, 'x')));
        QVERIFY(!smaller.next());
        QVERIFY(smaller.failed());
    }
};

QTEST_GUILESS_MAIN(TestIpcFrameCodec)
#include "tst_ipcframecodec.moc"
