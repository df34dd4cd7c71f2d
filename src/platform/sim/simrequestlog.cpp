// The simulated desktop's log of requests, in the order they were made, for tests and the command line's --log.
#include "simrequestlog.h"

#include <QJsonDocument>

QList<SimRequest> SimRequestLog::of(const QString &action) const
{
    QList<SimRequest> matching;
    for (const SimRequest &request : m_requests) {
        if (request.action == action)
            matching.append(request);
    }
    return matching;
}

QByteArray SimRequestLog::jsonLines() const
{
    QByteArray lines;
    for (const SimRequest &request : m_requests)
        lines += QJsonDocument(request.toJson()).toJson(QJsonDocument::Compact) + '\n';
    return lines;
}
