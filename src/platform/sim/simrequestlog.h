// The simulated desktop's log of requests, in the order they were made, for tests and the command line's --log.
#pragma once

#include "simrequest.h"

#include <QByteArray>
#include <QList>

class SimRequestLog
{
public:
    void append(const SimRequest &request) { m_requests.append(request); }
    void clear() { m_requests.clear(); }

    QList<SimRequest> all() const { return m_requests; }
    /// The requests of one action, in order.
    QList<SimRequest> of(const QString &action) const;
    int size() const { return int(m_requests.size()); }
    const SimRequest &last() const { return m_requests.constLast(); }

    /// One compact JSON object per request, each ending in a newline.
    QByteArray jsonLines() const;

private:
    QList<SimRequest> m_requests;
};
