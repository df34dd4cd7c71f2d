// A deterministic desktop in memory, on virtual time: what the automation sees and a log of what it asked for.
#include "simulateddesktop.h"

#include "automation/axattributes.h"
#include "simscenario.h"

#include <QFile>
#include <QJsonDocument>
#include <QPointF>
#include <QSizeF>
#include <QUrl>
#include <algorithm>

SimulatedDesktop::SimulatedDesktop(VirtualClock &clock, QObject *parent)
    : DesktopPlatform(parent)
    , m_clock(clock)
{
}

void SimulatedDesktop::reset()
{
    ++m_generation;
    m_screens.clear();
    m_mainScreen.reset();
    setTrusted(true);
    m_ownIdentifier.reset();
    m_profile = PlatformProfile::classic();
    m_processes.clear();
    m_windows.clear();
    m_installed.clear();
    m_scripts.clear();
    m_files.clear();
    m_windowListReads.clear();
    m_startingLaunches.clear();
    m_requests.clear();
    emit screensChanged();
}

bool SimulatedDesktop::loadScenario(const QJsonObject &scenario, QString *error)
{
    reset();
    QString problem;
    if (!SimScenario::apply(scenario, *this, &problem)) {
        reset();
        if (error)
            *error = problem;
        return false;
    }
    return true;
}

bool SimulatedDesktop::loadScenario(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        if (error)
            *error = QStringLiteral("%1 is not a JSON object: %2").arg(path, parseError.errorString());
        return false;
    }
    return loadScenario(document.object(), error);
}

// --- Building ------------------------------------------------------------------

void SimulatedDesktop::setScreens(const QList<SimScreen> &screens)
{
    m_screens = screens;
    emit screensChanged();
}

void SimulatedDesktop::setMainScreenIndex(std::optional<int> index)
{
    m_mainScreen = index;
}

void SimulatedDesktop::setTrusted(bool trusted)
{
    if (m_trusted == trusted)
        return;
    m_trusted = trusted;
    emit trustedChanged();
}

void SimulatedDesktop::setOwnBundleIdentifier(const std::optional<QString> &identifier)
{
    m_ownIdentifier = identifier;
}

void SimulatedDesktop::setProfile(const PlatformProfile &profile)
{
    m_profile = profile;
}

qint64 SimulatedDesktop::addRunningApplication(const SimApplication &application)
{
    Process process;
    process.info.bundleIdentifier = application.bundleIdentifier;
    process.info.activationPolicy = application.activationPolicy;
    qint64 pid = application.processIdentifier;
    if (pid == 0 || this->process(pid))
        pid = m_nextProcessIdentifier;
    m_nextProcessIdentifier = std::max(m_nextProcessIdentifier, pid + 1);
    process.info.processIdentifier = pid;
    process.windowListMissing = application.windowListMissing;
    process.quitsOnTerminate = application.quitsOnTerminate;
    m_processes.append(process);
    for (const SimWindow &window : application.windows)
        addWindow(pid, window);
    return pid;
}

WindowRef SimulatedDesktop::addWindow(qint64 processIdentifier, const SimWindow &window)
{
    Process *owner = process(processIdentifier);
    if (!owner)
        return 0;
    const WindowRef ref = m_nextWindow++;
    m_windows.insert(ref, window);
    owner->windows.append(ref);
    return ref;
}

void SimulatedDesktop::removeWindow(WindowRef window)
{
    m_windows.remove(window);
    for (Process &p : m_processes)
        p.windows.removeAll(window);
}

void SimulatedDesktop::setWindowListMissing(qint64 processIdentifier, bool missing)
{
    if (Process *p = process(processIdentifier))
        p->windowListMissing = missing;
}

void SimulatedDesktop::setWindowAttribute(WindowRef window, const QString &attribute, const QVariant &value)
{
    auto it = m_windows.find(window);
    if (it != m_windows.end())
        it->attributes.insert(attribute, value);
}

void SimulatedDesktop::removeWindowAttribute(WindowRef window, const QString &attribute)
{
    auto it = m_windows.find(window);
    if (it != m_windows.end())
        it->attributes.remove(attribute);
}

void SimulatedDesktop::installApplication(const SimInstalledApplication &application)
{
    m_installed.append(application);
}

void SimulatedDesktop::setScriptResult(const QString &applicationIdentifier, const ScriptResult &result)
{
    m_scripts.insert(applicationIdentifier, result);
}

void SimulatedDesktop::setFile(const QString &path, bool isDirectory)
{
    m_files.insert(path, isDirectory);
}

// --- Inspecting ----------------------------------------------------------------

QList<WindowRef> SimulatedDesktop::windowsOf(qint64 processIdentifier) const
{
    const Process *p = process(processIdentifier);
    return p ? p->windows : QList<WindowRef>();
}

