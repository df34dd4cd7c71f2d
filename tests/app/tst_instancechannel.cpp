// The single-instance channel: claiming the socket, a second claim, stale
// sockets, and requests with their replies.
#include "app/instanceserver.h"
#include "cli/commandresult.h"
#include "cli/instancechannel.h"
#include "cli/instancecommand.h"
#include "cli/instancehint.h"
#include "cli/instancelock.h"
#include "platform/linux/privatedirectory.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

/// Points the runtime folder (none when empty), the temporary folder and the cache into a test's own folders
/// for as long as it lives.
class RuntimeFolders
{
public:
    RuntimeFolders(const QString &runtime, const QString &temp)
    {
        set("XDG_RUNTIME_DIR", runtime);
        set("TMPDIR", temp);
        set("XDG_CACHE_HOME", temp + QStringLiteral("/cache"));
    }
    ~RuntimeFolders()
    {
        for (const auto &[name, value] : m_saved)
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    RuntimeFolders(const RuntimeFolders &) = delete;
    RuntimeFolders &operator=(const RuntimeFolders &) = delete;

private:
    void set(const char *name, const QString &value)
    {
        m_saved.emplace_back(name, qgetenv(name));
        value.isEmpty() ? qunsetenv(name) : qputenv(name, value.toLocal8Bit());
    }

    std::vector<std::pair<const char *, QByteArray>> m_saved;
};

} // namespace

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
        const auto reply = InstanceChannel::request(path, InstanceChannel::activateMessage(), {});
        QCOMPARE(reply.status, InstanceChannel::Reply::Status::answered);
        const CommandResult result = CommandResult::fromJson(reply.result);
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out, QStringLiteral("activate\n"));
    }

    void storeMessagesCarryTheirRequest()
    {
        const QString path = InstanceChannel::socketPath(m_store.path(), QStringLiteral(":3"));
        InstanceServer server(&echo);
        QString error;
        QCOMPARE(server.claim(path, &error), InstanceServer::Claim::listening);
        const QJsonObject request { { QStringLiteral("command"), QStringLiteral("list") } };
        const auto reply = InstanceChannel::request(path, InstanceChannel::storeMessage(request), {});
        QCOMPARE(reply.status, InstanceChannel::Reply::Status::answered);
        const CommandResult result = CommandResult::fromJson(reply.result);
        QCOMPARE(result.data.value(QLatin1String("request")).toObject(), request);
    }

    void nobodyListeningGivesNoReplyAndNoConnection()
    {
        const QString path = InstanceChannel::socketPath(m_store.path(), QStringLiteral(":4"));
        const auto reply = InstanceChannel::request(path, InstanceChannel::activateMessage(), { 200, 200, 200 });
        QCOMPARE(reply.status, InstanceChannel::Reply::Status::noInstance);
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
        QCOMPARE(InstanceChannel::request(path, InstanceChannel::activateMessage(), {}).status,
            InstanceChannel::Reply::Status::answered);
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
        QCOMPARE(InstanceChannel::parseFrame(socket.readLine().trimmed()), InstanceChannel::takenMessage());
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

    void aRequestTheSenderGaveUpOnIsNeverCarriedOut()
    {
        const QString path = InstanceChannel::socketPath(m_store.path(), QStringLiteral(":8"));
        int handled = 0;
        InstanceServer server([&handled](const QJsonObject &request) {
            ++handled;
            return echo(request);
        });
        QString error;
        QCOMPARE(server.claim(path, &error), InstanceServer::Claim::listening);
        // The instance is frozen (this thread does not run its event loop)
        // while the sender waits; the sender reports that nothing happened.
        InstanceChannel::Reply reply;
        std::thread sender([&] {
            reply = InstanceChannel::request(path, InstanceChannel::activateMessage(), { 1000, 200, 1000 });
        });
        sender.join();
        QCOMPARE(reply.status, InstanceChannel::Reply::Status::notTaken);
        // Thawed, the instance reads the request and must drop it.
        QTest::qWait(300);
        QCOMPARE(handled, 0);
        // A sender that waits is still served.
        QCOMPARE(InstanceChannel::request(path, InstanceChannel::activateMessage(), {}).status,
            InstanceChannel::Reply::Status::answered);
        QCOMPARE(handled, 1);
    }

    void oversizedRequestsAreDropped()
    {
        const QString path = InstanceChannel::socketPath(m_store.path(), QStringLiteral(":9"));
        InstanceServer server(&echo);
        QString error;
        QCOMPARE(server.claim(path, &error), InstanceServer::Claim::listening);
        QLocalSocket socket;
        socket.connectToServer(path);
        QVERIFY(socket.waitForConnected(1000));
        const QByteArray chunk(1024 * 1024, 'x');
        for (int i = 0; i < 12 && socket.state() == QLocalSocket::ConnectedState; ++i) {
            socket.write(chunk);
            socket.waitForBytesWritten(100);
            QTest::qWait(20);
        }
        QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QLocalSocket::UnconnectedState, 5000);
    }

    void withoutRuntimeFolderTheSocketFolderIsPrivate()
    {
        QTemporaryDir temp;
        const RuntimeFolders folders(QString(), temp.path());
        const QString expected = temp.path() + QStringLiteral("/corvalint-%1").arg(::getuid());

        // Another user (or a planted link) got the predictable name first:
        // it is neither used nor changed, and another private folder serves.
        QVERIFY(QFile::link(temp.path(), expected));
        const QString fallback = InstanceChannel::runtimeDirectory();
        QVERIFY(!fallback.isEmpty());
        QVERIFY(fallback != expected);
        QVERIFY(PrivateDirectory::isPrivate(fallback));
        QVERIFY(
            InstanceChannel::socketPath(m_store.path(), QStringLiteral(":1")).startsWith(fallback + QLatin1Char('/')));
        QVERIFY(QFile::remove(expected));

        QVERIFY(QDir().mkdir(expected));
        QVERIFY(QFile::setPermissions(expected, QFileDevice::Permissions(0x7777)));
        QVERIFY(InstanceChannel::runtimeDirectory() != expected);
        QVERIFY(QDir().rmdir(expected));

        // Free, it is made for this user alone.
        QCOMPARE(InstanceChannel::runtimeDirectory(), expected);
        struct stat info {
        };
        QCOMPARE(::lstat(expected.toLocal8Bit().constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 0777), 0700);
        QCOMPARE(info.st_uid, ::getuid());
    }

    void theCommandSeesEveryFolderAnInstanceMayListenIn()
    {
        QTemporaryDir runtime, temp;
        const RuntimeFolders folders(runtime.path(), temp.path());
        // Left behind by an instance from before the session had its runtime folder: not where one listens now.
        const QString tempFolder = temp.path() + QStringLiteral("/corvalint-%1").arg(::getuid());
        QVERIFY(QDir().mkpath(tempFolder));
        QFile stale(tempFolder + QStringLiteral("/corvalint-%1-0-abc.socket").arg(::getuid()));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        QVERIFY(!InstanceHint::mayBeListening());
        QVERIFY(QDir(tempFolder).removeRecursively());
        const auto listensWhereTheHintLooks = [this] {
            InstanceServer server(&echo);
            QString error;
            const QString path = InstanceChannel::socketPath(m_store.path(), QStringLiteral(":5"));
            return server.claim(path, &error) == InstanceServer::Claim::listening && InstanceHint::mayBeListening();
        };
        // The session's runtime folder, then the private folder in the temporary folder, then the one in the
        // cache when another user holds that name.
        QVERIFY(listensWhereTheHintLooks());
        QVERIFY(!InstanceHint::mayBeListening());
        qunsetenv("XDG_RUNTIME_DIR");
        QVERIFY(listensWhereTheHintLooks());
        QVERIFY(QDir(temp.path()).removeRecursively() && QDir().mkpath(temp.path()));
        QVERIFY(QFile::link(temp.path(), temp.path() + QStringLiteral("/corvalint-%1").arg(::getuid())));
        QVERIFY(listensWhereTheHintLooks());
        QVERIFY(InstanceChannel::runtimeDirectory().startsWith(temp.path() + QStringLiteral("/cache/")));
    }

    void aSharedRuntimeFolderIsNotTrusted()
    {
        QTemporaryDir shared;
        QVERIFY(QFile::setPermissions(shared.path(), QFileDevice::Permissions(0x7777)));
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", shared.path().toLocal8Bit());
        const auto restore = qScopeGuard([&] { qputenv("XDG_RUNTIME_DIR", savedRuntime); });
        QVERIFY(InstanceChannel::runtimeDirectory() != shared.path());
    }

    void oneWriterAtATimeHoldsTheStore()
    {
        QTemporaryDir store;
        auto first = std::make_unique<InstanceLock>();
        QString error;
        QVERIFY2(first->acquire(store.path(), 0, &error), qPrintable(error));
        InstanceLock second;
        QVERIFY(!second.acquire(store.path(), 100, &error));
        QCOMPARE(error, QStringLiteral("another Corvalint holds the store"));
        first.reset(); // a writer that ends (or dies) lets the next one in
        QVERIFY2(second.acquire(store.path(), 0, &error), qPrintable(error));
        QVERIFY(second.isHeld());
    }

    void captureIsCarriedOutByThisDisplaysInstance()
    {
        QJsonObject asked;
        InstanceServer server([&asked](const QJsonObject &request) {
            asked = request;
            return CommandResult::success(QStringLiteral("Saved workspace \"Work\" with 3 entries")).toJson();
        });
        QString error;
        QCOMPARE(server.claim(InstanceChannel::socketPath(m_store.path(), QStringLiteral(":20")), &error),
            InstanceServer::Claim::listening);
        const Invocation capture
            = Invocation::parse({ QStringLiteral("capture"), QStringLiteral("Work"), QStringLiteral("--icon=star") });
        QVERIFY(InstanceCommand::handles(capture));
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        QCOMPARE(InstanceCommand::run(capture, m_store.path(), QStringLiteral(":20"), outStream, errStream), 0);
        QCOMPARE(out, QStringLiteral("Saved workspace \"Work\" with 3 entries\n"));
        QCOMPARE(asked.value(QLatin1String("type")).toString(), QStringLiteral("capture"));
        const QJsonObject request = asked.value(QLatin1String("request")).toObject();
        QCOMPARE(request.value(QLatin1String("command")).toString(), QStringLiteral("create"));
        QCOMPARE(request.value(QLatin1String("name")).toString(), QStringLiteral("Work"));
        QCOMPARE(request.value(QLatin1String("icon")).toString(), QStringLiteral("star"));

        // Another display's desktop is not the one meant: the command reads its own. Help and mistakes are
        // the command's to tell.
        QVERIFY(!InstanceCommand::run(capture, m_store.path(), QStringLiteral(":21"), outStream, errStream));
        asked = {};
        for (const QStringList &arguments : { QStringList { QStringLiteral("capture"), QStringLiteral("--help") },
                 QStringList { QStringLiteral("capture") } })
            QVERIFY(!InstanceCommand::run(
                Invocation::parse(arguments), m_store.path(), QStringLiteral(":20"), outStream, errStream));
        QVERIFY(asked.isEmpty());
    }

    void captureTheInstanceCannotDoIsLeftToTheCommand()
    {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        // Only the session's own desktop.
        for (const QStringList &arguments : { QStringList { QStringLiteral("list") },
                 QStringList { QStringLiteral("--desktop"), QStringLiteral("sim:a.json"), QStringLiteral("capture"),
                     QStringLiteral("W") },
                 QStringList { QStringLiteral("--log"), QStringLiteral("l.json"), QStringLiteral("update"),
                     QStringLiteral("W") } })
            QVERIFY2(!InstanceCommand::handles(Invocation::parse(arguments)), qPrintable(arguments.join(' ')));

        // A Corvalint started before an upgrade knows store requests only.
        InstanceServer older([](const QJsonObject &request) {
            return CommandResult::failure(QStringLiteral("corvalint: unknown request \"%1\"")
                                              .arg(request.value(QLatin1String("type")).toString()))
                .toJson();
        });
        QString error;
        QCOMPARE(older.claim(InstanceChannel::socketPath(m_store.path(), QStringLiteral(":22")), &error),
            InstanceServer::Claim::listening);
        const Invocation update = Invocation::parse({ QStringLiteral("update"), QStringLiteral("Work") });
        QVERIFY(!InstanceCommand::run(update, m_store.path(), QStringLiteral(":22"), outStream, errStream));
        QVERIFY(out.isEmpty());
        QVERIFY(err.isEmpty());
    }

    void captureTheInstanceRefusesFailsWithItsWords()
    {
        InstanceServer server([](const QJsonObject &) {
            return CommandResult::failure(QStringLiteral("corvalint: capture: found no application window to save"))
                .toJson();
        });
        QString error;
        QCOMPARE(server.claim(InstanceChannel::socketPath(m_store.path(), QStringLiteral(":23")), &error),
            InstanceServer::Claim::listening);
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const Invocation capture = Invocation::parse({ QStringLiteral("capture"), QStringLiteral("Work") });
        QCOMPARE(InstanceCommand::run(capture, m_store.path(), QStringLiteral(":23"), outStream, errStream), 1);
        QCOMPARE(err, QStringLiteral("corvalint: capture: found no application window to save\n"));
    }

    void framesAreOneJsonObjectPerLine()
    {
        const QJsonObject message { { QStringLiteral("type"), QStringLiteral("activate") } };
        const QByteArray frame = InstanceChannel::frame(message);
        QVERIFY(frame.endsWith('\n'));
        QCOMPARE(frame.count('\n'), 1);
        QCOMPARE(InstanceChannel::parseFrame(frame.trimmed()), std::optional<QJsonObject>(message));
        QVERIFY(!InstanceChannel::parseFrame("[1, 2]"));
    }
};

QTEST_GUILESS_MAIN(TestInstanceChannel)
#include "tst_instancechannel.moc"
