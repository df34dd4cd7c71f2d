// A native Wayland window for the KWin tests: its app_id, title and size from the command line, and a line in
// $CORVALINT_TEST_CLIENT_LOG when it is asked to close, so that a polite close shows.
//
// Usage: corvalint-wayland-test-window --app-id ID --title T [--size WxH] [--count N]
// With a count above one the process shows N windows, titled "T 1" to "T N" (the bench's many windows).
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <vector>

namespace {

class Window : public QWidget
{
protected:
    void closeEvent(QCloseEvent *event) override
    {
        const QString path = qEnvironmentVariable("CORVALINT_TEST_CLIENT_LOG");
        QFile log(path);
        if (!path.isEmpty() && log.open(QIODevice::Append)) {
            const QJsonObject line { { QStringLiteral("pid"), QCoreApplication::applicationPid() },
                { QStringLiteral("event"), QStringLiteral("closeEvent") }, { QStringLiteral("title"), windowTitle() } };
            log.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
        }
        event->accept();
    }
};

} // namespace

int main(int argc, char **argv)
{
    // Always a Wayland client: this window stands for the native applications of a Plasma session.
    qputenv("QT_QPA_PLATFORM", "wayland");
    QApplication app(argc, argv);
    QString appId = QStringLiteral("corvalint-wayland-test-window");
    QString title = appId;
    QSize size(400, 300);
    int count = 1;
    const QStringList arguments = app.arguments();
    for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
        const QString &value = arguments[i + 1];
        if (arguments[i] == QLatin1String("--app-id"))
            appId = value;
        else if (arguments[i] == QLatin1String("--title"))
            title = value;
        else if (arguments[i] == QLatin1String("--size"))
            size = QSize(value.section(QLatin1Char('x'), 0, 0).toInt(), value.section(QLatin1Char('x'), 1, 1).toInt());
        else if (arguments[i] == QLatin1String("--count"))
            count = std::clamp(value.toInt(), 1, 100);
    }
    // The xdg_toplevel app_id.
    QGuiApplication::setDesktopFileName(appId);
    std::vector<std::unique_ptr<Window>> windows;
    for (int n = 1; n <= count; ++n) {
        windows.push_back(std::make_unique<Window>());
        windows.back()->setWindowTitle(count == 1 ? title : QStringLiteral("%1 %2").arg(title).arg(n));
        windows.back()->resize(size);
        windows.back()->show();
    }
    return app.exec();
}