QVariantMap SimulatedDesktop::windowAttributes(WindowRef window) const
{
    return m_windows.value(window).attributes;
}

std::optional<RunningApplication> SimulatedDesktop::runningApplication(const QString &bundleIdentifier) const
{
    for (const Process &p : m_processes) {
        if (p.info.bundleIdentifier == bundleIdentifier)
            return p.info;
    }
    return std::nullopt;
}

QList<SimRequest> SimulatedDesktop::requests(const QString &action) const
{
    QList<SimRequest> matching;
    for (const SimRequest &request : m_requests) {
        if (request.action == action)
            matching.append(request);
    }
    return matching;
}

void SimulatedDesktop::clearRequests()
{
    m_requests.clear();
}

QByteArray SimulatedDesktop::requestLogJsonLines() const
{
    QByteArray lines;
    for (const SimRequest &request : m_requests)
        lines += QJsonDocument(request.toJson()).toJson(QJsonDocument::Compact) + '\n';
    return lines;
}

void SimulatedDesktop::log(SimRequest request)
{
    request.time = m_clock.now();
    m_requests.append(request);
    emit requestLogged(m_requests.constLast());
}

// --- Screens -------------------------------------------------------------------

QList<PlatformScreen> SimulatedDesktop::screens() const
{
    QList<PlatformScreen> list;
    for (const SimScreen &screen : m_screens)
        list.append(PlatformScreen { screen.displayNumber, screen.bounds });
    return list;
}

const SimScreen *SimulatedDesktop::screenWithNumber(quint32 displayNumber) const
{
    for (const SimScreen &screen : m_screens) {
        if (screen.displayNumber == displayNumber)
            return &screen;
    }
    return nullptr;
}

QRectF SimulatedDesktop::displayBounds(quint32 displayNumber) const
{
    const SimScreen *screen = screenWithNumber(displayNumber);
    return screen ? screen->bounds : QRectF();
}

std::optional<QString> SimulatedDesktop::displayUUID(quint32 displayNumber) const
{
    const SimScreen *screen = screenWithNumber(displayNumber);
    return screen ? screen->uuid : std::nullopt;
}

// --- Applications ----------------------------------------------------------------

SimulatedDesktop::Process *SimulatedDesktop::process(qint64 processIdentifier)
{
    for (Process &p : m_processes) {
        if (p.info.processIdentifier == processIdentifier)
            return &p;
    }
    return nullptr;
}

const SimulatedDesktop::Process *SimulatedDesktop::process(qint64 processIdentifier) const
{
    return const_cast<SimulatedDesktop *>(this)->process(processIdentifier);
}

QList<RunningApplication> SimulatedDesktop::runningApplications() const
{
    QList<RunningApplication> list;
    for (const Process &p : m_processes)
        list.append(p.info);
    return list;
}

void SimulatedDesktop::terminate(const RunningApplication &application)
{
    SimRequest request;
    request.action = QStringLiteral("terminate");
    request.application = application.bundleIdentifier.value_or(QString());
    request.processIdentifier = application.processIdentifier;
    log(request);

    const Process *p = process(application.processIdentifier);
    if (!p || !p->quitsOnTerminate)
        return;
    for (WindowRef window : p->windows)
        m_windows.remove(window);
    m_processes.removeIf([&](const Process &q) { return q.info.processIdentifier == application.processIdentifier; });
}

const SimInstalledApplication *SimulatedDesktop::installedAt(const QString &location) const
{
    for (const SimInstalledApplication &installed : m_installed) {
        if (installed.location == location)
            return &installed;
    }
    return nullptr;
}

std::optional<QString> SimulatedDesktop::applicationLocation(const QString &bundleIdentifier) const
{
    for (const SimInstalledApplication &installed : m_installed) {
        if (installed.bundleIdentifier == bundleIdentifier)
            return installed.location;
    }
    return std::nullopt;
}

void SimulatedDesktop::openApplication(const QString &location, LaunchCompletion completion)
{
    SimRequest request;
    request.action = QStringLiteral("openApplication");
    const SimInstalledApplication *installed = installedAt(location);
    request.application = installed ? installed->bundleIdentifier : location;
    log(request);
    launch(location, std::move(completion));
}

void SimulatedDesktop::openDocuments(const QList<QUrl> &urls, const QString &location, LaunchCompletion completion)
{
    SimRequest request;
    request.action = QStringLiteral("openDocuments");
    const SimInstalledApplication *installed = installedAt(location);
    request.application = installed ? installed->bundleIdentifier : location;
    for (const QUrl &url : urls)
        request.documents.append(url.toString());
    log(request);
    launch(location, std::move(completion));
}

