// A native Wayland window for the KWin tests: its app_id, title and size from the command line, and a line in
// $CORVALINT_TEST_CLIENT_LOG when it is asked to close, so that a polite close shows.
//
// Usage: corvalint-wayland-test-window --app-id ID --title T [--size WxH]
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWidget>

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
    const QStringList arguments = app.arguments();
    for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
        const QString &value = arguments[i + 1];
        if (arguments[i] == QLatin1String("--app-id"))
            appId = value;
        else if (arguments[i] == QLatin1String("--title"))
            title = value;
        else if (arguments[i] == QLatin1String("--size"))
            size = QSize(value.section(QLatin1Char('x'), 0, 0).toInt(), value.section(QLatin1Char('x'), 1, 1).toInt());
    }
    // The xdg_toplevel app_id.
    QGuiApplication::setDesktopFileName(appId);
    Window window;
    window.setWindowTitle(title);
    window.resize(size);
    window.show();
    return app.exec();
}
