// Puts the preview overlay on the desktop: one transparent, frameless, always-on-top window per
// screen showing where each entry's window will be placed; closes them all again.
#include "previewoverlaymanager.h"

#include "overlaybox.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QRegion>
#include <QScreen>

namespace {

const QUrl overlayViewUrl(QStringLiteral("qrc:/overlay/Corvalint/Overlay/PreviewOverlayView.qml"));

/// Qt places windows in X root coordinates, while screen frames are in the
/// global display space whose origin is the primary screen's top-left corner.
QRect windowGeometry(const QRectF &frame)
{
    const QScreen *primary = QGuiApplication::primaryScreen();
    const QPoint origin = primary ? primary->geometry().topLeft() : QPoint();
    return frame.toAlignedRect().translated(origin);
}

QScreen *qtScreenAt(const QRect &geometry)
{
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen->geometry().contains(geometry.center()))
            return screen;
    }
    return nullptr;
}

/// Glow and rim reach a little beyond an item's own rectangle.
constexpr int maskMargin = 6;

void collectDrawn(QQuickItem *item, QRegion &region)
{
    static const QStringList drawn { QStringLiteral("previewBox"), QStringLiteral("titleBadge"),
        QStringLiteral("closeButton") };
    for (QQuickItem *child : item->childItems()) {
        if (drawn.contains(child->objectName()) && child->isVisible()) {
            const QRectF rect = child->mapRectToScene(QRectF(0, 0, child->width(), child->height()));
            region += rect.toAlignedRect().adjusted(-maskMargin, -maskMargin, maskMargin, maskMargin);
            continue;
        }
        collectDrawn(child, region);
    }
}

/// The parts of the overlay that draw something: its boxes, the title badge and the close button.
QRegion drawnRegion(QQuickView &window)
{
    QRegion region;
    if (QQuickItem *root = window.rootObject()) {
        // Anchors follow at once: the items stand where they will be drawn.
        root->setSize(window.size());
        collectDrawn(root, region);
    }
    return region;
}

} // namespace

PreviewOverlayManager::PreviewOverlayManager(DesktopPlatform &platform, QObject *parent)
    : QObject(parent)
    , m_platform(platform)
{
}

PreviewOverlayManager::~PreviewOverlayManager()
{
    close();
    for (const QPointer<QQuickView> &window : std::as_const(m_retired))
        delete window.data();
}

QList<QQuickView *> PreviewOverlayManager::windowList() const
{
    QList<QQuickView *> list;
    for (const auto &window : m_windows)
        list.append(window.get());
    return list;
}

void PreviewOverlayManager::show(const QList<EntryData> &entries)
{
    close();
    const QList<DesktopMonitor> monitors = m_platform.monitors();
    if (monitors.isEmpty())
        return;
    for (const DesktopMonitor &monitor : monitors)
        m_windows.push_back(createWindow(monitor, entries));
    QCoreApplication::instance()->installEventFilter(this);
    emit windowsChanged();
}

void PreviewOverlayManager::close()
{
    if (m_windows.empty())
        return;
    QCoreApplication::instance()->removeEventFilter(this);
    for (auto &window : m_windows) {
        window->close();
        // Escape or the close button may be inside this very window's event
        // handling: delete it once that has returned.
        QQuickView *retired = window.release();
        m_retired.append(retired);
        retired->deleteLater();
    }
    m_windows.clear();
    m_retired.removeAll(nullptr);
    emit windowsChanged();
    emit closed();
}

bool PreviewOverlayManager::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape
        && watched->isWindowType()) {
        close();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

QQmlEngine &PreviewOverlayManager::engine()
{
    // The theme's module lies in an import path that every engine has.
    if (!m_engine)
        m_engine = std::make_unique<QQmlEngine>();
    return *m_engine;
}

std::unique_ptr<QQuickView> PreviewOverlayManager::createWindow(
    const DesktopMonitor &monitor, const QList<EntryData> &entries)
{
    auto window = std::make_unique<QQuickView>(&engine(), nullptr);
    window->setTitle(QStringLiteral("Corvalint HUD"));
    window->setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    // Only the view's own drawing is seen; the desktop shows through the rest
    // (where a compositor runs; without one the clear parts are black).
    QSurfaceFormat format = window->format();
    format.setAlphaBufferSize(8);
    window->setFormat(format);
    window->setColor(Qt::transparent);
    window->setResizeMode(QQuickView::SizeRootObjectToView);

    const QRect geometry = windowGeometry(monitor.bounds);
    if (QScreen *qtScreen = qtScreenAt(geometry))
        window->setScreen(qtScreen);
    window->setGeometry(geometry);

    QVariantList boxes;
    for (const OverlayBox &box : overlayBoxes(entries, monitor.bounds))
        boxes.append(box.toVariant());
    const bool composited = (m_hintsPlatform ? *m_hintsPlatform : m_platform).compositesWindows();
    window->setInitialProperties({ { QStringLiteral("boxes"), boxes }, { QStringLiteral("composited"), composited } });
    window->setSource(overlayViewUrl);
    if (QQuickItem *root = window->rootObject())
        connect(root, SIGNAL(closeRequested()), this, SLOT(close()), Qt::QueuedConnection);

    // The overlay is no window to switch to: kept out of taskbars and pagers,
    // and shown on whichever virtual desktop the user is on.
    (m_hintsPlatform ? *m_hintsPlatform : m_platform).setOwnWindowHints(window->winId(), true, true);
    if (!composited)
        window->setMask(drawnRegion(*window));
    window->show();
    window->raise();
    window->requestActivate();
    return window;
}
