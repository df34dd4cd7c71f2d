// Helpers that real applications leave behind: this process adopts them (a child subreaper) and ends them at the end.
#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTest>
#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

/// Orphans among this process's descendants become its children instead of init's.
inline void adoptOrphans()
{
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
}

/// Asks every child to end, then reaps them (bounded).
inline void endOrphans()
{
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        QFile stat(QStringLiteral("/proc/") + entry + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        // "self" and "thread-self" read as 0, which kill() takes for our whole process group.
        bool number = false;
        const int pid = entry.toInt(&number);
        if (number && pid > 1 && text.mid(text.lastIndexOf(')') + 2).split(' ').value(1).toInt() == getpid())
            ::kill(pid, SIGTERM);
    }
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired() && ::waitpid(-1, nullptr, WNOHANG) >= 0)
        QTest::qWait(50);
}
