// The collectors' answers read as string lists, and which collectors run for a capture.
#include "automationfixture.h"

#include <QTest>

using namespace fixture;

class TestDocumentCollection : public QObject
{
    Q_OBJECT

private slots:
    void onlyRunningRolesAreAskedInRoleOrder()
    {
        AutomationFixture f;
        f.desktop.addRunningApplication(app(xcode));
        f.desktop.addRunningApplication(app(finder, {}, SimPolicy::accessory));
        f.desktop.addRunningApplication(app(chrome));
        f.desktop.setScriptResult(chrome, listResult({ QStringLiteral("https://c") }));
        f.desktop.setScriptResult(xcode, ScriptResult { false, QStringLiteral("/p/App.xcodeproj") });

        const CollectedDocuments documents = f.service.collectDocuments(f.desktop.runningApplications());
        QCOMPARE(
            requestedApplications(f.desktop, QStringLiteral("runScript")), (QStringList { chrome, finder, xcode }));
        QCOMPARE(documents.browserURLs[1], QStringList { QStringLiteral("https://c") });
        QCOMPARE(documents.browserURLs[0], QStringList());
        QCOMPARE(documents.ideDocuments, QStringList { QStringLiteral("/p/App.xcodeproj") });
    }

    void emptyProfileIdentifierMatchesNothing()
    {
        AutomationFixture f;
        PlatformProfile profile = PlatformProfile::classic();
        profile.browsers[3] = QString();
        f.desktop.setProfile(profile);
        SimApplication unnamed = app(QString());
        f.desktop.addRunningApplication(unnamed);
        f.desktop.addRunningApplication(SimApplication {});
        f.service.collectDocuments(f.desktop.runningApplications());
        QCOMPARE(f.desktop.requests(QStringLiteral("runScript")).size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDocumentCollection)
#include "tst_documentcollection.moc"
