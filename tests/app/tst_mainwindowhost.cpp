// The main window's life: shown once, brought back on reopen, re-created
// after it was destroyed, and the tray item made on its first appearance only.
#include "app/applifecycle.h"
#include "app/mainwindowhost.h"
#include "app/traymenu.h"
#include "model/workspacestore.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

class TestMainWindowHost : public QObject
{
    Q_OBJECT

private:
    std::vector<std::unique_ptr<QWindow>> m_windows;
    int m_created = 0;

    MainWindowHost::Factory factory()
    {
        return [this]() -> QWindow * {
            auto window = std::make_unique<QWindow>();
            window->setTitle(QStringLiteral("Corvalint"));
            window->resize(300, 200);
            ++m_created;
            m_windows.push_back(std::move(window));
            return m_windows.back().get();
        };
    }

private slots:
    void init()
    {
        m_windows.clear();
        m_created = 0;
    }

    void showCreatesOneWindowAndAnnouncesTheFirstAppearance()
    {
        MainWindowHost host(factory());
        QSignalSpy appeared(&host, &MainWindowHost::appeared);
        host.show();
        QCOMPARE(m_created, 1);
        QVERIFY(host.window()->isVisible());
        QCOMPARE(appeared.size(), 1);
        QCOMPARE(appeared[0][0].toBool(), true);
        host.window()->hide();
        host.show();
        QCOMPARE(m_created, 1);
        QCOMPARE(appeared.size(), 2);
        QCOMPARE(appeared[1][0].toBool(), false);
    }

    void reopenBringsBackTheClosedWindowInsteadOfASecondOne()
    {
        MainWindowHost host(factory());
        host.show();
        QWindow *window = host.window();
        window->close();
        QVERIFY(!window->isVisible());
        host.reopen();
        QCOMPARE(m_created, 1);
        QCOMPARE(host.window(), window);
        QVERIFY(window->isVisible());
    }

    void aClosedWindowComesBackWhereItWasAtItsSize()
    {
        MainWindowHost host(factory());
        host.show();
        QWindow *window = host.window();
        QVERIFY(window);
        window->setFramePosition(QPoint(140, 90));
        window->resize(420, 310);
        QTRY_COMPARE(window->framePosition(), QPoint(140, 90));
        window->close();
        QVERIFY(!window->isVisible());
        // Something (Qt, the window manager) may move a hidden window; reopening puts it back.
        window->setFramePosition(QPoint(0, 0));
        window->resize(300, 200);
        host.reopen();
        QVERIFY(window->isVisible());
        QTRY_COMPARE(window->framePosition(), QPoint(140, 90));
        QCOMPARE(window->size(), QSize(420, 310));
    }

    void reopenFindsAWindowByItsTitle()
    {
        MainWindowHost host(factory());
        QWindow other;
        other.setTitle(QStringLiteral("Corvalint"));
        host.reopen();
        // The first window titled "Corvalint" is brought back, whoever made it.
        QCOMPARE(m_created, 0);
        QVERIFY(other.isVisible());
    }

    void reopenCreatesANewWindowWhenTheOldOneWasDestroyed()
    {
        MainWindowHost host(factory());
        host.show();
        m_windows.clear();
        QVERIFY(!host.window());
        host.reopen();
        QCOMPARE(m_created, 2);
        QVERIFY(host.window());
        QVERIFY(host.window()->isVisible());
    }

    void reopenUnminimizes()
    {
        MainWindowHost host(factory());
        host.show();
        host.window()->setWindowStates(Qt::WindowMinimized);
        host.reopen();
        QVERIFY(!(host.window()->windowStates() & Qt::WindowMinimized));
    }

    void dockPolicyIsKept()
    {
        MainWindowHost host(factory());
        QCOMPARE(host.taskbarPresence(), TaskbarPresence::listed);
        host.setTaskbarPresence(TaskbarPresence::trayOnly);
        host.show();
        QCOMPARE(host.taskbarPresence(), TaskbarPresence::trayOnly);
    }

    void trayItemIsCreatedOnTheFirstAppearanceOnly()
    {
        QTemporaryDir dir;
        QString error;
        auto store = WorkspaceStore::open(dir.path(), &error);
        QVERIFY2(store, qPrintable(error));
        MainWindowHost host(factory());
        int made = 0;
        AppLifecycle lifecycle(host, [&]() {
            ++made;
            return std::make_unique<TrayMenu>(*store, TrayMenu::Actions {});
        });
        QObject::connect(
            &host, &MainWindowHost::appeared, &lifecycle, [&lifecycle] { lifecycle.mainWindowAppeared(); });
        QVERIFY(!lifecycle.trayMenu());
        host.show();
        QCOMPARE(made, 1);
        QVERIFY(lifecycle.trayMenu());
        QVERIFY(lifecycle.trayMenu()->statusItem());
        TrayMenu *first = lifecycle.trayMenu();
        host.window()->close();
        lifecycle.reopen();
        QVERIFY(host.window()->isVisible());
        QCOMPARE(made, 1);
        QCOMPARE(lifecycle.trayMenu(), first);
    }
};

QTEST_MAIN(TestMainWindowHost)
#include "tst_mainwindowhost.moc"
