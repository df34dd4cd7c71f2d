// One entry of the simulated desktop's request log: what the automation asked of the desktop, and when.
#include "simrequest.h"

#include <QJsonArray>

namespace {

QJsonObject stateJson(const WindowState &state)
{
    return QJsonObject { { QStringLiteral("maximizedHorizontally"), state.maximizedHorizontally },
        { QStringLiteral("maximizedVertically"), state.maximizedVertically },
        { QStringLiteral("fullScreen"), state.fullScreen }, { QStringLiteral("minimized"), state.minimized } };
}

} // namespace

QJsonObject SimRequest::toJson() const
{
    QJsonObject object { { QStringLiteral("time"), time }, { QStringLiteral("action"), action } };
    if (!application.isEmpty())
        object.insert(QStringLiteral("application"), application);
    if (processIdentifier != 0)
        object.insert(QStringLiteral("pid"), processIdentifier);
    if (!documents.isEmpty())
        object.insert(QStringLiteral("documents"), QJsonArray::fromStringList(documents));
    if (!url.isEmpty())
        object.insert(QStringLiteral("url"), url);
    if (window != 0)
        object.insert(QStringLiteral("window"), qint64(window));
    if (placement) {
        const QRectF &f = placement->frame;
        object.insert(QStringLiteral("frame"), QJsonArray { f.x(), f.y(), f.width(), f.height() });
        object.insert(QStringLiteral("state"), stateJson(placement->state));
        if (placement->desktop)
            object.insert(QStringLiteral("desktop"), *placement->desktop);
    }
    return object;
}
