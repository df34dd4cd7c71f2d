// Which window manager answers the IPC: the protocol is shared, a few fields mean different things.
#include "ipcflavour.h"

#include <QJsonDocument>
#include <QJsonObject>

IpcFlavour ipcFlavourOf(const QByteArray &versionReply)
{
    const QJsonObject version = QJsonDocument::fromJson(versionReply).object();
    if (version.value(QLatin1String("variant")).toString() == QLatin1String("sway"))
        return IpcFlavour::sway;
    if (version.value(QLatin1String("human_readable")).toString().contains(QLatin1String("sway")))
        return IpcFlavour::sway;
    return IpcFlavour::i3;
}
