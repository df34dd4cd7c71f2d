// Runs the store half of a command where the store has its one writer: in
// the running Corvalint when there is one, else on the store opened here.
#pragma once

#include "commandresult.h"
#include "instancechannel.h"
#include "instancelock.h"

#include <QJsonObject>
#include <QString>
#include <memory>

class WorkspaceStore;

class StoreAccess
{
public:
    /// `storeDirectory` is the store's folder, `display` the X display of this
    /// session (may be empty).
    StoreAccess(QString storeDirectory, QString display);
    ~StoreAccess();

    /// The result of `request` (see StoreCommands), wherever it ran.
    CommandResult execute(const QJsonObject &request);

    /// How long a running instance may take to take and to answer one request.
    void setBounds(const InstanceChannel::Bounds &bounds) { m_bounds = bounds; }

private:
    QString m_directory;
    QString m_display;
    InstanceChannel::Bounds m_bounds;
    // Declared before the store: the store saves on destruction, under the lock.
    InstanceLock m_lock;
    std::unique_ptr<WorkspaceStore> m_localStore;
};
