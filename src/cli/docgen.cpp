// Writes the manual page or a shell's completion script to FILE or standard output,
// for the build to install: corvalint-docgen man|bash|zsh|fish [FILE]
#include "manualpage.h"

#include <QFile>
#include <QTextStream>

int main(int argc, char **argv)
{
    const QString what = argc >= 2 ? QString::fromLocal8Bit(argv[1]) : QString();
    QString text;
    if (what == QLatin1String("man"))
        text = ManualPage::roff();
    else if (what == QLatin1String("bash"))
        text = ManualPage::bashCompletion();
    else if (what == QLatin1String("zsh"))
        text = ManualPage::zshCompletion();
    else if (what == QLatin1String("fish"))
        text = ManualPage::fishCompletion();
    else {
        QTextStream(stderr) << "usage: corvalint-docgen man|bash|zsh|fish [FILE]\n";
        return 2;
    }
    if (argc < 3) {
        QTextStream(stdout) << text;
        return 0;
    }
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0) {
        QTextStream(stderr) << "corvalint-docgen: cannot write " << file.fileName() << "\n";
        return 1;
    }
    return 0;
}
