// Replays a Chromium session file (SNSS commands) into the current address of every tab.
#pragma once

#include "automation/collecteddocuments.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

class SnssReader
{
public:
    enum class Status {
        /// The file was read; `urls` holds what it describes (possibly nothing).
        read,
        /// The file is not (yet) a usable session: no header, or a format that marks
        /// a finished initial state and has none. An older file may serve instead.
        incomplete,
        /// The file is encrypted, of an unknown version, or implausibly large in
        /// what it describes: nothing can be said.
        refused,
    };

    struct Result {
        Status status = Status::refused;
        /// The current address of every tab, window after window in the order the
        /// windows were created, tabs in their order within the window.
        QStringList urls;
        /// The same tabs window by window, with the title of each window's selected tab.
        QList<BrowserWindowTabs> windows;
    };

    /// Replays the commands of a whole session file in order. Unknown commands are
    /// skipped by their size; a malformed known command is skipped; a last command
    /// cut short by a write in progress ends the replay with what came before it.
    static Result read(const QByteArray &file);

    /// Session files larger than this are refused.
    static constexpr qint64 maxFileSize = qint64(64) * 1024 * 1024;
    /// Tabs plus navigations a file may create before it is refused.
    static constexpr qint64 maxObjects = 500000;
};
