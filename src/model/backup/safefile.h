// Reading a regular file and replacing one whole, with every error of the system checked.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class SafeFile
{
public:
    enum class ReadStatus { Ok, NotFound, NotRegular, TooLarge, Unreadable };

    struct ReadResult {
        ReadStatus status = ReadStatus::Unreadable;
        QByteArray bytes;
    };

    /// Opens `path` without waiting (a pipe without a writer would block
    /// open() forever), checks the descriptor it got, not the path, for a
    /// regular file of at most `maxBytes`, and reads it from that descriptor.
    /// Reads at most `maxBytes` + 1 bytes, so a file that grew is TooLarge.
    static ReadResult read(const QString &path, qint64 maxBytes);

    /// Replaces `path` with exactly `bytes`: written to a new file beside the
    /// target, synced, read back and compared, then renamed over it. On any
    /// failure the target is untouched, nothing is left behind, and `error`
    /// holds the German reason. Refuses folders, pipes, devices, sockets,
    /// symbolic links of other users and anything in `protectedPaths`; an
    /// own symbolic link is followed and kept. An existing file keeps its
    /// permission bits; a new one is made 0600 (less by the umask).
    static bool replace(
        const QString &path, const QByteArray &bytes, const QStringList &protectedPaths, QString *error);

    /// The German text for a system error number, for the status line; errors
    /// without a text of ours get the system's own.
    static QString reason(int errorNumber);
};
