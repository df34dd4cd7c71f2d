// GET_TREE and GET_OUTPUTS replies recorded from sway 1.7 and i3 4.22 here, read into windows and outputs.
#include "platform/i3ipc/i3framegeometry.h"
#include "platform/i3ipc/i3tree.h"

#include <QFile>
#include <QTest>

namespace {

QByteArray sample(const char *name)
{
    QFile file(QStringLiteral(CORVALINT_I3IPC_SAMPLES "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

const I3Window *titled(const QList<I3Window> &windows, const QString &title)
{
    for (const I3Window &w : windows) {
        if (w.title == title)
            return &w;
    }
    return nullptr;
}

} // namespace

class TestI3Tree : public QObject
{
    Q_OBJECT

private slots:
    void swayFrameAddsTheTitleBarAboveTheRect()
    {
        QCOMPARE(
            I3FrameGeometry::outerFrame(IpcFlavour::sway, QRect(2000, 125, 700, 475), 25), QRect(2000, 100, 700, 500));
        // Full screen and borderless windows have no title bar.
        QCOMPARE(I3FrameGeometry::outerFrame(IpcFlavour::sway, QRect(0, 0, 1920, 1080), 0), QRect(0, 0, 1920, 1080));
    }

    void i3RectIsTheWholeFrame()
    {
        QCOMPARE(I3FrameGeometry::outerFrame(IpcFlavour::i3, QRect(960, 0, 960, 1080), 18), QRect(960, 0, 960, 1080));
    }

    void framesFitWithinOnePixel()
    {
        QVERIFY(I3FrameGeometry::fits(QRect(100, 100, 400, 300), QRect(101, 99, 399, 301)));
        QVERIFY(!I3FrameGeometry::fits(QRect(100, 100, 400, 300), QRect(102, 100, 400, 300)));
        QVERIFY(!I3FrameGeometry::fits(QRect(100, 100, 400, 300), QRect(100, 100, 400, 302)));
    }

    void flavourFromVersion()
    {
        QCOMPARE(ipcFlavourOf(R"({"human_readable":"1.7","variant":"sway","major":1})"), IpcFlavour::sway);
        QCOMPARE(ipcFlavourOf(R"({"human_readable":"sway version 1.4"})"), IpcFlavour::sway);
        QCOMPARE(ipcFlavourOf(R"j({"major":4,"minor":22,"human_readable":"4.22 (2023-01-02)"})j"), IpcFlavour::i3);
        QCOMPARE(ipcFlavourOf("garbage"), IpcFlavour::i3);
    }

    void swayTreeListsTiledFloatingAndFullScreenWindows()
    {
        QString error;
        const auto windows = I3Tree::windows(sample("sway-tree.json"), IpcFlavour::sway, &error);
        QVERIFY2(windows, qPrintable(error));
        QCOMPARE(windows->size(), 4);

        const I3Window *a = titled(*windows, QStringLiteral("Test A"));
        QVERIFY(a);
        QCOMPARE(a->conId, 8u);
        QCOMPARE(a->pid, std::optional<qint64>(19930));
        QCOMPARE(a->className, QStringLiteral("TestAppA"));
        QCOMPARE(a->instance, QStringLiteral("testapp-a"));
        QVERIFY(a->waylandAppId.isEmpty());
        // Tiled behind D, which is full screen on the same workspace: its tile is not laid out.
        QCOMPARE(a->frame, QRect(0, 0, 1920, 1080));
        QCOMPARE(a->output, QStringLiteral("HEADLESS-1"));
        QCOMPARE(a->workspace, QStringLiteral("1"));
        QCOMPARE(a->workspaceNumber, std::optional<int>(1));
        QVERIFY(!a->floating);
        QVERIFY(!a->fullScreen);

        const I3Window *b = titled(*windows, QStringLiteral("Test B"));
        QVERIFY(b);
        QVERIFY(b->floating);
        QCOMPARE(b->frame, QRect(2000, 100, 700, 500));
        QCOMPARE(b->output, QStringLiteral("HEADLESS-2"));
        QCOMPARE(b->workspaceNumber, std::optional<int>(2));

        const I3Window *c = titled(*windows, QStringLiteral("Test C"));
        QVERIFY(c);
        // Laid out: its own tile, title bar included.
        QCOMPARE(c->frame, QRect(1920, 0, 1280, 1024));
        QCOMPARE(c->output, QStringLiteral("HEADLESS-2"));

        const I3Window *d = titled(*windows, QStringLiteral("Test D"));
        QVERIFY(d);
        QVERIFY(d->fullScreen);
        QVERIFY(d->focused);
        QCOMPARE(d->frame, QRect(0, 0, 1920, 1080));
    }

    void i3TreeFindsWindowsInsideFloatingContainers()
    {
        QString error;
        const auto windows = I3Tree::windows(sample("i3-tree.json"), IpcFlavour::i3, &error);
        QVERIFY2(windows, qPrintable(error));
        QCOMPARE(windows->size(), 4);
        const I3Window *b = titled(*windows, QStringLiteral("Test B"));
        QVERIFY(b);
        QCOMPARE(b->conId, 94657292302400ull);
        QVERIFY(b->floating);
        QVERIFY(!b->pid);
        QCOMPARE(b->frame, QRect(2000, 100, 700, 500));
        QCOMPARE(b->output, QStringLiteral("B"));
        const I3Window *a = titled(*windows, QStringLiteral("Test A"));
        QVERIFY(a);
        QCOMPARE(a->frame, QRect(0, 0, 1920, 1080)); // behind full-screen D
        QVERIFY(!a->floating);
        QCOMPARE(a->output, QStringLiteral("A"));
        const I3Window *d = titled(*windows, QStringLiteral("Test D"));
        QVERIFY(d);
        QVERIFY(d->fullScreen);
        QCOMPARE(d->frame, QRect(0, 0, 1920, 1080));
        const I3Window *c = titled(*windows, QStringLiteral("Test C"));
        QVERIFY(c);
        QCOMPARE(c->workspace, QStringLiteral("2"));
    }

    void outputsLeaveInactiveOnesOut()
    {
        QString error;
        const auto i3 = I3Tree::outputs(sample("i3-outputs.json"), &error);
        QVERIFY2(i3, qPrintable(error));
        QCOMPARE(i3->size(), 2);
        QCOMPARE(i3->at(0).name, QStringLiteral("A"));
        QVERIFY(i3->at(0).primary);
        QCOMPARE(i3->at(1).bounds, QRect(1920, 0, 1280, 1024));

        const auto sway = I3Tree::outputs(sample("sway-outputs.json"), &error);
        QVERIFY2(sway, qPrintable(error));
        QCOMPARE(sway->size(), 2);
        QCOMPARE(sway->at(0).name, QStringLiteral("HEADLESS-1"));
        QCOMPARE(sway->at(0).bounds, QRect(0, 0, 1920, 1080));
        QCOMPARE(sway->at(1).bounds, QRect(1920, 0, 1280, 1024));
        QCOMPARE(sway->at(0).make, QStringLiteral("headless"));
    }

    void tiledWindowsBehindAFullScreenOneTakeTheirWorkspaceArea()
    {
        // Recorded on sway: C full screen on workspace 1, B tiled behind it with a rect of width 0.
        QString error;
        const auto windows = I3Tree::windows(sample("sway-tree-hidden.json"), IpcFlavour::sway, &error);
        QVERIFY2(windows, qPrintable(error));
        const I3Window *b = titled(*windows, QStringLiteral("Test B"));
        const I3Window *c = titled(*windows, QStringLiteral("Test C"));
        QVERIFY(b && c);
        QVERIFY(c->fullScreen);
        QCOMPARE(b->workspace, c->workspace);
        QCOMPARE(b->frame, QRect(0, 0, 1920, 1080));
        QCOMPARE(b->workspaceArea, QRect(0, 0, 1920, 1080));
    }

    void waylandWindowsCarryTheirAppId()
    {
        // A native Wayland window as sway 1.7 lists it: app_id, no window_properties, shell xdg_shell.
        const QByteArray tree = R"({"type":"root","nodes":[{"type":"output","name":"HEADLESS-1","nodes":[
            {"type":"workspace","name":"3","num":3,"rect":{"x":0,"y":0,"width":1920,"height":1080},"nodes":[],
             "floating_nodes":[{"type":"floating_con","id":42,"pid":777,"app_id":"org.gnome.TextEditor",
               "shell":"xdg_shell","name":"notes.txt","window":null,"fullscreen_mode":0,"focused":true,
               "rect":{"x":100,"y":125,"width":800,"height":575},
               "deco_rect":{"x":100,"y":0,"width":800,"height":25}}]}]}]})";
        QString error;
        const auto windows = I3Tree::windows(tree, IpcFlavour::sway, &error);
        QVERIFY2(windows, qPrintable(error));
        QCOMPARE(windows->size(), 1);
        const I3Window &w = windows->front();
        QCOMPARE(w.conId, 42u);
        QCOMPARE(w.waylandAppId, QStringLiteral("org.gnome.TextEditor"));
        QVERIFY(w.className.isEmpty());
        QCOMPARE(w.pid, std::optional<qint64>(777));
        QCOMPARE(w.frame, QRect(100, 100, 800, 600));
        QCOMPARE(w.workspaceNumber, std::optional<int>(3));
        QVERIFY(w.floating);
        QVERIFY(w.focused);
    }

    void scratchpadWindowsAreMarked()
    {
        const QByteArray tree = R"({"type":"root","nodes":[{"type":"output","name":"__i3","nodes":[
            {"type":"workspace","name":"__i3_scratch","num":-1,"rect":{"x":0,"y":0,"width":1,"height":1},
             "floating_nodes":[{"type":"floating_con","id":9,"pid":5,"app_id":"foot","name":"t",
               "rect":{"x":0,"y":0,"width":300,"height":200},"deco_rect":{"height":0}}]}]}]})";
        QString error;
        const auto windows = I3Tree::windows(tree, IpcFlavour::sway, &error);
        QVERIFY(windows);
        QCOMPARE(windows->size(), 1);
        QVERIFY(windows->front().scratchpad);
        QVERIFY(!windows->front().workspaceNumber);
    }

    void garbledRepliesGiveAnErrorNotACrash()
    {
        QString error;
        QVERIFY(!I3Tree::windows("{\"nodes\":[", IpcFlavour::sway, &error));
        QVERIFY(!error.isEmpty());
        error.clear();
        QVERIFY(!I3Tree::windows("[1,2]", IpcFlavour::i3, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!I3Tree::outputs("{}", &error));
        // Wrong types where objects are expected: nothing is listed, nothing breaks.
        const auto odd
            = I3Tree::windows(R"({"nodes":[1,"x",null,{"nodes":true,"pid":"7"}]})", IpcFlavour::sway, &error);
        QVERIFY(odd);
        QVERIFY(odd->isEmpty());
    }

    void absurdNestingIsCutOff()
    {
        QByteArray deep;
        for (int i = 0; i < 5000; ++i)
            deep += "{\"type\":\"con\",\"nodes\":[";
        deep += R"({"id":1,"pid":5,"rect":{"x":0,"y":0,"width":10,"height":10}})";
        for (int i = 0; i < 5000; ++i)
            deep += "]}";
        QString error;
        const auto windows = I3Tree::windows(deep, IpcFlavour::sway, &error);
        // Qt's parser or our depth bound refuses it; either way no window and no stack overflow.
        QVERIFY(!windows || windows->isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestI3Tree)
#include "tst_i3tree.moc"
