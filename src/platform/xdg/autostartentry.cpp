// The XDG autostart entry that starts Corvalint in the tray when the user logs in.
#include "autostartentry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

QString AutostartEntry::path()
{
    // The autostart folder is the user's XDG config folder's "autostart", whatever the desktop.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/autostart/corvalint.desktop");
}

bool AutostartEntry::isInstalled()
{
    QFile file(path());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // A "Hidden=true" entry is how a desktop's own settings switch an entry off: it counts as absent.
    const QByteArray text = file.read(64 * 1024);
    for (const QByteArray &line : text.split('\n')) {
        if (line.trimmed() == "Hidden=true")
            return false;
    }
    return true;
}

QString AutostartEntry::quoteExecArgument(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = argument.isEmpty();
    for (const QChar c : argument)
        needsQuotes = needsQuotes || reserved.contains(c);
    QString escaped = argument;
    // Inside quotes: backslash, double quote, backtick and dollar take a backslash; a percent sign is doubled
    // (field codes). The key file format then escapes each backslash once more.
    escaped.replace(QLatin1Char('%'), QStringLiteral("%%"));
    if (!needsQuotes)
        return escaped;
    QString quoted;
    for (const QChar c : std::as_const(escaped)) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray AutostartEntry::content(const QString &program)
{
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Name=Corvalint\n"
                                  "Comment=Startet Corvalint beim Anmelden im Infobereich\n"
                                  "Exec=%1 %2\n"
                                  "Icon=corvalint\n"
                                  "Terminal=false\n"
                                  "NoDisplay=true\n"
                                  "X-GNOME-Autostart-enabled=true\n")
                       .arg(quoteExecArgument(program), loginOption);
    return text.toUtf8();
}

bool AutostartEntry::install(const QString &program, QString *error)
{
    const QString target = path();
    if (!QDir().mkpath(QFileInfo(target).path())) {
        if (error)
            *error = QStringLiteral("Der Ordner „%1“ ließ sich nicht anlegen.").arg(QFileInfo(target).path());
        return false;
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(content(program)) < 0 || !file.commit()) {
        if (error)
            *error = QStringLiteral("„%1“ ließ sich nicht schreiben: %2").arg(target, file.errorString());
        return false;
    }
    return true;
}

bool AutostartEntry::uninstall(QString *error)
{
    QFile file(path());
    if (!file.exists() || file.remove())
        return true;
    if (error)
        *error = QStringLiteral("„%1“ ließ sich nicht entfernen: %2").arg(path(), file.errorString());
    return false;
}
