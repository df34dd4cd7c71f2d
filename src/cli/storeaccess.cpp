// Sending store requests to the running instance, or running them here.
#include "storeaccess.h"

#include "instancechannel.h"
#include "storecommands.h"

#include "model/workspacestore.h"

namespace {

constexpr int connectTimeoutMs = 1000;

} // namespace

StoreAccess::StoreAccess(QString storeDirectory, QString display)
    : m_directory(std::move(storeDirectory))
    , m_display(std::move(display))
{
}

StoreAccess::~StoreAccess() = default;

CommandResult StoreAccess::execute(const QJsonObject &request)
{
    if (!m_localStore) {
        const QJsonObject message = InstanceChannel::storeMessage(request);
        for (const QString &path : InstanceChannel::candidatePaths(m_directory, m_display)) {
            bool connected = false;
            const auto reply = InstanceChannel::request(path, message, connectTimeoutMs, m_replyTimeoutMs, &connected);
            if (reply)
                return CommandResult::fromJson(*reply);
            // Someone listens but does not answer: writing the store from here
            // could lose its writes or ours, so stop instead.
            if (connected)
                return CommandResult::failure(
                    QStringLiteral("corvalint: the running Corvalint did not answer in time"));
        }
        QString error;
        m_localStore = WorkspaceStore::open(m_directory, &error);
        if (!m_localStore)
            return CommandResult::failure(WorkspaceStore::fatalMessage(error));
    }
    return StoreCommands(*m_localStore).execute(request);
}
