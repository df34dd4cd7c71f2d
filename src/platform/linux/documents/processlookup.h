// Reads what a process of our own user was started with: its command line and working folder, from /proc.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

struct ProcessView {
    /// argv, the program first.
    QStringList arguments;
    /// The working folder; empty when it cannot be read.
    QString cwd;
};

class ProcessLookup
{
public:
    /// `procRoot` lets tests lay out a folder shaped like /proc (`<root>/<pid>/cmdline`,
    /// `<root>/<pid>/cwd` as a link); `uid` is the only owner whose processes are read.
    explicit ProcessLookup(QString procRoot = QStringLiteral("/proc"), uint uid = currentUid());

    /// The process's command line and working folder, or nothing when the process
    /// does not exist or belongs to another user.
    std::optional<ProcessView> view(qint64 pid) const;

    /// The process's arguments after the program that name existing regular files
    /// (or, with `folders`, directories), as absolute paths in their order: relative
    /// ones resolved against its working folder, `file://` URLs decoded, options and
    /// other URLs left out.
    static QStringList existingArguments(const ProcessView &process, bool folders);

    static uint currentUid();

    static constexpr qint64 maxCommandLineBytes = 128 * 1024;
    static constexpr int maxArguments = 64;

private:
    QString m_root;
    uint m_uid;
};
