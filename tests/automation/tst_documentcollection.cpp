// The collectors' answers read as string lists, and which collectors run for a capture.
#include "automationfixture.h"

#include <QTest>

using namespace fixture;

class TestDocumentCollection : public QObject
{
    Q_OBJECT

private slots:
    void failedResultIsEmptyWhateverItHolds()
    {
        QCOMPARE(DocumentCollector::stringsFromResult(ScriptResult { true, QVariantList { QStringLiteral("a") } }),
            QStringList());
        QCOMPARE(DocumentCollector::stringsFromResult(ScriptResult { true, QStringLiteral("a") }), QStringList());
    }

    void listKeepsTextualItemsInOrder()
    {
        const QVariantList items { QStringLiteral("a"), QVariant(), 5, QVariantMap(), QStringLiteral("b"), QString() };
        QCOMPARE(DocumentCollector::stringsFromResult(ScriptResult { false, items }),
            (QStringList { QStringLiteral("a"), QStringLiteral("b"), QString() }));
        QCOMPARE(DocumentCollector::stringsFromResult(ScriptResult { false, QStringList { QStringLiteral("x") } }),
            QStringList { QStringLiteral("x") });
    }

    void listWithoutTextIsEmpty()
    {
        QCOMPARE(DocumentCollector::stringsFromResult(ScriptResult { false, QVariantList { QVariant(), 3.5 } }),
            QStringList());
        QCOMPARE(DocumentCollector::stringsFromResult(ScriptResult { false, QVariantList {} }), QStringList());
    }

    void singleStringIsOneElementList()
    {
        QCOMPARE(DocumentCollector::stringsFromResult(ScriptResult { false, QStringLiteral("https://one") }),
            QStringList { QStringLiteral("https://one") });
    }

    void otherValuesAreEmpty()
    {
        QCOMPARE(DocumentCollector::stringsFromResult(ScriptResult { false, 17 }), QStringList());
        QCOMPARE(DocumentCollector::stringsFromResult(ScriptResult { false, QVariant() }), QStringList());
        QCOMPARE(DocumentCollector::stringsFromResult(ScriptResult { false, QByteArray("bytes") }), QStringList());
    }

    void onlyRunningRolesAreAskedInRoleOrder()
    {
        AutomationFixture f;
        f.desktop.addRunningApplication(app(xcode));
        f.desktop.addRunningApplication(app(finder, {}, accessoryPolicy));
        f.desktop.addRunningApplication(app(chrome));
        f.desktop.setScriptResult(chrome, listResult({ QStringLiteral("https://c") }));
        f.desktop.setScriptResult(xcode, ScriptResult { false, QStringLiteral("/p/App.xcodeproj") });

        const ScriptedDocuments documents = f.service.collectScriptedDocuments(f.desktop.runningApplications());
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
        f.service.collectScriptedDocuments(f.desktop.runningApplications());
        QCOMPARE(f.desktop.requests(QStringLiteral("runScript")).size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDocumentCollection)
#include "tst_documentcollection.moc"
