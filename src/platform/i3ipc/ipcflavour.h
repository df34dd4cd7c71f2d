// Which window manager answers the IPC: the protocol is shared, a few fields mean different things.
#pragma once

#include <QByteArray>

enum class IpcFlavour {
    i3,
    sway,
};

/// Told from GET_VERSION's reply: sway names itself in "variant" (and in older releases only in
/// "human_readable"); everything else is i3.
IpcFlavour ipcFlavourOf(const QByteArray &versionReply);
