// The lock that makes one process at a time the writer of a store.
#pragma once

#include <QString>

/// The running Corvalint holds this lock on its store directory for as long
/// as it runs; the command line takes it only while it works on the store
/// itself. So a command that cannot reach a running Corvalint (frozen, or its
/// socket queue full) finds out and stops, instead of writing behind the
/// application's back. The kernel drops the lock when its holder dies.
class InstanceLock
{
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    /// Takes the lock of the store in `storeDirectory`, trying again for up
    /// to `waitMs` while another process holds it. False, with `error`, when
    /// it stays taken or the lock file cannot be opened. In a store folder that
    /// cannot be written it is taken without a file when there is none.
    bool acquire(const QString &storeDirectory, int waitMs, QString *error);
    bool isHeld() const { return m_fd != -1; }

    /// The lock file's name inside the store directory.
    static QString fileName();

private:
    /// Held without a descriptor: the lock file cannot exist in a folder we may not write.
    static constexpr int unguarded = -2;
    int m_fd = -1;
};
