// Helper of the crash test: saves workspaces in a loop until it is killed,
// printing each change only once its save has returned.
#include "model/workspacestore.h"
#include "storetestdata.h"

#include <QCoreApplication>
#include <cstdio>

namespace {
void report(char mark, const QUuid &id)
{
    std::printf("%c%s\n", mark, qPrintable(id.toString(QUuid::WithoutBraces)));
    std::fflush(stdout);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QString error;
    auto store = WorkspaceStore::open(QString::fromLocal8Bit(argv[1]), &error);
    if (!store) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const QDateTime base = QDateTime::currentDateTimeUtc();
    QList<Workspace *> mine;
    for (int round = 0;; ++round) {
        auto *workspace = Workspace::fromData(storetest::simpleWorkspace(QString::number(round), base, 1 + round % 4));
        store->insert(workspace);
        if (!mine.isEmpty())
            mine.last()->appendEntry(storetest::fullEntry(round));
        if (!store->save())
            continue;
        report('+', workspace->id());
        mine.append(workspace);
        // Every few rounds one goes again; its intent is announced first,
        // since the kill may land between the save and the report.
        if (round % 3 == 2) {
            Workspace *gone = mine.takeFirst();
            const QUuid id = gone->id();
            report('?', id);
            store->remove(gone);
            if (store->save())
                report('-', id);
        }
    }
}
