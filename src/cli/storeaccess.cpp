// Sending store requests to the running instance, or running them here.
#include "storeaccess.h"

#include "instancechannel.h"
#include "model/workspacestore.h"
#include "storecommands.h"

namespace {

// A command that finds the store's writer lock taken waits this long for a
// command line running beside it to finish.
constexpr int lockWaitMs = 3000;

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
            const InstanceChannel::Reply reply = InstanceChannel::request(path, message, m_bounds);
            switch (reply.status) {
            case InstanceChannel::Reply::Status::noInstance:
                continue;
            case InstanceChannel::Reply::Status::answered:
                return CommandResult::fromJson(reply.result);
            case InstanceChannel::Reply::Status::notTaken:
            case InstanceChannel::Reply::Status::noResult:
                return CommandResult::failure(InstanceChannel::unansweredText(reply.status, m_bounds));
            }
        }
        // Nobody answered: this process becomes the store's writer, unless a
        // Corvalint we could not reach holds the store.
        QString error;
        if (!m_lock.acquire(m_directory, lockWaitMs, &error))
            return CommandResult::failure(QStringLiteral(
                "corvalint: Corvalint runs on this store but cannot be reached, so nothing was changed (%1)")
                                              .arg(error));
        m_localStore = WorkspaceStore::open(m_directory, &error);
        if (!m_localStore)
            return CommandResult::failure(WorkspaceStore::fatalMessage(error));
    }
    return StoreCommands(*m_localStore).execute(request);
}
