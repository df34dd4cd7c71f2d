// File URLs as local paths: every spelling of this machine gives the bare path, other hosts give nothing.
#include "automation/localfileurl.h"

#include <QTest>

class TestLocalFileUrl : public QObject
{
    Q_OBJECT

private:
    static std::optional<QString> pathOf(const QString &text) { return localPathOfFileUrl(QUrl(text)); }

private slots:
    void emptyHostGivesThePath()
    {
        QCOMPARE(pathOf("file:///home/me/Projects"), QStringLiteral("/home/me/Projects"));
        QCOMPARE(pathOf("file:/home/me"), QStringLiteral("/home/me"));
        QCOMPARE(pathOf("file:///"), QStringLiteral("/"));
    }

    void localhostIsThisMachine()
    {
        QCOMPARE(pathOf("file://localhost/home/me/Projects"), QStringLiteral("/home/me/Projects"));
        QCOMPARE(pathOf("file://LocalHost/etc"), QStringLiteral("/etc"));
        QCOMPARE(pathOf("FILE://localhost/tmp"), QStringLiteral("/tmp"));
    }

    void ownHostNameIsThisMachine()
    {
        const QString name = QSysInfo::machineHostName();
        if (name.isEmpty())
            QSKIP("this machine has no host name");
        QUrl url(QStringLiteral("file:///srv/data"));
        url.setHost(name.toUpper());
        QCOMPARE(localPathOfFileUrl(url), QStringLiteral("/srv/data"));
    }

    void otherHostIsNoLocalFile()
    {
        QCOMPARE(pathOf("file://fileserver/share/report.pdf"), std::nullopt);
        QCOMPARE(pathOf("file://localhost.example.org/home"), std::nullopt);
        QCOMPARE(pathOf("file://127.0.0.2/home"), std::nullopt);
    }

    void pathIsDecoded()
    {
        QCOMPARE(pathOf("file://localhost/gone/x%20y.txt"), QStringLiteral("/gone/x y.txt"));
        QCOMPARE(pathOf("file:///home/me/Gr%C3%B6%C3%9Fe"), QStringLiteral("/home/me/Größe"));
        QCOMPARE(pathOf("file:///a/100%25"), QStringLiteral("/a/100%"));
    }

    void relativeOrMissingPathIsNoLocalFile()
    {
        QCOMPARE(pathOf("file:notes.txt"), std::nullopt);
        QCOMPARE(pathOf("file:"), std::nullopt);
        QCOMPARE(pathOf("file://localhost"), std::nullopt);
        QCOMPARE(pathOf("file:///a%00b"), std::nullopt);
    }

    void otherSchemesAndInvalidUrlsAreNoLocalFile()
    {
        QCOMPARE(pathOf("https://localhost/home"), std::nullopt);
        QCOMPARE(pathOf("/home/me"), std::nullopt);
        QCOMPARE(pathOf("smb://localhost/share"), std::nullopt);
        QCOMPARE(localPathOfFileUrl(QUrl(QStringLiteral("file://exa mple/x"), QUrl::StrictMode)), std::nullopt);
        QCOMPARE(localPathOfFileUrl(QUrl()), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestLocalFileUrl)
#include "tst_localfileurl.moc"
