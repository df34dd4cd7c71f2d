// Measures the store over 10,000 workspaces of 20 entries: opening it and
// listing them newest first, saving one changed field, and one fresh menu fetch.
#include "model/workspacestore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {
constexpr int kWorkspaces = 10000;
constexpr int kEntriesEach = 20;

WorkspaceData makeWorkspace(int index, const QDateTime &base)
{
    WorkspaceData w;
    w.name = QStringLiteral("Workspace %1").arg(index);
    w.icon = QStringLiteral("briefcase.fill");
    w.category = QStringLiteral("Development");
    // Every tenth pair shares a creation time, so ties are part of the load.
    w.createdAt = base.addSecs(index - index % 10 / 9);
    w.modifiedAt = w.createdAt;
    w.launchCount = index % 7;
    if (index % 3 == 0)
        w.lastLaunchedAt = w.createdAt.addSecs(3600);
    for (int e = 0; e < kEntriesEach; ++e) {
        EntryData entry;
        entry.typeRawValue = e % 4 == 0 ? QStringLiteral("website") : QStringLiteral("application");
        entry.appBundleIdentifier = QStringLiteral("org.example.App%1").arg(e);
        if (e % 4 == 0)
            entry.websiteURL = QStringLiteral("https://example.org/page/%1/%2").arg(index).arg(e);
        else
            entry.filePath = QStringLiteral("/home/user/projects/project-%1/file-%2.txt").arg(index).arg(e);
        entry.monitorID = e % 2 ? QStringLiteral("6B1F8C2E-3F3A-4D0C-9A57-2F1B5D0E7C41")
                                : QStringLiteral("0A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9");
        entry.frameX = 10 * e;
        entry.frameY = 20 * e;
        entry.width = 800;
        entry.height = 600;
        entry.originalScreenX = 0;
        entry.originalScreenY = 0;
        entry.originalScreenWidth = 1920;
        entry.originalScreenHeight = 1080;
        w.entries.append(entry);
    }
    return w;
}

// The machine running the bench is often shared; processor time shows
// what the store itself costs, wall time what a user would wait.
double cpuMilliseconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

double maximum(const QList<double> &values)
{
    return values.isEmpty() ? 0 : *std::max_element(values.begin(), values.end());
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    // An optional argument names a directory to keep the filled store in.
    QTemporaryDir temporary;
    const QString directory = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    if (argc <= 1 && !temporary.isValid()) {
        out << "bench_store: no temporary directory\n";
        return 1;
    }

    QString error;
    if (!QFileInfo::exists(directory + QStringLiteral("/") + WorkspaceStore::fileName())) {
        QElapsedTimer fill;
        fill.start();
        auto store = WorkspaceStore::open(directory, &error);
        if (!store) {
            out << "bench_store: " << error << "\n";
            return 1;
        }
        const QDateTime base = QDateTime::currentDateTimeUtc().addDays(-400);
        QList<WorkspaceData> items;
        items.reserve(kWorkspaces);
        for (int i = 0; i < kWorkspaces; ++i)
            items.append(makeWorkspace(i, base));
        if (store->addWorkspaces(items, &error) != kWorkspaces) {
            out << "bench_store: filling failed: " << error << "\n";
            return 1;
        }
        out << "fill: " << kWorkspaces << " x " << kEntriesEach << " in " << fill.elapsed() << " ms, file "
            << QFileInfo(store->filePath()).size() / 1024 << " KiB\n";
    }

    QList<double> openTimes;
    QList<double> openCpu;
    QList<double> saveTimes;
    QList<double> saveCpu;
    QList<double> fetchTimes;
    QList<double> summaryTimes;
    QList<double> fetchCpu;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        double cpu = cpuMilliseconds();
        auto store = WorkspaceStore::open(directory, &error);
        if (!store) {
            out << "bench_store: " << error << "\n";
            return 1;
        }
        const QList<Workspace *> listed = store->workspaces();
        openTimes.append(timer.nsecsElapsed() / 1e6);
        openCpu.append(cpuMilliseconds() - cpu);
        if (listed.size() != kWorkspaces) {
            out << "bench_store: listed " << listed.size() << " workspaces\n";
            return 1;
        }

        for (int i = 0; i < 50; ++i) {
            Workspace *workspace = listed.at((round * 50 + i) * 37 % kWorkspaces);
            timer.restart();
            cpu = cpuMilliseconds();
            workspace->setIsFavorite(!workspace->isFavorite());
            if (!store->save(&error)) {
                out << "bench_store: save failed: " << error << "\n";
                return 1;
            }
            saveTimes.append(timer.nsecsElapsed() / 1e6);
            saveCpu.append(cpuMilliseconds() - cpu);
        }

        timer.restart();
        cpu = cpuMilliseconds();
        const auto fetched = store->fetchAll(true);
        fetchTimes.append(timer.nsecsElapsed() / 1e6);
        fetchCpu.append(cpuMilliseconds() - cpu);
        if (!fetched || fetched->size() != kWorkspaces) {
            out << "bench_store: menu fetch failed\n";
            return 1;
        }

        // What the tray menu reads now: names, symbols and counts, no entries.
        timer.restart();
        const auto summaries = store->fetchSummaries();
        summaryTimes.append(timer.nsecsElapsed() / 1e6);
        if (!summaries || summaries->size() != kWorkspaces) {
            out << "bench_store: summary fetch failed\n";
            return 1;
        }
    }

    out << Qt::fixed;
    out.setRealNumberPrecision(2);
    out << "open + sorted list:       median " << median(openTimes) << " ms, max " << maximum(openTimes)
        << " ms, processor " << median(openCpu) << " ms (target <= 300)\n";
    out << "one changed field saved:  median " << median(saveTimes) << " ms, max " << maximum(saveTimes)
        << " ms, processor " << median(saveCpu) << " ms (target <= 2)\n";
    out << "fresh full fetch:         median " << median(fetchTimes) << " ms, max " << maximum(fetchTimes)
        << " ms, processor " << median(fetchCpu) << " ms\n";
    out << "tray menu summaries:      median " << median(summaryTimes) << " ms, max " << maximum(summaryTimes)
        << " ms\n";
    return 0;
}
