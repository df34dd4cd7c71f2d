// One message of the i3 IPC ("i3-ipc", payload length, type, JSON payload), as sway and i3 both frame it.
#pragma once

#include <QByteArray>
#include <QtGlobal>

struct IpcMessage {
    /// The message types Corvalint sends; replies carry the same number.
    enum Type : quint32 {
        runCommand = 0,
        subscribe = 2,
        getOutputs = 3,
        getTree = 4,
        getVersion = 7,
    };
    /// Replies to a subscription carry this bit; the rest is the event's number.
    static constexpr quint32 eventBit = 0x80000000u;
    static constexpr quint32 workspaceEvent = eventBit | 0;
    static constexpr quint32 outputEvent = eventBit | 1;
    static constexpr quint32 windowEvent = eventBit | 3;
    static constexpr quint32 shutdownEvent = eventBit | 6;

    quint32 type = 0;
    QByteArray payload;

    bool isEvent() const { return (type & eventBit) != 0; }
};
