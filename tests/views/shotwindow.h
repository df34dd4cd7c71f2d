// What the screenshot programs share: the main window loaded in a known place at a chosen size, and the frames of
// the windows to photograph written out for the script that takes the pictures.
#pragma once

#include <QFile>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QStringList>

/// "WxH" as a size.
inline QSize sizeFrom(const QString &text)
{
    const QStringList dimensions = text.split(QLatin1Char('x'));
    return QSize(dimensions.value(0).toInt(), dimensions.value(1).toInt());
}

/// The main window at (40, 40) and `size`; nullptr when Main.qml did not load.
inline QQuickWindow *openMainWindow(QQmlApplicationEngine &engine, const QSize &size)
{
    engine.load(QUrl(QStringLiteral("qrc:/Corvalint/Main.qml")));
    if (engine.rootObjects().isEmpty())
        return nullptr;
    auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().first());
    window->setPosition(40, 40);
    window->resize(size);
    return window;
}

/// "x y width height" of the window's frame in root coordinates, one line.
inline QString frameLine(const QWindow *window)
{
    const QRect frame = window->frameGeometry();
    return QStringLiteral("%1 %2 %3 %4\n").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height());
}

/// Tells the script the windows are drawn: `text` into `path`, when one is given.
inline void writeReadyFile(const QString &path, const QString &text)
{
    QFile file(path);
    if (!path.isEmpty() && file.open(QIODevice::WriteOnly))
        file.write(text.toUtf8());
}
