// Finds the Firefox profile a running Firefox uses, from profiles.ini, installs.ini and the profile locks.
#include "firefoxprofiles.h"

#include "boundedfile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <unistd.h>

namespace {
struct IniSection {
    QString name;
    QHash<QString, QString> values;
};

// profiles.ini is not quite what QSettings expects (it would split values at
// commas and unescape percent signs in paths), so it is read line by line.
QList<IniSection> readIni(const QString &path)
{
    QList<IniSection> sections;
    const std::optional<QByteArray> data = BoundedFile::read(path, 1024 * 1024);
    if (!data)
        return sections;
    for (const QByteArray &rawLine : data->split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            sections.append({ line.mid(1, line.size() - 2), {} });
        } else if (!sections.isEmpty() && !line.startsWith(QLatin1Char(';')) && !line.startsWith(QLatin1Char('#'))) {
            const qsizetype equals = line.indexOf(QLatin1Char('='));
            if (equals > 0)
                sections.last().values.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
        }
    }
    return sections;
}
} // namespace

FirefoxProfiles::FirefoxProfiles(QString firefoxDir)
    : m_dir(std::move(firefoxDir))
{
}

QStringList FirefoxProfiles::candidates() const
{
    const QDir base(m_dir);
    QStringList installDefaults;
    QStringList markedDefaults;
    QStringList others;
    auto resolve = [&base](const QString &path) { return QDir::cleanPath(base.absoluteFilePath(path)); };

    for (const QString &file : { QStringLiteral("installs.ini"), QStringLiteral("profiles.ini") }) {
        for (const IniSection &section : readIni(base.filePath(file))) {
            const QString path = section.values.value(QStringLiteral("Path"));
            if (section.name.startsWith(QLatin1String("Install"))) {
                const QString dir = section.values.value(QStringLiteral("Default"));
                if (!dir.isEmpty())
                    installDefaults.append(resolve(dir));
            } else if (section.name.startsWith(QLatin1String("Profile")) && !path.isEmpty()) {
                // IsRelative=0 marks an absolute path; resolve() keeps absolute paths as they are.
                const bool marked = section.values.value(QStringLiteral("Default")) == QLatin1String("1");
                (marked ? markedDefaults : others).append(resolve(path));
            }
        }
    }
    QStringList all = installDefaults + markedDefaults + others;
    all.removeDuplicates();
    return all;
}

std::optional<QString> FirefoxProfiles::runningProfile(const QList<qint64> &processIds) const
{
    const QStringList profiles = candidates();
    if (profiles.isEmpty())
        return std::nullopt;
    if (processIds.isEmpty())
        return profiles.first();
    bool anyLocked = false;
    for (const QString &profile : profiles) {
        const std::optional<qint64> owner = lockOwner(profile);
        if (owner && processIds.contains(*owner))
            return profile;
        anyLocked = anyLocked || owner.has_value();
    }
    // No lock to go by: the install's default is the best guess. Locks that all
    // name other processes mean this Firefox runs on a profile we do not know.
    if (!anyLocked)
        return profiles.first();
    return std::nullopt;
}

std::optional<QString> FirefoxProfiles::runningProfileIn(
    const QStringList &firefoxDirs, const QList<qint64> &processIds, const ProcessLookup &processes)
{
    // A profile folder of the user's own choosing lies outside every profiles.ini: the command line names it.
    for (const qint64 pid : processIds) {
        const std::optional<ProcessView> process = processes.view(pid);
        if (!process)
            continue;
        const QStringList &arguments = process->arguments;
        for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
            if (arguments[i] != QLatin1String("--profile") && arguments[i] != QLatin1String("-profile"))
                continue;
            const QString &path = arguments[i + 1];
            if (QDir::isRelativePath(path) && process->cwd.isEmpty())
                continue;
            const QString profile = QDir::cleanPath(QDir(process->cwd).absoluteFilePath(path));
            if (lockOwner(profile) == pid)
                return profile;
        }
    }
    // A lock naming the running Firefox is proof, wherever its folder lies.
    if (!processIds.isEmpty()) {
        for (const QString &dir : firefoxDirs) {
            for (const QString &profile : FirefoxProfiles(dir).candidates()) {
                const std::optional<qint64> owner = lockOwner(profile);
                if (owner && processIds.contains(*owner))
                    return profile;
            }
        }
    }
    for (const QString &dir : firefoxDirs) {
        const FirefoxProfiles profiles(dir);
        if (profiles.candidates().isEmpty())
            continue;
        return profiles.runningProfile(processIds);
    }
    return std::nullopt;
}

std::optional<qint64> FirefoxProfiles::lockOwner(const QString &profileDir)
{
    // The target is not a path but "<address>:+<pid>", so it is read raw: Qt would
    // resolve it against the profile folder.
    const QByteArray link = QFile::encodeName(QDir(profileDir).filePath(QStringLiteral("lock")));
    char target[256];
    const ssize_t length = ::readlink(link.constData(), target, sizeof(target) - 1);
    if (length <= 0)
        return std::nullopt;
    const QByteArray text(target, length);
    const qsizetype plus = text.lastIndexOf(":+");
    if (plus < 0)
        return std::nullopt;
    bool ok = false;
    const qint64 pid = text.mid(plus + 2).toLongLong(&ok);
    if (!ok || pid <= 0)
        return std::nullopt;
    return pid;
}
