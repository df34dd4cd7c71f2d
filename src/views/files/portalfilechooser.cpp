// The file chooser of the XDG desktop portal (org.freedesktop.portal.FileChooser).
#include "portalfilechooser.h"

#include "portalresponse.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QFile>
#include <QUrl>

namespace {

// One filter as the portal takes it: a(sa(us)), where 0 marks a glob pattern.
struct PortalFilter {
    QString label;
    QList<QPair<uint, QString>> rules;
};
using PortalFilters = QList<PortalFilter>;

QDBusArgument &operator<<(QDBusArgument &out, const PortalFilter &filter)
{
    out.beginStructure();
    out << filter.label;
    out.beginArray(QMetaType::fromType<QPair<uint, QString>>());
    for (const auto &[kind, pattern] : filter.rules) {
        out.beginStructure();
        out << kind << pattern;
        out.endStructure();
    }
    out.endArray();
    out.endStructure();
    return out;
}

const QDBusArgument &operator>>(const QDBusArgument &in, PortalFilter &filter)
{
    in.beginStructure();
    in >> filter.label;
    in.beginArray();
    while (!in.atEnd()) {
        uint kind = 0;
        QString pattern;
        in.beginStructure();
        in >> kind >> pattern;
        in.endStructure();
        filter.rules.append({ kind, pattern });
    }
    in.endArray();
    in.endStructure();
    return in;
}

} // namespace

Q_DECLARE_METATYPE(PortalFilter)

PortalFileChooser::PortalFileChooser(QDBusConnection bus, FileChooser *fallback, QObject *parent)
    : FileChooser(parent)
    , m_bus(std::move(bus))
    , m_fallback(fallback)
{
    qDBusRegisterMetaType<QPair<uint, QString>>();
    qDBusRegisterMetaType<PortalFilter>();
    qDBusRegisterMetaType<PortalFilters>();
}

void PortalFileChooser::choose(const FileRequest &request, Done done)
{
    if (!m_bus.isConnected()) {
        if (m_fallback)
            m_fallback->choose(request, std::move(done));
        else
            done(QString());
        return;
    }
    // The answer comes as a signal on a request object whose path the token
    // fixes in advance, so we listen before asking and never miss a fast reply.
    const QString token = QStringLiteral("corvalint%1_%2").arg(QCoreApplication::applicationPid()).arg(++m_nextToken);
    const QString requestPath = PortalResponse::requestPath(m_bus.baseService(), token);

    QVariantMap options;
    options.insert(QStringLiteral("handle_token"), token);
    options.insert(QStringLiteral("modal"), true);
    PortalFilter filter { request.filterLabel, {} };
    for (const QString &pattern : request.patterns)
        filter.rules.append({ 0u, pattern });
    if (!request.patterns.isEmpty()) {
        options.insert(QStringLiteral("filters"), QVariant::fromValue(PortalFilters { filter }));
        options.insert(QStringLiteral("current_filter"), QVariant::fromValue(filter));
    }
    // The folder travels as bytes with a closing NUL (file names need not be UTF-8).
    QByteArray folder = QFile::encodeName(request.folder);
    folder.append('\0');
    options.insert(QStringLiteral("current_folder"), folder);
    const bool save = request.mode == FileRequest::Mode::Save;
    if (save)
        options.insert(QStringLiteral("current_name"), request.suggestedName);

    QDBusMessage call
        = QDBusMessage::createMethodCall(service, path, QStringLiteral("org.freedesktop.portal.FileChooser"),
            save ? QStringLiteral("SaveFile") : QStringLiteral("OpenFile"));
    call << QString() << request.title << options;

    auto *response = new PortalResponse(m_bus, requestPath, this);
    connect(response, &PortalResponse::answered, this, [done](const QStringList &uris) {
        const QUrl first = uris.isEmpty() ? QUrl() : QUrl(uris.first());
        done(first.isLocalFile() ? first.toLocalFile() : QString());
    });
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, 10'000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [this, watcher, response, request, done](QDBusPendingCallWatcher *) {
            watcher->deleteLater();
            const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
            if (reply.isError()) {
                // No portal, or one without a file chooser: Qt's dialog does the job.
                response->deleteLater();
                if (m_fallback)
                    m_fallback->choose(request, done);
                else
                    done(QString());
                return;
            }
            // Portals older than the handle_token option answer on a path of their own.
            response->follow(reply.value().path());
        });
}
