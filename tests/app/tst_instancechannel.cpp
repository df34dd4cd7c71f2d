// The single-instance channel: claiming the socket, a second claim, stale
// sockets, and requests with their replies.
#include "app/instanceserver.h"
#include "cli/commandresult.h"
#include "cli/instancechannel.h"

#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestInstanceChannel : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime;
    QTemporaryDir m_store;

    static QJsonObject echo(const QJsonObject &request)
    {
        CommandResult result = CommandResult::success(request.value(QLatin1String("type")).toString());
        result.data = request;
        return result.toJson();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    }

    void socketLivesInTheRuntimeFolderAndNamesUserDisplayAndStore()
    {
        const QString a = InstanceChannel::socketPath(m_store.path(), QStringLiteral(":77"));
        const QString b = InstanceChannel::socketPath(m_store.path(), QStringLiteral(":78"));
        const QString c = InstanceChannel::socketPath(m_store.path() + QStringLiteral("/other"), QStringLiteral(":77"));
        QVERIFY(a.startsWith(m_runtime.path() + QLatin1Char('/')));
        QVERIFY(a != b);
        QVERIFY(a != c);
        QCOMPARE(InstanceChannel::socketPath(m_store.path(), QStringLiteral(":77")), a);
    }

    void firstClaimListensAndSecondFindsIt()
    {
        const QString path = InstanceChannel::socketPath(m_store.path(), QStringLiteral(":1"));
        InstanceServer first(&echo);
        QString error;
        QCOMPARE(first.claim(path, &error), InstanceServer::Claim::listening);
        InstanceServer second(&echo);
        QCOMPARE(second.claim(path, &error), InstanceServer::Claim::otherInstanceRuns);
    }

    void requestGetsTheHandlersReply()
    {
        const QString path = InstanceChannel::socketPath(m_store.path(), QStringLiteral(":2"));
        InstanceServer server(&echo);
        QString error;
        QCOMPARE(server.claim(path, &error), InstanceServer::Claim::listening);
        bool connected = false;
        const auto reply = InstanceChannel::request(path, InstanceChannel::activateMessage(), 1000, 5000, &connected);
        QVERIFY(connected);
        QVERIFY(reply);
        const CommandResult result = CommandResult::fromJson(*reply);
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out, QStringLiteral("activate\n"));
    }

    void storeMessagesCarryTheirRequest()
    {
        const QString path = InstanceChannel::socketPath(m_store.path(), QStringLiteral(":3"));
        InstanceServer server(&echo);
        QString error;
        QCOMPARE(server.claim(path, &error), InstanceServer::Claim::listening);
        const QJsonObject request{{QStringLiteral("command"), QStringLiteral("list")}};
        const auto reply = InstanceChannel::request(path, InstanceChannel::storeMessage(request), 1000, 5000);
        QVERIFY(reply);
        const CommandResult result = CommandResult::fromJson(*reply);
        QCOMPARE(result.data.value(QLatin1String("request")).toObject(), request);
    }

    void nobodyListeningGivesNoReplyAndNoConnection()
    {
        bool connected = true;
        const QString path = InstanceChannel::socketPath(m_store.path(), QStringLiteral(":4"));
        QVERIFY(!InstanceChannel::request(path, InstanceChannel::activateMessage(), 200, 200, &connected));
        QVERIFY(!connected);
    }

    void leftoverSocketFileIsReplaced()
    {
        const QString path = InstanceChannel::socketPath(m_store.path(), QStringLiteral(":5"));
        QFile leftover(path);
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.close();
        InstanceServer server(&echo);
        QString error;
        QCOMPARE(server.claim(path, &error), InstanceServer::Claim::listening);
        QVERIFY(InstanceChannel::request(path, InstanceChannel::activateMessage(), 1000, 5000));
    }

    void garbageRequestIsAnsweredWithAnError()
    {
        const QString path = InstanceChannel::socketPath(m_store.path(), QStringLiteral(":6"));
        InstanceServer server(&echo);
        QString error;
        QCOMPARE(server.claim(path, &error), InstanceServer::Claim::listening);
        QLocalSocket socket;
        socket.connectToServer(path);
        QVERIFY(socket.waitForConnected(1000));
        socket.write("this is not json\n");
        QTRY_VERIFY_WITH_TIMEOUT(socket.canReadLine(), 5000);
        const auto reply = InstanceChannel::parseFrame(socket.readLine().trimmed());
        QVERIFY(reply);
        const CommandResult result = CommandResult::fromJson(*reply);
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err, QStringLiteral("corvalint: the request was not understood\n"));
    }

    void commandLineFindsTheInstanceWithoutADisplay()
    {
        const QString path = InstanceChannel::socketPath(m_store.path(), QStringLiteral(":7"));
        InstanceServer server(&echo);
        QString error;
        QCOMPARE(server.claim(path, &error), InstanceServer::Claim::listening);
        const QStringList candidates = InstanceChannel::candidatePaths(m_store.path(), QString());
        QVERIFY(candidates.contains(path));
        QCOMPARE(InstanceChannel::candidatePaths(m_store.path(), QStringLiteral(":7")).first(), path);
    }

    void framesAreOneJsonObjectPerLine()
    {
        const QJsonObject message{{QStringLiteral("type"), QStringLiteral("activate")}};
        const QByteArray frame = InstanceChannel::frame(message);
        QVERIFY(frame.endsWith('\n'));
        QCOMPARE(frame.count('\n'), 1);
        QCOMPARE(InstanceChannel::parseFrame(frame.trimmed()), std::optional<QJsonObject>(message));
        QVERIFY(!InstanceChannel::parseFrame("[1, 2]"));
    }
};

QTEST_GUILESS_MAIN(TestInstanceChannel)
#include "tst_instancechannel.moc"
