// The portal file chooser against a stand-in portal on a private session bus:
// what it asks for (name, folder, filters), which answer it takes, and that
// a desktop without a portal falls back to the other dialog.
#include "files/portalfilechooser.h"
#include "files/portalresponse.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {

class StandInPortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.FileChooser")
public:
    explicit StandInPortal(QDBusConnection bus)
        : m_bus(std::move(bus))
    {
    }

    // What the next dialog answers: a response code and the chosen URIs.
    uint code = 0;
    QStringList uris;
    // What the last call asked for.
    QString method;
    QString title;
    QVariantMap options;
    QString filterSignature;

public slots:
    QDBusObjectPath SaveFile(
        const QString &, const QString &title, const QVariantMap &options, const QDBusMessage &call)
    {
        return answer(QStringLiteral("SaveFile"), title, options, call);
    }
    QDBusObjectPath OpenFile(
        const QString &, const QString &title, const QVariantMap &options, const QDBusMessage &call)
    {
        return answer(QStringLiteral("OpenFile"), title, options, call);
    }

private:
    QDBusObjectPath answer(
        const QString &name, const QString &askedTitle, const QVariantMap &asked, const QDBusMessage &call)
    {
        method = name;
        title = askedTitle;
        options = asked;
        if (asked.contains(QStringLiteral("filters")))
            filterSignature = asked.value(QStringLiteral("filters")).value<QDBusArgument>().currentSignature();
        const QString path
            = PortalResponse::requestPath(call.service(), asked.value(QStringLiteral("handle_token")).toString());
        // The dialog's answer comes later, as a signal on the request object.
        QTimer::singleShot(5, this, [this, path] {
            QDBusMessage response = QDBusMessage::createSignal(
                path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
            response << code << QVariantMap { { QStringLiteral("uris"), uris } };
            m_bus.send(response);
        });
        return QDBusObjectPath(path);
    }

    QDBusConnection m_bus;
};

class RecordingChooser : public FileChooser
{
public:
    int asked = 0;
    void choose(const FileRequest &, Done done) override
    {
        ++asked;
        done(QStringLiteral("/tmp/from-fallback.workspace"));
    }
};

FileRequest saveRequest()
{
    FileRequest request;
    request.mode = FileRequest::Mode::Save;
    request.title = QStringLiteral("Workspace exportieren");
    request.folder = QStringLiteral("/home/nutzer/Ordner mit Leerzeichen");
    request.suggestedName = QStringLiteral("CorvalintBackups.workspace");
    request.filterLabel = QStringLiteral("JSON (*.workspace *.json)");
    request.patterns = { QStringLiteral("*.workspace"), QStringLiteral("*.json") };
    return request;
}

} // namespace

class PortalFileChooserTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("needs a session bus (run under dbus-run-session)");
    }

    void savingAsksWithNameFolderAndFiltersAndTakesTheChosenFile()
    {
        QDBusConnection portalBus
            = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("portal"));
        StandInPortal portal(portalBus);
        portal.uris = { QUrl::fromLocalFile(QStringLiteral("/tmp/anderer Ordner/getippt.workspace")).toString() };
        QVERIFY(portalBus.registerObject(PortalFileChooser::path, &portal, QDBusConnection::ExportAllSlots));
        QVERIFY(portalBus.registerService(PortalFileChooser::service));

        RecordingChooser fallback;
        PortalFileChooser chooser(QDBusConnection::sessionBus(), &fallback);
        QString chosen;
        bool answered = false;
        chooser.choose(saveRequest(), [&](const QString &path) {
            answered = true;
            chosen = path;
        });
        QTRY_VERIFY(answered);
        QCOMPARE(chosen, QStringLiteral("/tmp/anderer Ordner/getippt.workspace"));
        QCOMPARE(fallback.asked, 0);
        QCOMPARE(portal.method, QStringLiteral("SaveFile"));
        QCOMPARE(portal.title, QStringLiteral("Workspace exportieren"));
        QCOMPARE(portal.options.value(QStringLiteral("current_name")).toString(),
            QStringLiteral("CorvalintBackups.workspace"));
        QCOMPARE(portal.options.value(QStringLiteral("current_folder")).toByteArray(),
            QByteArray("/home/nutzer/Ordner mit Leerzeichen", 36));
        QCOMPARE(portal.filterSignature, QStringLiteral("a(sa(us))"));

        portalBus.unregisterService(PortalFileChooser::service);
        portalBus.unregisterObject(PortalFileChooser::path);
        QDBusConnection::disconnectFromBus(QStringLiteral("portal"));
    }

    void aCancelledDialogAnswersWithNoFileAndOpeningUsesOpenFile()
    {
        QDBusConnection portalBus
            = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("portal2"));
        StandInPortal portal(portalBus);
        portal.code = 1;
        portal.uris = { QStringLiteral("file:///tmp/ignored.workspace") };
        QVERIFY(portalBus.registerObject(PortalFileChooser::path, &portal, QDBusConnection::ExportAllSlots));
        QVERIFY(portalBus.registerService(PortalFileChooser::service));

        RecordingChooser fallback;
        PortalFileChooser chooser(QDBusConnection::sessionBus(), &fallback);
        FileRequest request = saveRequest();
        request.mode = FileRequest::Mode::Open;
        QString chosen = QStringLiteral("unset");
        chooser.choose(request, [&](const QString &path) { chosen = path; });
        QTRY_VERIFY(chosen != QStringLiteral("unset"));
        QVERIFY(chosen.isEmpty());
        QCOMPARE(portal.method, QStringLiteral("OpenFile"));
        QVERIFY(!portal.options.contains(QStringLiteral("current_name")));
        QCOMPARE(fallback.asked, 0);

        portalBus.unregisterService(PortalFileChooser::service);
        portalBus.unregisterObject(PortalFileChooser::path);
        QDBusConnection::disconnectFromBus(QStringLiteral("portal2"));
    }

    void withoutAPortalTheFallbackDialogAsks()
    {
        QTRY_VERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(PortalFileChooser::service));
        RecordingChooser fallback;
        PortalFileChooser chooser(QDBusConnection::sessionBus(), &fallback);
        QString chosen;
        chooser.choose(saveRequest(), [&](const QString &path) { chosen = path; });
        QTRY_COMPARE(chosen, QStringLiteral("/tmp/from-fallback.workspace"));
        QCOMPARE(fallback.asked, 1);
    }

    void requestPathsFollowTheSendersUniqueName()
    {
        QCOMPARE(PortalResponse::requestPath(QStringLiteral(":1.42"), QStringLiteral("t7")),
            QStringLiteral("/org/freedesktop/portal/desktop/request/1_42/t7"));
    }
};

QTEST_GUILESS_MAIN(PortalFileChooserTest)
#include "tst_portalfilechooser.moc"