void SimulatedDesktop::openURL(const QUrl &url)
{
    SimRequest request;
    request.action = QStringLiteral("openURL");
    request.url = url.toString();
    log(request);
}

void SimulatedDesktop::later(double delay, std::function<void()> action)
{
    m_clock.schedule(
        delay, [self = QPointer<SimulatedDesktop>(this), generation = m_generation, action = std::move(action)] {
            if (self && self->m_generation == generation)
                action();
        });
}

void SimulatedDesktop::launch(const QString &location, LaunchCompletion completion)
{
    if (!completion)
        completion = [](std::optional<RunningApplication>) {};
    const SimInstalledApplication *installed = installedAt(location);
    if (!installed) {
        later(0, [completion] { completion(std::nullopt); });
        return;
    }
    // A running copy is brought forward and reported at once.
    if (const auto running = runningApplication(installed->bundleIdentifier)) {
        later(0, [completion, app = *running] { completion(app); });
        return;
    }
    startProcess(*installed, std::move(completion));
}

void SimulatedDesktop::startProcess(const SimInstalledApplication &installed, LaunchCompletion completion)
{
    auto waiting = m_startingLaunches.find(installed.bundleIdentifier);
    if (waiting != m_startingLaunches.end()) {
        waiting->append(std::move(completion));
        return;
    }
    m_startingLaunches.insert(installed.bundleIdentifier, { std::move(completion) });
    if (installed.plan.neverCompletes)
        return;
    later(installed.plan.completionDelay, [this, installed] { finishLaunch(installed); });
}

void SimulatedDesktop::finishLaunch(const SimInstalledApplication &installed)
{
    const QList<LaunchCompletion> completions = m_startingLaunches.take(installed.bundleIdentifier);
    const SimLaunchPlan &plan = installed.plan;
    if (plan.fails) {
        for (const LaunchCompletion &completion : completions)
            completion(std::nullopt);
        return;
    }

    SimApplication application;
    application.bundleIdentifier = installed.bundleIdentifier;
    application.activationPolicy = plan.activationPolicy;
    const qint64 pid = addRunningApplication(application);
    const RunningApplication info = process(pid)->info;

    if (plan.windowDelay) {
        QList<SimWindow> windows = plan.windows;
        if (windows.isEmpty())
            windows.append(simWindow(installed.bundleIdentifier, QRectF(0, 0, 800, 600)));
        const double remaining = std::max(0.0, *plan.windowDelay - plan.completionDelay);
        later(remaining, [this, pid, windows] {
            for (const SimWindow &window : windows)
                addWindow(pid, window);
        });
    }
    for (const LaunchCompletion &completion : completions)
        completion(info);
}

FileStatus SimulatedDesktop::fileStatus(const QString &path) const
{
    const auto it = m_files.constFind(path);
    if (it == m_files.constEnd())
        return {};
    return { true, *it };
}

// --- Windows -------------------------------------------------------------------

std::optional<QList<WindowRef>> SimulatedDesktop::copyWindowList(qint64 processIdentifier)
{
    ++m_windowListReads[processIdentifier];
    const Process *p = process(processIdentifier);
    if (!m_trusted || !p || p->windowListMissing)
        return std::nullopt;
    return p->windows;
}

QVariant SimulatedDesktop::copyAttribute(WindowRef window, QLatin1StringView attribute)
{
    if (!m_trusted)
        return {};
    return m_windows.value(window).attributes.value(QString(attribute));
}

void SimulatedDesktop::setAttribute(WindowRef window, QLatin1StringView attribute, const QVariant &value)
{
    SimRequest request;
    request.action = QStringLiteral("setAttribute");
    request.window = window;
    request.attribute = QString(attribute);
    request.value = value;
    for (const Process &p : m_processes) {
        if (p.windows.contains(window)) {
            request.application = p.info.bundleIdentifier.value_or(QString());
            request.processIdentifier = p.info.processIdentifier;
        }
    }
    log(request);

    auto it = m_windows.find(window);
    if (!m_trusted || it == m_windows.end() || it->refusesWrites)
        return;
    const QMetaType type = value.metaType();
    const bool fits = (attribute == Ax::position && type == QMetaType::fromType<QPointF>())
        || (attribute == Ax::size && type == QMetaType::fromType<QSizeF>())
        || (attribute == Ax::subrole && type == QMetaType::fromType<QString>())
        || (attribute == Ax::main && type == QMetaType::fromType<bool>());
    if (fits)
        it->attributes.insert(QString(attribute), value);
}

ScriptResult SimulatedDesktop::runScript(DocumentRole role, const QString &applicationIdentifier)
{
    SimRequest request;
    request.action = QStringLiteral("runScript");
    request.application = applicationIdentifier;
    log(request);
    return m_scripts.value(applicationIdentifier, ScriptResult { false, QVariantList() });
}
