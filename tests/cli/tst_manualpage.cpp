// The manual page and completions name every command and option of the table,
// and the bash script is valid bash.
#include "cli/commanddefinition.h"
#include "cli/manualpage.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

class ManualPageTest : public QObject
{
    Q_OBJECT

private slots:
    void everyCommandAndOptionIsDocumentedAndCompleted()
    {
        const QString page = ManualPage::roff();
        const QString bash = ManualPage::bashCompletion();
        const QString zsh = ManualPage::zshCompletion();
        const QString fish = ManualPage::fishCompletion();
        for (const CommandDefinition &command : CommandDefinition::all()) {
            QString roffName = command.name;
            roffName.replace(QLatin1Char('-'), QStringLiteral("\\-"));
            QVERIFY2(page.contains(QStringLiteral("\\fB%1\\fR").arg(roffName)), qPrintable(command.name));
            QVERIFY2(zsh.contains(QStringLiteral("'%1:").arg(command.name)), qPrintable(command.name));
            QVERIFY2(fish.contains(QStringLiteral("-a %1 ").arg(command.name)), qPrintable(command.name));
            for (const QString &option : command.flags + command.valueOptions) {
                QVERIFY2(bash.contains(option), qPrintable(option));
                QVERIFY2(fish.contains(QStringLiteral("-l %1").arg(option.mid(2))), qPrintable(option));
                QString roffOption = option;
                QVERIFY2(
                    page.contains(roffOption.replace(QLatin1Char('-'), QStringLiteral("\\-"))), qPrintable(option));
            }
        }
        // No text line of the page may be read as a roff request: only the page's own macros start with a dot.
        const QStringList requests { QStringLiteral("TH"), QStringLiteral("SH"), QStringLiteral("TP"),
            QStringLiteral("B"), QStringLiteral("nf"), QStringLiteral("fi") };
        for (const QString &line : page.split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1Char('.')))
                QVERIFY2(requests.contains(line.mid(1).section(QLatin1Char(' '), 0, 0)), qPrintable(line));
        }
    }

    void theBashScriptParses()
    {
        const QString bashProgram = QStandardPaths::findExecutable(QStringLiteral("bash"));
        if (bashProgram.isEmpty())
            QSKIP("no bash");
        QProcess bash;
        bash.start(bashProgram, { QStringLiteral("-n") });
        bash.write(ManualPage::bashCompletion().toUtf8());
        bash.closeWriteChannel();
        QVERIFY(bash.waitForFinished(10000));
        QCOMPARE(bash.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(ManualPageTest)
#include "tst_manualpage.moc"
